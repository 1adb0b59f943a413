#include "TreeView.h"

#include "MouseMasks.h"
#include "TreeTypeAhead.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>

TreeNode TreeNodes::Add(const QString& relative, int relationship, const QString& key, const QString& text)
{
    if (key.isEmpty())
        throw TreeNodeError("TreeView: a node needs a key");
    if (m_byKey.contains(key))
        throw TreeNodeError("TreeView: key is not unique: " + key.toStdString());

    auto* item = new QTreeWidgetItem(QStringList{text});
    item->setData(0, TreeView::KeyRole, key);

    if (relative.isEmpty()) {
        if (relationship == tvwFirst)
            m_tree->insertTopLevelItem(0, item);
        else
            m_tree->addTopLevelItem(item);
    } else {
        QTreeWidgetItem* rel = m_byKey.value(relative);
        if (!rel) {
            delete item;
            throw TreeNodeError("TreeView: no node with key " + relative.toStdString());
        }
        QTreeWidgetItem* parent = rel->parent();
        const auto insertSibling = [&](int offset) {
            if (parent)
                parent->insertChild(parent->indexOfChild(rel) + offset, item);
            else
                m_tree->insertTopLevelItem(m_tree->indexOfTopLevelItem(rel) + offset, item);
        };
        switch (relationship) {
        case tvwChild: rel->addChild(item); break;
        case tvwNext: insertSibling(1); break;
        case tvwPrevious: insertSibling(0); break;
        case tvwFirst:
            if (parent) parent->insertChild(0, item); else m_tree->insertTopLevelItem(0, item);
            break;
        case tvwLast:
            if (parent) parent->addChild(item); else m_tree->addTopLevelItem(item);
            break;
        default:
            delete item;
            throw TreeNodeError("TreeView: invalid relationship " + std::to_string(relationship));
        }
    }
    m_byKey.insert(key, item);
    return TreeView::nodeOf(item);
}

void TreeNodes::Clear()
{
    m_tree->clear();
    m_byKey.clear();
}

TreeView::TreeView(QWidget* parent) : QTreeWidget(parent)
{
    setHeaderHidden(true);
    setColumnCount(1);
    setRootIsDecorated(true);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setMouseTracking(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    header()->setStretchLastSection(false);

    QFont f(QStringLiteral("宋体"));
    f.setPointSizeF(10.5);
    setFont(f);

    m_typeAhead = new TreeTypeAhead(this, {});

    connect(this, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item, int) {
        if (item)
            Q_EMIT NodeClick(nodeOf(item));
    });
}

TreeNode TreeView::nodeOf(const QTreeWidgetItem* item)
{
    return TreeNode{item->data(0, KeyRole).toString(), item->text(0)};
}

void TreeView::setTypeAheadInitials(typeahead::Initials initials) { m_typeAhead->setInitials(std::move(initials)); }

void TreeView::keyPressEvent(QKeyEvent* event)
{
    // Letters and digits search here, never the view's own prefix search; with Ctrl or Alt they
    // are the window's.
    const auto chord = Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
    if (!(event->modifiers() & chord) && m_typeAhead->type(event->text())) {
        event->accept();
        return;
    }
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        if (QTreeWidgetItem* item = currentItem()) {
            Q_EMIT NodeClick(nodeOf(item));
            event->accept();
            return;
        }
        break;
    default:
        break;
    }
    QTreeWidget::keyPressEvent(event);
}

void TreeView::mouseMoveEvent(QMouseEvent* event)
{
    QTreeWidget::mouseMoveEvent(event);
    const QPointF p = viewport()->mapTo(this, event->position().toPoint());
    Q_EMIT MouseMove(mousemasks::buttonMask(event->buttons()), mousemasks::shiftMask(event->modifiers()),
                     float(p.x()), float(p.y()));
}
