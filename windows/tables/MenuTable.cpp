#include "MenuTable.h"

#include "TsvTable.h"

#include <QHash>
#include <QRegularExpression>
#include <QStringList>

#include <stdexcept>

namespace {

[[noreturn]] void fail(const char* table, int line, const QString& message)
{
    throw std::logic_error(QStringLiteral("%1 line %2: %3").arg(QLatin1String(table)).arg(line).arg(message).toStdString());
}

QList<TsvTable::Row> rowsOf(std::string_view text, int columns, const char* name)
{
    QString error;
    auto rows = TsvTable::parse(text, columns, &error);
    if (!error.isEmpty())
        throw std::logic_error(std::string(name) + ' ' + error.toStdString());
    return rows;
}

void checkValue(const MenuTable::Source& source, const char* table, int line, const QString& key, const QString& value)
{
    if (!source.isValue || !source.isValue(value))
        fail(table, line, QStringLiteral("'%1': value '%2' is not %3").arg(key, value, QLatin1String(source.valueForm)));
}

QList<MenuRow> build(const MenuTable::Source& source)
{
    static const QRegularExpression keyForm(QStringLiteral("^[A-Za-z0-9_-]+$"));
    QList<MenuRow> rows;
    QHash<QString, qsizetype> at; // key -> index in rows
    QList<int> lines;
    for (const auto& tsv : rowsOf(source.menu, source.menuHasValues ? 4 : 3, source.name)) {
        MenuRow r{tsv.fields[0], tsv.fields[1], tsv.fields[2], source.menuHasValues ? tsv.fields[3] : QString()};
        if (!keyForm.match(r.key).hasMatch())
            fail(source.name, tsv.line, QStringLiteral("key '%1' is not letters, digits, '-' and '_'").arg(r.key));
        if (at.contains(r.key))
            fail(source.name, tsv.line, QStringLiteral("key '%1' occurs twice").arg(r.key));
        if (r.caption.trimmed().isEmpty())
            fail(source.name, tsv.line, QStringLiteral("'%1' has no caption").arg(r.key));
        if (!r.parentKey.isEmpty()) {
            const auto parent = at.constFind(r.parentKey);
            if (parent == at.cend())
                fail(source.name, tsv.line, QStringLiteral("parent '%1' of '%2' is not an earlier row").arg(r.parentKey, r.key));
            MenuRow& menu = rows[*parent];
            if (!menu.value.isEmpty())
                fail(source.name, lines[*parent], QStringLiteral("'%1' holds entries but has a value").arg(menu.key));
            menu.isMenu = true;
        }
        if (!r.value.isEmpty())
            checkValue(source, source.name, tsv.line, r.key, r.value);
        at.insert(r.key, rows.size());
        rows.push_back(std::move(r));
        lines.push_back(tsv.line);
    }

    if (source.valuesName) {
        QHash<QString, int> seen; // key -> line
        for (const auto& tsv : rowsOf(source.values, 2, source.valuesName)) {
            const QString& key = tsv.fields[0];
            const auto it = at.constFind(key);
            if (it == at.cend() || rows[*it].isMenu)
                fail(source.valuesName, tsv.line, QStringLiteral("'%1' is not an item of %2").arg(key, QLatin1String(source.name)));
            if (seen.contains(key))
                fail(source.valuesName, tsv.line, QStringLiteral("key '%1' occurs twice").arg(key));
            if (!rows[*it].value.isEmpty())
                fail(source.valuesName, tsv.line, QStringLiteral("'%1' already has a value in %2").arg(key, QLatin1String(source.name)));
            seen.insert(key, tsv.line);
            checkValue(source, source.valuesName, tsv.line, key, tsv.fields[1]);
            rows[*it].value = tsv.fields[1];
        }
    }
    return rows;
}

} // namespace

MenuTable::MenuTable(const Source& source) : m_rows(build(source)), m_index(m_rows) {}

const QString* MenuTable::value(const QString& key) const
{
    const MenuRow* r = row(key);
    return r && !r->value.isEmpty() ? &r->value : nullptr;
}

QString MenuTable::menuPath(const MenuRow& entry) const
{
    QStringList keys;
    for (const MenuRow* r = row(entry.parentKey); r; r = row(r->parentKey))
        keys.prepend(r->key);
    return keys.join(u'/');
}
