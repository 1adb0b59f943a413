#include "BrowserControl.h"
#include "LinkLabel.h"
#include "WebLinks.h"
#include "WindowFixture.h"
#include "Windows.h"
#include "Form1.h"
#include "LumivoBuildValues.h"
#include "MediaPlayer.h"
#include "RecordingHost.h"
#include "RecordingWebPage.h"
#include "SkinLabel.h"
#include "Bd.h"
#include "StreamTable.h"
#include "TreeView.h"
#include "WindowRegistry.h"

#include <QLabel>
#include <QSignalSpy>
#include <QTest>

class TestForm1 : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void startUpRectangleAndState();
    void treeShowsCollapsedCategories();
    void secondInstanceWarnsAndEnds();
    void reloadRunsStartUpAgain();
    void linkLabels_data();
    void linkLabels();
    void nodeClickPlaysChannelsOnly_data();
    void nodeClickPlaysChannelsOnly();

private:
    WindowFixture* m_fixture = nullptr;
    RecordingHost* m_host = nullptr;
    RecordingPages* m_pages = nullptr;
    FakeEngines* m_engines = nullptr;
};

void TestForm1::init()
{
    m_fixture = new WindowFixture;
    m_host = &m_fixture->host;
    m_pages = &m_fixture->pages;
    m_engines = &m_fixture->engines;
}

void TestForm1::cleanup()
{
    delete m_fixture;
}

void TestForm1::startUpRectangleAndState()
{
    Form1 form;
    form.Form_Load();
    QCOMPARE(form.wmp1->geometry(), QRect(159, 51, 574, 470));
    QVERIFY(form.ImageB->isHidden());
    QVERIFY(form.PtA->isHidden());
    QVERIFY(form.PtB->isHidden());
    QVERIFY(form.Bd10->isHidden());
    QVERIFY(!form.ImageA->isHidden());
    QVERIFY(!form.alwaysOnTop());
    QCOMPARE(form.windowTitle(), QStringLiteral("Lumivo网络电视5.5 免安装版"));
    QVERIFY(form.windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(m_pages->allLoads, QList<QUrl>{QUrl(QString::fromUtf8(buildvalues::ContentServer) + "/ad/ad.html")});
    QVERIFY(m_host->boxes.isEmpty());
    // Design rectangles of the strips and panels.
    QCOMPARE(form.WebBrowser1->geometry(), QRect(208, 72, 489, 361));
    QCOMPARE(form.TreeView1->geometry(), QRect(4, 44, 145, 465));
    QCOMPARE(form.Bd1->geometry(), QRect(0, 0, 739, 26));
    QCOMPARE(form.Bd6->geometry(), QRect(0, 517, 739, 13));
    QCOMPARE(form.Bd4->geometry(), QRect(0, 26, 7, 491));
    QCOMPARE(form.Rc->geometry(), QRect(733, 26, 6, 491));
    QCOMPARE(form.ImageA->geometry(), QRect(0, 220, 21, 50)); // twips inside the divider
    // The ad panel covers the player.
    QVERIFY(form.children().indexOf(form.WebBrowser1) > form.children().indexOf(form.wmp1));
}

void TestForm1::treeShowsCollapsedCategories()
{
    Form1* form = WindowRegistry::instance().show<Form1>();
    QVERIFY(form && form->isVisible());
    TreeView* tree = form->TreeView1;
    QCOMPARE(tree->Nodes().Count(), 588);
    QStringList top;
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        top << tree->topLevelItem(i)->text(0);
        QVERIFY(!tree->topLevelItem(i)->isExpanded());
    }
    QCOMPARE(top, (QStringList{"中央电视台", "地方电视台", "港台电视台", "国外电视台", "世界摄像头直播"}));
    QVERIFY(tree->selectedItems().isEmpty());
    QTreeWidgetItem* difang = tree->topLevelItem(1);
    QCOMPARE(difang->childCount(), 27);
    QCOMPARE(difang->child(0)->text(0), QStringLiteral("北京市"));
    QCOMPARE(difang->child(26)->text(0), QStringLiteral("其它地方台"));
    QCOMPARE(tree->Nodes().item(QStringLiteral("fujian"))->childCount(), 1);
}

void TestForm1::secondInstanceWarnsAndEnds()
{
    m_host->previousInstance = true;
    QPointer<Form1> form = WindowRegistry::instance().show<Form1>();
    QVERIFY(!form);
    QCOMPARE(m_host->boxes.size(), 1);
    QCOMPARE(m_host->boxes[0].text, QStringLiteral("Lumivo网络电视已经运行！"));
    QCOMPARE(m_host->boxes[0].caption, QStringLiteral("Lumivo网络电视"));
    QCOMPARE(int(m_host->boxes[0].icon), int(HostServices::Icon::Warning));
    QCOMPARE(m_host->endCalls, 1);
    // The ad request went out before the check.
    QCOMPARE(m_pages->allLoads.size(), 1);
    QCOMPARE(WindowRegistry::instance().loadedCount(), 0);
}

