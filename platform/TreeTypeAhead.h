#pragma once

#include "TypeAheadMatch.h"

#include <QObject>
#include <QString>

#include <functional>

class QTreeWidget;
class QTreeWidgetItem;

// Type-to-find on a tree: each letter or digit refines the text typed so far and selects the next
// node (after the current one, wrapping) whose caption it matches, expanding its parents; a pause
// longer than PauseMs starts a new text. Selecting plays nothing: the tree's Enter does that.
class TreeTypeAhead : public QObject
{
    Q_OBJECT
public:
    static constexpr qint64 PauseMs = 1000;

    TreeTypeAhead(QTreeWidget* tree, typeahead::Initials initials);

    void setInitials(typeahead::Initials initials) { m_initials = std::move(initials); }
    // Milliseconds from any fixed start; tests step it by hand.
    void setClock(std::function<qint64()> clock) { m_clock = std::move(clock); }

    // Returns false (and does nothing) for a key that is not a search key. A search key is always
    // taken, even when nothing matches: then the selection stays where it was.
    bool type(const QString& text);
    QString typed() const { return m_typed; }

private:
    QTreeWidgetItem* find(bool includeCurrent) const;

    QTreeWidget* m_tree;
    typeahead::Initials m_initials;
    std::function<qint64()> m_clock;
    QString m_typed;
    qint64 m_lastKeyMs = 0;
};
