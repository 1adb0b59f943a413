#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <string_view>

// Rows of a compiled-in tab-separated table: one row a line, no header, UTF-8.
// Empty lines and lines starting with '#' are skipped; a row must have exactly `columns` fields.
class TsvTable
{
public:
    struct Row
    {
        int line = 0; // 1-based line in the source text
        QStringList fields;
    };

    static QList<Row> parse(std::string_view text, int columns, QString* error = nullptr);
};
