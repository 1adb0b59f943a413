#pragma once

#include "KeyIndex.h"

#include <QList>
#include <QString>

#include <string_view>

// One entry of a window's compiled-in menu: a sub-menu or an item, in menu order (a sub-menu
// stands at its place among the items, followed by its own entries).
struct MenuRow
{
    QString key;         // control name of the menu entry
    QString caption;
    QString parentKey;   // empty for a title on the menu bar
    QString value;       // what the item plays (stream URL, channel value); empty for sub-menus
    bool isMenu = false; // other rows sit under it
};

// A menu table built from compiled-in TSV text and checked as a whole when it is built: keys
// well formed and unique, every parent key names an earlier row (which makes that row a sub-menu,
// and a sub-menu has no value), every value of the table's form. A fault throws std::logic_error
// naming the table, the line and the key, so a bad data file fails on first use, not silently.
class MenuTable
{
public:
    struct Source
    {
        const char* name;           // the menu text's name in messages
        std::string_view menu;      // rows: key TAB caption TAB parent key [TAB value]
        bool menuHasValues = false; // the fourth column is present
        const char* valuesName = nullptr;
        std::string_view values {}; // optional rows: item key TAB value
        bool (*isValue)(const QString&) = nullptr;
        const char* valueForm = ""; // what isValue accepts, for messages
    };

    explicit MenuTable(const Source& source);
    MenuTable(const MenuTable&) = delete;
    MenuTable& operator=(const MenuTable&) = delete;

    const QList<MenuRow>& rows() const { return m_rows; }

    // Exact, case-sensitive lookups; nullptr for unknown keys.
    const MenuRow* row(const QString& key) const { return m_index.find(key); }
    // The item's value; nullptr for sub-menus, unknown keys and items without a value.
    const QString* value(const QString& key) const;

    // Keys of the menus enclosing `entry`, outermost first, joined by '/'; empty for a menu-bar title.
    QString menuPath(const MenuRow& entry) const;

private:
    QList<MenuRow> m_rows;
    KeyIndex<MenuRow> m_index;
};
