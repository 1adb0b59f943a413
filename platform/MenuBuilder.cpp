#include "MenuBuilder.h"

#include "Form.h"
#include "HostServices.h"
#include "LinkLabel.h"
#include "WindowRegistry.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QSet>

namespace menus {

Menus build(QWidget* owner, QMenuBar* bar, const QList<MenuRow>& rows)
{
    QSet<QString> parents;
    for (const MenuRow& row : rows)
        if (!row.parent.isEmpty())
            parents.insert(row.parent);

    Menus made;
    for (const MenuRow& row : rows) {
        QMenu* parentMenu = row.parent.isEmpty() ? nullptr : made.m_menus.value(row.parent);
        Q_ASSERT_X(row.parent.isEmpty() || parentMenu, "menus::build", "a parent row must come before its items");
        if (parents.contains(row.name)) {
            auto* menu = new QMenu(row.caption, owner);
            menu->setObjectName(row.name);
            if (parentMenu)
                parentMenu->addMenu(menu);
            else if (bar)
                bar->addMenu(menu);
            if (!parentMenu)
                made.m_titles.push_back(menu);
            made.m_menus.insert(row.name, menu);
            made.m_actions.insert(row.name, menu->menuAction());
            continue;
        }
        auto* action = new QAction(row.caption, owner);
        action->setObjectName(row.name);
        if (row.caption == u"-")
            action->setSeparator(true);
        if (!row.shortcut.isEmpty()) {
            action->setShortcut(row.shortcut);
            action->setShortcutContext(Qt::WindowShortcut);
            owner->addAction(action); // the shortcut works with every menu closed
        }
        if (parentMenu)
            parentMenu->addAction(action);
        else if (bar)
            bar->addAction(action);
        made.m_actions.insert(row.name, action);
    }
    return made;
}

void run(Form* owner, const ActionRow& action)
{
    switch (action.verb) {
    case Verb::Switch:
        WindowRegistry::instance().switchFrom(owner, action.target);
        return;
    case Verb::Open:
        WindowRegistry::instance().show(action.target);
        return;
    case Verb::Reload:
        owner->reloadContent();
        return;
    case Verb::Link:
        openLink(action.target);
        return;
    case Verb::Handler:
        if (action.handler)
            action.handler();
        return;
    }
}

QStringList bind(Form* owner, const Menus& built, const QList<ActionRow>& actions)
{
    QStringList missing;
    for (const ActionRow& row : actions) {
        const auto fire = [owner, row] { run(owner, row); };
        if (QAction* action = built.action(row.name))
            QObject::connect(action, &QAction::triggered, owner, fire);
        else if (auto* label = owner->findChild<LinkLabel*>(row.name))
            QObject::connect(label, &LinkLabel::Click, owner, fire);
        else
            missing.push_back(row.name);
    }
    return missing;
}

void install(Form* owner, const Menus& built, const QList<ActionRow>& actions)
{
    const QStringList missing = bind(owner, built, actions);
    if (missing.isEmpty())
        return;
    qCritical("lumivo: %s has no item or link label named %s", owner->metaObject()->className(),
              qPrintable(missing.join(QStringLiteral(", "))));
    Q_ASSERT_X(false, "menus::install", "an action row without its item");
}

} // namespace menus
