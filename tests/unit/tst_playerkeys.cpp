#include "BrowserControl.h"
#include "Form1.h"
#include "Module1.h"
#include "MediaPlayer.h"
#include "PlayerKeys.h"
#include "StreamTable.h"
#include "TreeView.h"
#include "WindowFixture.h"
#include "WindowRegistry.h"
#include "Windows.h"

#include <QSignalSpy>
#include <QTest>

// The main window's keys, sent as real key events to whichever control has the focus, with the
// engine double behind the player.
class TestPlayerKeys : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void keysReachThePlayerAnywhere_data();
    void keysReachThePlayerAnywhere();
    void treeKeepsItsKeys();
    void fullScreenKeys();

private:
    Form1* showMainWindow();
    QWidget* focusTarget(Form1* form, const QString& name);

    WindowFixture* m_fixture = nullptr;
};

void TestPlayerKeys::init()
{
    m_fixture = new WindowFixture;
    registerWindows();
}

void TestPlayerKeys::cleanup() { delete m_fixture; }

Form1* TestPlayerKeys::showMainWindow()
{
    Form1* form = WindowRegistry::instance().show<Form1>();
    form->activateWindow();
    if (!QTest::qWaitForWindowActive(form))
        return nullptr;
    form->wmp1->setURL(QStringLiteral("mms://playing.example.invalid/live"));
    return form;
}

QWidget* TestPlayerKeys::focusTarget(Form1* form, const QString& name)
{
    if (name == u"tree")
        return form->TreeView1;
    if (name == u"player")
        return form->wmp1;
    if (name == u"browser")
        return form->WebBrowser1;
    return form;
}

void TestPlayerKeys::keysReachThePlayerAnywhere_data()
{
    QTest::addColumn<QString>("focus");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("startVolume");
    QTest::addColumn<bool>("startPaused");
    QTest::addColumn<bool>("paused");
    QTest::addColumn<bool>("mute");
    QTest::addColumn<int>("volume");
    const int ctrl = int(Qt::ControlModifier);
    // focus, key, modifiers, volume and paused before, then paused, mute and volume after.
    QTest::newRow("Ctrl+P in the tree") << "tree" << int(Qt::Key_P) << ctrl << 12 << false << true << false << 12;
    QTest::newRow("Ctrl+P on the player") << "player" << int(Qt::Key_P) << ctrl << 12 << false << true << false << 12;
    QTest::newRow("Ctrl+P on the web pane") << "browser" << int(Qt::Key_P) << ctrl << 12 << false << true << false << 12;
    QTest::newRow("Ctrl+P resumes") << "tree" << int(Qt::Key_P) << ctrl << 12 << true << false << false << 12;
    QTest::newRow("media play") << "tree" << int(Qt::Key_MediaPlay) << 0 << 12 << false << true << false << 12;
    QTest::newRow("media play/pause") << "window" << int(Qt::Key_MediaTogglePlayPause) << 0 << 12 << true << false
                                      << false << 12;
    QTest::newRow("media pause") << "tree" << int(Qt::Key_MediaPause) << 0 << 12 << false << true << false << 12;
    QTest::newRow("media pause when paused") << "tree" << int(Qt::Key_MediaPause) << 0 << 12 << true << true << false
                                             << 12;
    QTest::newRow("Ctrl+M in the tree") << "tree" << int(Qt::Key_M) << ctrl << 12 << false << false << true << 12;
    QTest::newRow("media mute") << "player" << int(Qt::Key_VolumeMute) << 0 << 12 << false << false << true << 12;
    QTest::newRow("Ctrl+Up in the tree") << "tree" << int(Qt::Key_Up) << ctrl << 12 << false << false << false << 17;
    QTest::newRow("media volume up") << "browser" << int(Qt::Key_VolumeUp) << 0 << 12 << false << false << false << 17;
    QTest::newRow("volume up stops at 100") << "tree" << int(Qt::Key_Up) << ctrl << 98 << false << false << false << 100;
    QTest::newRow("Ctrl+Down in the tree") << "tree" << int(Qt::Key_Down) << ctrl << 12 << false << false << false << 7;
    QTest::newRow("media volume down") << "window" << int(Qt::Key_VolumeDown) << 0 << 12 << false << false << false << 7;
    QTest::newRow("volume down stops at 0") << "tree" << int(Qt::Key_Down) << ctrl << 3 << false << false << false << 0;
}

