#include "ChannelCatalogue.h"

#include "KeyIndex.h"
#include "TsvTable.h"

#include <stdexcept>

namespace embedded {
std::string_view kChannelsTsv();
}

namespace ChannelCatalogue {

const QList<ChannelRecord>& records()
{
    static const QList<ChannelRecord> table = [] {
        QString error;
        const auto rows = TsvTable::parse(embedded::kChannelsTsv(), 3, &error);
        if (!error.isEmpty())
            throw std::logic_error("channel table: " + error.toStdString());
        QList<ChannelRecord> out;
        out.reserve(rows.size());
        for (const auto& row : rows)
            out.push_back(ChannelRecord{int(out.size() + 1), row.fields[0], row.fields[1], row.fields[2]});
        return out;
    }();
    return table;
}

const ChannelRecord* find(const QString& key)
{
    static const KeyIndex<ChannelRecord> index(records());
    return index.find(key);
}

} // namespace ChannelCatalogue
