#include "TreeView.h"

#include <QSignalSpy>
#include <QTest>

class TestTreeView : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void addPlacesNodes();
    void addErrors_data();
    void addErrors();
    void clickAndKeysRaiseNodeClick_data();
    void clickAndKeysRaiseNodeClick();
    void mouseMoveReportsMasks();
};

namespace {
QStringList topTexts(const QTreeWidget& t)
{
    QStringList out;
    for (int i = 0; i < t.topLevelItemCount(); ++i)
        out << t.topLevelItem(i)->text(0);
    return out;
}
} // namespace

void TestTreeView::addPlacesNodes()
{
    TreeView tree;
    auto& nodes = tree.Nodes();
    nodes.Add(QStringLiteral("a"), QStringLiteral("甲"));
    nodes.Add(QStringLiteral("b"), QStringLiteral("乙"));
    nodes.Add(QStringLiteral("a"), tvwChild, QStringLiteral("a1"), QStringLiteral("甲一"));
    nodes.Add(QStringLiteral("a"), tvwChild, QStringLiteral("a2"), QStringLiteral("甲二"));
    nodes.Add(QStringLiteral("a1"), tvwChild, QStringLiteral("a1x"), QStringLiteral("深"));
    nodes.Add(QStringLiteral("b"), tvwNext, QStringLiteral("c"), QStringLiteral("丙"));
    nodes.Add(QStringLiteral("a"), tvwPrevious, QStringLiteral("z"), QStringLiteral("零"));

    QCOMPARE(topTexts(tree), (QStringList{"零", "甲", "乙", "丙"}));
    QTreeWidgetItem* a = nodes.item(QStringLiteral("a"));
    QCOMPARE(a->childCount(), 2);
    QCOMPARE(a->child(1)->text(0), QStringLiteral("甲二"));
    QCOMPARE(nodes.item(QStringLiteral("a1x"))->parent(), nodes.item(QStringLiteral("a1")));
    QCOMPARE(nodes.Count(), 7);
    // Nothing is expanded or selected by adding.
    QVERIFY(!a->isExpanded());
    QVERIFY(tree.selectedItems().isEmpty());
    QCOMPARE(TreeView::nodeOf(a).Key, QStringLiteral("a"));
}

void TestTreeView::addErrors_data()
{
    QTest::addColumn<QString>("relative");
    QTest::addColumn<int>("relationship");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("message");
    QTest::newRow("duplicate key") << QString() << int(tvwLast) << "a" << "key is not unique: a";
    QTest::newRow("duplicate child key") << "a" << int(tvwChild) << "a" << "key is not unique: a";
    QTest::newRow("unknown relative") << "nope" << int(tvwChild) << "n" << "no node with key nope";
    QTest::newRow("empty key") << QString() << int(tvwLast) << "" << "needs a key";
    QTest::newRow("bad relationship") << "a" << 9 << "n" << "invalid relationship";
}

void TestTreeView::addErrors()
{
    QFETCH(QString, relative);
    QFETCH(int, relationship);
    QFETCH(QString, key);
    QFETCH(QString, message);
    TreeView tree;
    tree.Nodes().Add(QStringLiteral("a"), QStringLiteral("甲"));
    try {
        tree.Nodes().Add(relative, relationship, key, QStringLiteral("x"));
        QFAIL("no error raised");
    } catch (const TreeNodeError& e) {
        QVERIFY2(QString::fromUtf8(e.what()).contains(message), e.what());
    }
    // Nothing was added.
    QCOMPARE(tree.Nodes().Count(), 1);
    QCOMPARE(tree.topLevelItemCount(), 1);
    QCOMPARE(tree.topLevelItem(0)->childCount(), 0);
}

void TestTreeView::clickAndKeysRaiseNodeClick_data()
{
    QTest::addColumn<int>("key"); // 0 = mouse click
    QTest::newRow("mouse") << 0;
    QTest::newRow("Return") << int(Qt::Key_Return);
    QTest::newRow("Enter") << int(Qt::Key_Enter);
    QTest::newRow("Space") << int(Qt::Key_Space);
}

void TestTreeView::clickAndKeysRaiseNodeClick()
{
    QFETCH(int, key);
    TreeView tree;
    tree.resize(200, 200);
    tree.Nodes().Add(QStringLiteral("cat"), QStringLiteral("中央电视台"));
    tree.Nodes().Add(QStringLiteral("cat"), tvwChild, QStringLiteral("yitao1"), QStringLiteral("CCTV-1综合"));
    tree.expandAll();
    tree.show();
    QVERIFY(QTest::qWaitForWindowExposed(&tree));

    QSignalSpy clicks(&tree, &TreeView::NodeClick);
    QTreeWidgetItem* item = tree.Nodes().item(QStringLiteral("yitao1"));
    if (key == 0) {
        QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, tree.visualItemRect(item).center());
    } else {
        tree.setCurrentItem(item);
        QTest::keyClick(&tree, Qt::Key(key));
    }
    QCOMPARE(clicks.size(), 1);
    QCOMPARE(clicks.at(0).at(0).value<TreeNode>().Key, QStringLiteral("yitao1"));

    // Arrow keys move without playing anything.
    QTest::keyClick(&tree, Qt::Key_Up);
    QCOMPARE(clicks.size(), 1);
}

void TestTreeView::mouseMoveReportsMasks()
{
    TreeView tree;
    tree.resize(200, 200);
    tree.show();
    QVERIFY(QTest::qWaitForWindowExposed(&tree));
    QSignalSpy moves(&tree, &TreeView::MouseMove);
    QMouseEvent move(QEvent::MouseMove, QPointF(30, 40), tree.viewport()->mapToGlobal(QPointF(30, 40)),
                     Qt::NoButton, Qt::RightButton, Qt::ShiftModifier | Qt::ControlModifier);
    QApplication::sendEvent(tree.viewport(), &move);
    QCOMPARE(moves.size(), 1);
    QCOMPARE(moves.at(0).at(0).toInt(), 2);
    QCOMPARE(moves.at(0).at(1).toInt(), 3);
    const QPoint inTree = tree.viewport()->mapTo(&tree, QPoint(30, 40));
    QCOMPARE(moves.at(0).at(2).toFloat(), float(inTree.x()));
    QCOMPARE(moves.at(0).at(3).toFloat(), float(inTree.y()));
}

QTEST_MAIN(TestTreeView)
#include "tst_treeview.moc"
