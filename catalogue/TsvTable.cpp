#include "TsvTable.h"

QList<TsvTable::Row> TsvTable::parse(std::string_view text, int columns, QString* error)
{
    QList<Row> rows;
    const QString all = QString::fromUtf8(text.data(), qsizetype(text.size()));
    const QStringList lines = all.split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString line = lines[i];
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        QStringList fields = line.split(u'\t');
        if (fields.size() != columns) {
            if (error)
                *error = QStringLiteral("line %1: %2 fields, expected %3").arg(i + 1).arg(fields.size()).arg(columns);
            return {};
        }
        rows.push_back(Row{int(i + 1), std::move(fields)});
    }
    return rows;
}