void TestPlayerKeys::keysReachThePlayerAnywhere()
{
    QFETCH(QString, focus);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(int, startVolume);
    QFETCH(bool, startPaused);
    QFETCH(bool, paused);
    QFETCH(bool, mute);
    QFETCH(int, volume);

    Form1* form = showMainWindow();
    QVERIFY(form);
    FakeVideoEngine* engine = m_fixture->engines.last();
    QVERIFY(engine);
    form->wmp1->setVolume(startVolume);
    if (startPaused)
        form->wmp1->togglePause();
    QCOMPARE(engine->paused, startPaused);
    const int opens = int(engine->opened.size());

    QWidget* target = focusTarget(form, focus);
    target->setFocus();
    // The media keys carry no text (QTest has no character for them).
    QTest::sendKeyEvent(QTest::Click, target, Qt::Key(key), QString(), Qt::KeyboardModifiers(modifiers));

    QCOMPARE(engine->paused, paused);
    QCOMPARE(engine->mute, mute);
    QCOMPARE(engine->volume, volume);
    QCOMPARE(form->wmp1->volume(), volume);
    QCOMPARE(form->wmp1->muted(), mute);
    QCOMPARE(engine->opened.size(), opens); // no key opens anything anew
}

void TestPlayerKeys::treeKeepsItsKeys()
{
    Form1* form = showMainWindow();
    QVERIFY(form);
    FakeVideoEngine* engine = m_fixture->engines.last();
    QVERIFY(engine);
    const QString before = form->wmp1->URL();
    TreeView* tree = form->TreeView1;
    tree->setFocus();

    // Letters and digits find a channel; the player hears none of them (not even p or m).
    QTest::keyClicks(tree, QStringLiteral("cctv5"));
    QVERIFY(tree->currentItem());
    QCOMPARE(TreeView::nodeOf(tree->currentItem()).Key, QStringLiteral("wutao1"));
    QTest::keyClicks(tree, QStringLiteral("pm"));
    QCOMPARE(form->wmp1->URL(), before);
    QCOMPARE(engine->paused, false);
    QCOMPARE(engine->mute, false);
    QCOMPARE(engine->volume, 12);

    // Enter plays what was found.
    QTest::keyClick(tree, Qt::Key_Return);
    QCOMPARE(form->wmp1->URL(), *StreamTable::find(QStringLiteral("wutao1")));

    // Bare arrows browse, Space plays the node they reached.
    QTest::keyClick(tree, Qt::Key_Down);
    const QString next = TreeView::nodeOf(tree->currentItem()).Key;
    QVERIFY(next != QStringLiteral("wutao1"));
    QCOMPARE(engine->volume, 12);
    QTest::keyClick(tree, Qt::Key_Space);
    QCOMPARE(form->wmp1->URL(), *StreamTable::find(next));
}

void TestPlayerKeys::fullScreenKeys()
{
    Form1* form = showMainWindow();
    QVERIFY(form);
    QVERIFY(form->Keys);
    QSignalSpy toggle(form->Keys, &PlayerKeys::fullScreenToggleRequested);
    QSignalSpy leave(form->Keys, &PlayerKeys::fullScreenLeaveRequested);
    form->TreeView1->setFocus();

    // Esc belongs to the window only while it is full screen.
    QTest::keyClick(form->TreeView1, Qt::Key_Escape);
    QCOMPARE(leave.size(), 0);

    // F11 fills the screen as the caption's double-click does; Esc puts the window back.
    const QRect before = form->geometry();
    QTest::keyClick(form->TreeView1, Qt::Key_F11);
    QCOMPARE(toggle.size(), 1);
    QVERIFY(Module1::fullScreenState().fullScreen);
    QTest::keyClick(form->TreeView1, Qt::Key_Escape);
    QCOMPARE(leave.size(), 1);
    QVERIFY(!Module1::fullScreenState().fullScreen);
    QCOMPARE(form->geometry(), before);
    QTest::keyClick(form->TreeView1, Qt::Key_Escape);
    QCOMPARE(leave.size(), 1);

    // A window the desktop shows full screen counts by itself.
    form->setWindowState(Qt::WindowFullScreen);
    QTest::keyClick(form->TreeView1, Qt::Key_Escape);
    QCOMPARE(leave.size(), 2);
    QCOMPARE(toggle.size(), 1);
}

QTEST_MAIN(TestPlayerKeys)
#include "tst_playerkeys.moc"
