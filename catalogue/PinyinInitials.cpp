#include "PinyinInitials.h"

#include "TsvTable.h"

#include <QHash>

#include <stdexcept>

namespace embedded {
std::string_view kPinyinInitialsTsv();
}

namespace PinyinInitials {

namespace {

const QHash<char32_t, QString>& table()
{
    static const QHash<char32_t, QString> byChar = [] {
        QString error;
        const auto rows = TsvTable::parse(embedded::kPinyinInitialsTsv(), 2, &error);
        if (!error.isEmpty())
            throw std::logic_error("pinyin initials: " + error.toStdString());
        QHash<char32_t, QString> out;
        for (const auto& row : rows) {
            const QList<uint> ucs = row.fields[0].toUcs4();
            if (ucs.size() != 1 || row.fields[1].isEmpty())
                throw std::logic_error("pinyin initials: bad row " + std::to_string(row.line));
            out.insert(char32_t(ucs[0]), row.fields[1]);
        }
        return out;
    }();
    return byChar;
}

} // namespace

QString of(char32_t character) { return table().value(character); }
int count() { return int(table().size()); }

} // namespace PinyinInitials
