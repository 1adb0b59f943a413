#pragma once

#include <QHash>
#include <QKeySequence>
#include <QList>
#include <QString>

#include <functional>

class Form;
class QAction;
class QMenu;
class QMenuBar;
class QWidget;

// A window's menus and cross-links as data: rows make the menus, one table of actions says what
// each item and link label does.
namespace menus {

// One menu, item or separator. A row whose caption is "-" is a separator; a row that other rows
// name as their parent is a menu; any other row is an item.
struct MenuRow
{
    QString name;    // the item's name, also its object name
    QString caption; // with its access key, e.g. "退出(&X)"
    QString parent;  // the enclosing menu; empty for a title of the bar (or a pop-up menu)
    QKeySequence shortcut = {};
};

enum class Verb {
    Switch,  // unload this window, then show the target
    Open,    // show the target beside this window
    Reload,  // this window's content pane to its load-time page again
    Link,    // open the target address in the desktop browser
    Handler, // the window's own handler
};

struct ActionRow
{
    QString name;   // a menu item or a link label of the window
    Verb verb;
    QString target = {}; // Switch/Open: a window's name ("Form3"); Link: the address
    std::function<void()> handler = {};
};

// What a build made, found by name.
class Menus
{
public:
    QMenu* menu(const QString& name) const { return m_menus.value(name); }
    QAction* action(const QString& name) const { return m_actions.value(name); }
    const QList<QMenu*>& titles() const { return m_titles; }

private:
    friend Menus build(QWidget*, QMenuBar*, const QList<MenuRow>&);
    QHash<QString, QMenu*> m_menus;
    QHash<QString, QAction*> m_actions; // items, separators and the bar's own commands
    QList<QMenu*> m_titles;             // top-level menus in row order
};

// Makes the rows into menus. With a bar, top-level rows go onto it (a top-level row without
// children is a command on the bar itself); without one, top-level rows become pop-up menus of
// `owner`. Shortcuts work while `owner`'s window is active, also when no menu is open.
Menus build(QWidget* owner, QMenuBar* bar, const QList<MenuRow>& rows);

// Carries out one action for `owner`.
void run(Form* owner, const ActionRow& action);

// Ties each row to its menu item or to the link label of `owner` with that object name (a
// LinkLabel). Returns the names it found nothing for.
QStringList bind(Form* owner, const Menus& built, const QList<ActionRow>& actions);

// bind() for a window's own tables, where every row must find its item: a row that does not is a
// fault of the table, asserted in debug builds and reported on stderr in any build.
void install(Form* owner, const Menus& built, const QList<ActionRow>& actions);

} // namespace menus
