#include "ChannelCatalogue.h"
#include "PinyinInitials.h"
#include "TreeTypeAhead.h"
#include "TreeView.h"
#include "TypeAheadMatch.h"

#include <QSignalSpy>
#include <QTest>

class TestTypeAhead : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void everyCaptionCharacterHasInitials();
    void matches_data();
    void matches();
    void typingSelectsNode_data();
    void typingSelectsNode();
};

void TestTypeAhead::everyCaptionCharacterHasInitials()
{
    // A caption character missing from the generated table could never be typed.
    QString missing;
    for (const ChannelRecord& r : ChannelCatalogue::records())
        for (const char32_t c : r.caption.toUcs4())
            if (QChar::isLetter(c) && c > 0x7F && (c < 0xFF01 || c > 0xFF5E) && PinyinInitials::of(c).isEmpty())
                missing += QString::fromUcs4(&c, 1);
    QVERIFY2(missing.isEmpty(), qPrintable(QStringLiteral("no initials for ") + missing));
}

void TestTypeAhead::matches_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("match");
    QTest::newRow("initials") << "湖南卫视" << "hnws" << true;
    QTest::newRow("initials, upper case") << "湖南卫视" << "HNWS" << true;
    QTest::newRow("a prefix of the initials") << "湖南卫视" << "hn" << true;
    QTest::newRow("longer than the caption") << "湖南卫视" << "hnwsx" << false;
    QTest::newRow("wrong initial") << "湖北卫视" << "hnws" << false;
    QTest::newRow("only from the start") << "湖南卫视" << "ws" << false;
    QTest::newRow("Latin then digit, dash skipped") << "CCTV-5体育" << "cctv5" << true;
    QTest::newRow("Latin, digit and initials") << "CCTV-5体育" << "cctv5ty" << true;
    QTest::newRow("two digits") << "CCTV-10科教" << "cctv10" << true;
    QTest::newRow("one digit is not two") << "CCTV-1综合" << "cctv10" << false;
    QTest::newRow("Latin only, spaces skipped") << "BBC Question Time" << "bbcquestiont" << true;
    QTest::newRow("Latin is spelled, not initialled") << "BBC Question Time" << "bbcqt" << false;
    QTest::newRow("polyphonic, the place name's reading") << "重庆卫视" << "cqws" << true;
    QTest::newRow("polyphonic, the other reading") << "重庆卫视" << "zqws" << true;
    QTest::newRow("polyphonic chang") << "长沙新闻" << "csxw" << true;
    QTest::newRow("polyphonic zhang") << "长沙新闻" << "zsxw" << true;
    QTest::newRow("polyphonic le") << "乐山电视台" << "lsdst" << true;
    QTest::newRow("polyphonic yue") << "无锡娱乐" << "wxyl" << true;
    QTest::newRow("star skipped") << "TVS-★" << "tvs" << true;
    QTest::newRow("Latin inside Han") << "美国SongwriterTV音乐台" << "mgsong" << true;
    QTest::newRow("digit among Han") << "越南河内电视1台" << "ynhnds1t" << true;
    QTest::newRow("full-width Latin") << QString::fromUtf8("ＣＣＴＶ") << "cctv" << true;
    QTest::newRow("empty typed") << "湖南卫视" << "" << false;
    QTest::newRow("empty caption") << "" << "h" << false;
}

void TestTypeAhead::matches()
{
    QFETCH(QString, caption);
    QFETCH(QString, typed);
    QFETCH(bool, match);
    QCOMPARE(typeahead::matches(caption, typed, &PinyinInitials::of), match);
}

void TestTypeAhead::typingSelectsNode_data()
{
    // Keys typed into the catalogue's tree from the first node; '|' is a pause of more than a
    // second, '>' a short one. The node selected in the end, by key; empty: the one before typing.
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("selected");
    QTest::newRow("initials refine") << "hnws" << "hnws1";
    QTest::newRow("Latin and digit") << "cctv5" << "wutao1";
    QTest::newRow("upper case") << "CCTV5" << "wutao1";
    QTest::newRow("polyphonic") << "cqws" << "cqws";
    QTest::newRow("short pauses still refine") << "h>n>w>s" << "hnws1";
    QTest::newRow("a pause starts over") << "hnws|cqws" << "cqws";
    QTest::newRow("a miss changes nothing") << "hnwsq" << "hnws1";
    QTest::newRow("miss from the start") << "9" << "";
    QTest::newRow("the same text again moves on") << "hnws|hnws" << "hnwstv1";
    QTest::newRow("wraps around") << "hnws|hnws|hnws" << "hnws1";
}

void TestTypeAhead::typingSelectsNode()
{
    QFETCH(QString, keys);
    QFETCH(QString, selected);

    TreeView tree;
    tree.setTypeAheadInitials(&PinyinInitials::of);
    ChannelCatalogue::loadInto([&tree](const QString& parent, bool isChild, const QString& key, const QString& caption) {
        if (isChild)
            tree.Nodes().Add(parent, tvwChild, key, caption);
        else
            tree.Nodes().Add(key, caption);
    });
    qint64 now = 0;
    tree.typeAhead()->setClock([&now] { return now; });
    tree.show();
    QVERIFY(QTest::qWaitForWindowExposed(&tree));
    QSignalSpy clicks(&tree, &TreeView::NodeClick);
    QTreeWidgetItem* const before = tree.currentItem();

    for (const QChar c : keys) {
        if (c == u'|')
            now += TreeTypeAhead::PauseMs + 1;
        else if (c == u'>')
            now += TreeTypeAhead::PauseMs - 100;
        else
            QTest::keyClick(&tree, c.toLatin1());
    }

    QTreeWidgetItem* current = tree.currentItem();
    if (selected.isEmpty()) {
        QCOMPARE(current, before);
        for (int i = 0; i < tree.topLevelItemCount(); ++i)
            QVERIFY(!tree.topLevelItem(i)->isExpanded());
        QVERIFY(clicks.isEmpty());
        return;
    }
    QVERIFY(current);
    QCOMPARE(TreeView::nodeOf(current).Key, selected);
    QVERIFY(current->isSelected());
    for (QTreeWidgetItem* p = current->parent(); p; p = p->parent())
        QVERIFY(p->isExpanded());
    QVERIFY(clicks.isEmpty()); // finding plays nothing

    QTest::keyClick(&tree, Qt::Key_Return);
    QCOMPARE(clicks.size(), 1);
    QCOMPARE(clicks.at(0).at(0).value<TreeNode>().Key, selected);
}

QTEST_MAIN(TestTypeAhead)
#include "tst_typeahead.moc"