void TestForm1::reloadRunsStartUpAgain()
{
    auto& reg = WindowRegistry::instance();
    Form1* first = reg.show<Form1>();
    first->TreeView1->expandAll();
    reg.unload(first);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    Form1* second = reg.show<Form1>();
    QVERIFY(second);
    QVERIFY(!second->TreeView1->topLevelItem(0)->isExpanded());
    QCOMPARE(m_pages->allLoads.size(), 2);

    // The check is made again with the same answer.
    m_host->previousInstance = true;
    reg.unload(second);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!reg.show<Form1>());
    QCOMPARE(m_host->boxes.size(), 1);
}

void TestForm1::nodeClickPlaysChannelsOnly_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("url"); // empty: the player keeps what it had
    const QString content = QString::fromUtf8(buildvalues::ContentServer);
    QTest::newRow("channel") << "yitao1" << content + "/asx/cctv/cctv1.asx";
    QTest::newRow("shared region directory") << "dnws" << content + "/asx/fj/fjdnws.asx";
    QTest::newRow("direct rtsp") << "cIubtv2" << *StreamTable::find(QStringLiteral("cIubtv2"));
    QTest::newRow("category") << "zhongyang" << QString();
    QTest::newRow("region") << "beijing" << QString();
    QTest::newRow("channel without a stream") << "tvbshl" << QString();
}

void TestForm1::nodeClickPlaysChannelsOnly()
{
    QFETCH(QString, key);
    QFETCH(QString, url);
    Form1* form = WindowRegistry::instance().show<Form1>();
    const QString before = QStringLiteral("mms://playing.example.invalid/live");
    form->wmp1->setURL(before);
    QSignalSpy stages(form->wmp1, &MediaPlayer::stageChanged);

    QTreeWidgetItem* item = form->TreeView1->Nodes().item(key);
    QVERIFY(item);
    form->TreeView1->scrollToItem(item);
    QTest::mouseClick(form->TreeView1->viewport(), Qt::LeftButton, {},
                      form->TreeView1->visualItemRect(item).center());

    if (url.isEmpty()) {
        QCOMPARE(form->wmp1->URL(), before);
        QVERIFY(stages.isEmpty());
        return;
    }
    QCOMPARE(form->wmp1->URL(), url);
    // The same channel again opens it anew.
    const auto connecting = [&stages] {
        int n = 0;
        for (const auto& args : stages)
            n += args.at(0).value<PlaybackStage>() == PlaybackStage::Connecting ? 1 : 0;
        return n;
    };
    const int first = connecting();
    QVERIFY(first >= 1);
    form->TreeView1_NodeClick(TreeView::nodeOf(item));
    QVERIFY(connecting() > first);
}

void TestForm1::linkLabels_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QRect>("rect"); // pixels within its strip
    QTest::addColumn<QString>("link"); // the page opened, if any
    QTest::addColumn<QString>("target"); // the window shown, if any
    QTest::addColumn<bool>("mainStays");

    QTest::newRow("Label4") << "Label4" << "CNTV直播" << QRect(280, 8, 48, 12) << QString() << QString("Form3") << false;
    QTest::newRow("Label13") << "Label13" << "易视直播" << QRect(340, 8, 48, 12) << QString() << QString("Form8") << false;
    QTest::newRow("Label5") << "Label5" << "Lumivo影剧院" << QRect(400, 8, 60, 12) << QString() << QString("Form4") << false;
    QTest::newRow("Label6") << "Label6" << "Lumivo收音机" << QRect(472, 8, 60, 12) << QString() << QString("Form5") << false;
    QTest::newRow("Label12") << "Label12" << "酷狗音乐" << QRect(544, 8, 48, 12) << QString() << QString("Form7") << false;
    QTest::newRow("Label8") << "Label8" << "Kivamo" << QRect(600, 8, 48, 12) << weblinks::movieSite() << QString() << true;
    QTest::newRow("Label7") << "Label7" << "Lumivo聊天室" << QRect(656, 8, 60, 12) << QString() << QString("Form6") << true;
    QTest::newRow("Label1 sponsor") << "Label1" << QStringLiteral("Orvalis ") + weblinks::makerHost()
                                    << QRect(368, 0, 126, 12) << weblinks::homePageBare() << QString() << true;
}

void TestForm1::linkLabels()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QRect, rect);
    QFETCH(QString, link);
    QFETCH(QString, target);
    QFETCH(bool, mainStays);
    registerWindows();
    Form1* form = WindowRegistry::instance().show<Form1>();
    QVERIFY(form);
    auto* label = form->findChild<LinkLabel*>(name);
    QVERIFY(label);
    QCOMPARE(label->text(), caption);
    QCOMPARE(label->geometry(), rect);
    QCOMPARE(label->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    QTest::mouseClick(label, Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(m_host->opened, link.isEmpty() ? QList<QUrl>{} : QList<QUrl>{QUrl(link)});
    // A switch unloads the main window and shows the target; an open leaves it; a target that is
    // not built never unloads it.
    const bool targetBuilt = !target.isEmpty() && WindowRegistry::instance().isRegistered(target);
    QCOMPARE(WindowRegistry::instance().find<Form1>() == form, mainStays || !targetBuilt);
    if (targetBuilt)
        QVERIFY(WindowRegistry::instance().find(target));
    // The sponsor line opens the home page without the "/" the help menu adds.
    QCOMPARE(weblinks::homePageBare() + u'/', weblinks::homePage());
}

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
