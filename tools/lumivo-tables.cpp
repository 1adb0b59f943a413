// Prints the compiled-in tables as UTF-8 TSV: one row a line, no header, tabs between fields.

#include "ChannelCatalogue.h"
#include "RadioStationTable.h"
#include "StreamTable.h"
#include "WebTvChannelTable.h"

#include <QString>

#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <string>

namespace {

void printRow(std::initializer_list<QString> fields)
{
    QString line;
    bool first = true;
    for (const QString& f : fields) {
        if (!first)
            line += u'\t';
        line += f;
        first = false;
    }
    line += u'\n';
    const QByteArray utf8 = line.toUtf8();
    std::fwrite(utf8.constData(), 1, size_t(utf8.size()), stdout);
}

int printCatalogue()
{
    for (const ChannelRecord& r : ChannelCatalogue::records())
        printRow({QString::number(r.order), r.key, r.caption, r.parentKey});
    return 0;
}

int printStreams()
{
    for (const StreamEntry& e : StreamTable::entries())
        printRow({e.key, e.url});
    return 0;
}

int printRadio()
{
    const MenuTable& table = RadioStationTable::table();
    for (const MenuRow& r : table.rows())
        if (!r.isMenu)
            printRow({r.key, r.caption, table.menuPath(r), r.value});
    return 0;
}

int printWebTv()
{
    const MenuTable& table = WebTvChannelTable::table();
    for (const MenuRow& r : table.rows())
        if (!r.isMenu)
            printRow({r.key, r.caption, r.value, table.menuPath(r)});
    return 0;
}

const std::map<std::string, std::function<int()>>& tables()
{
    static const std::map<std::string, std::function<int()>> all{
        {"catalogue", printCatalogue},
        {"streams", printStreams},
        {"radio", printRadio},
        {"webtv", printWebTv},
    };
    return all;
}

int usage(std::FILE* out, int rc)
{
    std::fputs("usage: lumivo-tables TABLE\ntables:", out);
    for (const auto& [name, fn] : tables())
        std::fprintf(out, " %s", name.c_str());
    std::fputs("\n", out);
    return rc;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
        return usage(stderr, 2);
    if (!std::strcmp(argv[1], "-h") || !std::strcmp(argv[1], "--help"))
        return usage(stdout, 0);
    const auto it = tables().find(argv[1]);
    if (it == tables().end()) {
        std::fprintf(stderr, "lumivo-tables: unknown table '%s'\n", argv[1]);
        return usage(stderr, 2);
    }
    return it->second();
}
