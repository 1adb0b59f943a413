#pragma once

#include "TypeAheadMatch.h"

#include <QHash>
#include <QTreeWidget>

#include <stdexcept>

// A node as the tree's events hand it out.
struct TreeNode
{
    QString Key;
    QString Text;
};
Q_DECLARE_METATYPE(TreeNode)

class TreeTypeAhead;
class TreeView;

// Relationship values of Nodes.Add.
enum TreeRelationship { tvwFirst = 0, tvwLast = 1, tvwNext = 2, tvwPrevious = 3, tvwChild = 4 };

class TreeNodeError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

class TreeNodes
{
public:
    explicit TreeNodes(TreeView* tree) : m_tree(tree) {}

    // Adds a node. Without a relative the node becomes the last top-level node; relationship
    // tvwChild makes it the last child of the relative. Keys are unique: a duplicate or an
    // unknown relative raises TreeNodeError and adds nothing.
    TreeNode Add(const QString& relative, int relationship, const QString& key, const QString& text);
    TreeNode Add(const QString& key, const QString& text) { return Add({}, tvwLast, key, text); }

    int Count() const { return int(m_byKey.size()); }
    QTreeWidgetItem* item(const QString& key) const { return m_byKey.value(key); }
    void Clear();

private:
    TreeView* m_tree;
    QHash<QString, QTreeWidgetItem*> m_byKey;
};

// The tree-view control: keyed nodes, NodeClick on a click or on Enter/Space, MouseMove; letters and
// digits find a node by its caption (TreeTypeAhead), Latin text only until initials are given.
class TreeView : public QTreeWidget
{
    Q_OBJECT
public:
    explicit TreeView(QWidget* parent = nullptr);

    TreeNodes& Nodes() { return m_nodes; }
    static TreeNode nodeOf(const QTreeWidgetItem* item);
    static constexpr int KeyRole = Qt::UserRole + 1;

    // How Han characters are typed: the first letters of their readings.
    void setTypeAheadInitials(typeahead::Initials initials);
    TreeTypeAhead* typeAhead() const { return m_typeAhead; }

Q_SIGNALS:
    void NodeClick(const TreeNode& node);
    // Button and shift masks as the windows expect them; X, Y in pixels within the tree.
    void MouseMove(int button, int shift, float x, float y);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    TreeNodes m_nodes{this};
    TreeTypeAhead* m_typeAhead = nullptr;
};
