#include "TreeTypeAhead.h"

#include <QElapsedTimer>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

TreeTypeAhead::TreeTypeAhead(QTreeWidget* tree, typeahead::Initials initials)
    : QObject(tree), m_tree(tree), m_initials(std::move(initials))
{
    auto timer = std::make_shared<QElapsedTimer>();
    timer->start();
    m_clock = [timer] { return timer->elapsed(); };
}

bool TreeTypeAhead::type(const QString& text)
{
    if (!typeahead::isSearchKey(text))
        return false;
    const qint64 now = m_clock();
    const bool fresh = m_typed.isEmpty() || now - m_lastKeyMs > PauseMs;
    m_lastKeyMs = now;
    m_typed = fresh ? text.toLower() : m_typed + text.toLower();

    // A new text looks past the current node (typing "c" again moves on); a refined one may stay.
    if (QTreeWidgetItem* item = find(!fresh)) {
        for (QTreeWidgetItem* p = item->parent(); p; p = p->parent())
            p->setExpanded(true);
        m_tree->setCurrentItem(item);
        m_tree->scrollToItem(item);
    }
    return true;
}

QTreeWidgetItem* TreeTypeAhead::find(bool includeCurrent) const
{
    // Every node in pre-order, collapsed ones included.
    QList<QTreeWidgetItem*> all;
    for (QTreeWidgetItemIterator it(m_tree); *it; ++it)
        all.push_back(*it);
    if (all.isEmpty())
        return nullptr;
    const qsizetype current = all.indexOf(m_tree->currentItem());
    const qsizetype start = current < 0 ? 0 : (includeCurrent ? current : current + 1);
    for (qsizetype i = 0; i < all.size(); ++i) {
        QTreeWidgetItem* item = all[(start + i) % all.size()];
        if (typeahead::matches(item->text(0), m_typed, m_initials))
            return item;
    }
    return nullptr;
}
