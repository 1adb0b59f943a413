#pragma once

#include <QHash>
#include <QList>
#include <QString>

// Exact, case-sensitive lookup of a table's rows by their `key`. The table must outlive the
// index: both are built once, as function-local statics.
template <class Row> class KeyIndex
{
public:
    explicit KeyIndex(const QList<Row>& rows) : m_rows(rows)
    {
        for (qsizetype i = 0; i < rows.size(); ++i)
            m_index.insert(rows[i].key, i);
    }

    const Row* find(const QString& key) const
    {
        const auto it = m_index.constFind(key);
        return it == m_index.cend() ? nullptr : &m_rows[*it];
    }

private:
    const QList<Row>& m_rows;
    QHash<QString, qsizetype> m_index;
};
