#include "BrowserControl.h"
#include "DesktopNotifyArea.h"
#include "Form1.h"
#include "Form5.h"
#include "LinkLabel.h"
#include "MediaPlayer.h"
#include "MprisPlayer.h"
#include "RadioStationTable.h"
#include "WindowFixture.h"
#include "WindowRegistry.h"
#include "Windows.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QScopeGuard>
#include <QTest>

namespace {

// Stand-ins for windows other developers build; only whether they are loaded and shown matters.
class AboutStandIn : public Form
{
};
class WebTvStandIn : public Form
{
};

// The keys of the menus enclosing an item, outermost first, joined by '/'. The bar's own overflow
// menu, which has no name, may list the titles too: it does not count.
QString menuPathOf(const QAction* action)
{
    QStringList path;
    const QAction* at = action;
    while (at) {
        const QMenu* menu = nullptr;
        for (QObject* o : at->associatedObjects()) {
            menu = qobject_cast<QMenu*>(o);
            if (menu && !menu->objectName().isEmpty())
                break;
            menu = nullptr;
        }
        if (!menu)
            break;
        path.prepend(menu->objectName());
        at = menu->menuAction();
    }
    return path.join(u'/');
}

int itemsUnder(const QMenu* menu)
{
    int n = 0;
    for (const QAction* a : menu->actions())
        n += a->menu() ? itemsUnder(a->menu()) : 1;
    return n;
}

QStringList mmsStations()
{
    QStringList keys;
    for (const MenuRow& row : RadioStationTable::table().rows())
        if (!row.isMenu && row.value.startsWith(u"mms://"))
            keys << row.key;
    return keys;
}

} // namespace

class TestForm5 : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void windowAndControls();
    void menuBarOrder();
    void stationItemsMatchTable();
    void stationCounts_data();
    void stationCounts();
    void stationItems_data();
    void stationItems();
    void stationClicks_data();
    void stationClicks();
    void quickClicksLeaveOnlyTheLast();
    void crossLinks_data();
    void crossLinks();
    void zxhFillsRecordAndHides();
    void trayCallback_data();
    void trayCallback();
    void trayDecodingInTwips_data();
    void trayDecodingInTwips();
    void shownFromAnotherWindowKeepsIcon();
    void noNotificationAreaKeepsWindowShown();
    void desktopWithoutTrayKeepsWindowShown();
    void unloadRemovesIcon_data();
    void unloadRemovesIcon();

private:
    Form5* showRadio();
    FakeVideoEngine* engine() const { return m_fixture->engines.last(); }

    WindowFixture* m_fixture = nullptr;
};

void TestForm5::init()
{
    m_fixture = new WindowFixture;
    registerWindows();
    WindowRegistry::instance().registerWindow<AboutStandIn>(QStringLiteral("Form2"));
    WindowRegistry::instance().registerWindow<WebTvStandIn>(QStringLiteral("Form3"));
}

void TestForm5::cleanup()
{
    delete m_fixture;
    m_fixture = nullptr;
}

Form5* TestForm5::showRadio()
{
    auto* form = qobject_cast<Form5*>(WindowRegistry::instance().show(QStringLiteral("Form5")));
    Q_ASSERT(form);
    return form;
}

void TestForm5::windowAndControls()
{
    Form5* form = showRadio();
    QCOMPARE(form->windowTitle(), QStringLiteral("Lumivo网络收音机1.0 迷你免安装版"));
    QVERIFY(!form->windowIcon().isNull());
    const Qt::WindowFlags flags = form->windowFlags();
    QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QCOMPARE(form->clientArea()->size(), QSize(301, 333));
    QCOMPARE(form->minimumSize(), form->maximumSize());

    QCOMPARE(form->WebBrowser1->geometry(), QRect(-10, -16, 312, 287));
    QCOMPARE(form->WindowsMediaPlayer1->geometry(), QRect(0, 0, 302, 335));
    // Sized to its text from its design corner, moved left only as far as the text needs.
    const QSize text = form->Label1->sizeHint();
    QCOMPARE(form->Label1->geometry(), QRect(QPoint(qMin(216, 301 - text.width()), 304), text));
    // Stacking from the top: ad panel, link label, player.
    const QObjectList& children = form->clientArea()->children();
    QVERIFY(children.indexOf(form->WebBrowser1) > children.indexOf(form->Label1));
    QVERIFY(children.indexOf(form->Label1) > children.indexOf(form->WindowsMediaPlayer1));

    QCOMPARE(form->Label1->text(), QStringLiteral("Lumivo网络电视"));
    QCOMPARE(form->Label1->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    QVERIFY(!form->Label1->autoFillBackground());
    QVERIFY(form->Label1->font().underline());
    QCOMPARE(form->Label1->font().pointSizeF(), 10.5);
    QCOMPARE(form->Label1->font().family(), QStringLiteral("宋体"));
    QCOMPARE(form->Label1->cursor().shape(), Qt::PointingHandCursor);

    const MediaPlayer::Settings& s = form->WindowsMediaPlayer1->settings();
    QCOMPARE(s.uiMode, MediaPlayer::UiMode::Full);
    QVERIFY(s.autoStart && !s.mute && !s.enableContextMenu && !s.enableErrorDialogs && !s.stretchToFit);
    QCOMPARE(s.volume, 50);
    QCOMPARE(engine()->volume, 50);

    // Loading asks for the ad page and nothing else; no station plays yet.
    QCOMPARE(m_fixture->pages.allLoads, QList<QUrl>{QUrl(Form5::adPageUrl())});
    QVERIFY(Form5::adPageUrl().endsWith(u"/ad/fmad.html"));
    QVERIFY(engine()->opened.isEmpty());
    QVERIFY(m_fixture->tray.calls.isEmpty());
}

void TestForm5::menuBarOrder()
{
    Form5* form = showRadio();
    QStringList bar;
    for (QAction* a : form->menuBar()->actions())
        bar << (a->menu() ? a->menu()->objectName() : a->objectName()) + u'=' + a->text();
    QCOMPARE(bar, (QStringList{"gn=国内电台", "gat=港澳台电台", "gwdt=国外电台", "bz=帮助", "zxh=最小化"}));
    QVERIFY(!form->builtMenus().action(QStringLiteral("zxh"))->menu());
    QStringList help;
    for (const QAction* a : form->builtMenus().menu(QStringLiteral("bz"))->actions())
        help << a->objectName() + u'=' + a->text();
    QCOMPARE(help, (QStringList{"gywn=关于我们", "vqchat=Lumivo聊天室"}));
}

void TestForm5::stationItemsMatchTable()
{
    Form5* form = showRadio();
    const MenuTable& table = RadioStationTable::table();
    int stations = 0;
    for (const MenuRow& row : table.rows()) {
        const QAction* action = form->builtMenus().action(row.key);
        QVERIFY2(action, qPrintable(row.key));
        QCOMPARE(action->text(), row.caption);
        QCOMPARE(bool(action->menu()), row.isMenu);
        QCOMPARE(menuPathOf(action), table.menuPath(row));
        stations += row.isMenu ? 0 : 1;
    }
    QCOMPARE(stations, RadioStationTable::StationCount);
}

void TestForm5::stationCounts_data()
{
    QTest::addColumn<QString>("menu");
    QTest::addColumn<int>("items");
    QTest::newRow("国内电台") << "gn" << 206;
    QTest::newRow("港澳台电台") << "gat" << 17;
    QTest::newRow("国外电台") << "gwdt" << 4;
    QTest::newRow("中央") << "zy" << 14;
    QTest::newRow("浙江, with two sub-menus") << "zj" << 40;
    QTest::newRow("帮助") << "bz" << 2;
}

void TestForm5::stationCounts()
{
    QFETCH(QString, menu);
    QFETCH(int, items);
    Form5* form = showRadio();
    QCOMPARE(itemsUnder(form->builtMenus().menu(menu)), items);
}

void TestForm5::stationItems_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("path");
    QTest::newRow("first") << "cctvxwpdyp" << "CCTV新闻频道(音频)" << "gn/zy";
    QTest::newRow("trailing space kept") << "lbgzzs" << "来宾桂中之声 " << "gn/gx";
    QTest::newRow("two deep") << "cxdtthzs2" << "长兴电台太湖之声" << "gn/zj/zjhz";
    QTest::newRow("full-width brackets") << "zydt982" << "诸暨电台（FM98.2）" << "gn/zj";
    QTest::newRow("without address") << "twtblxyydt" << "台北流行音乐电台" << "gat";
    QTest::newRow("last") << "hgkbsyypd" << "韩国KBS音乐频道" << "gwdt";
}

void TestForm5::stationItems()
{
    QFETCH(QString, key);
    QFETCH(QString, caption);
    QFETCH(QString, path);
    Form5* form = showRadio();
    const QAction* action = form->builtMenus().action(key);
    QVERIFY(action);
    QCOMPARE(action->objectName(), key);
    QCOMPARE(action->text(), caption);
    QCOMPARE(menuPathOf(action), path);
}

void TestForm5::stationClicks_data()
{
    QTest::addColumn<QStringList>("clicks");
    QTest::newRow("one station") << QStringList{"cctvxwpdyp"};
    QTest::newRow("station two menus deep") << QStringList{"hzjtjjgb2"};
    QTest::newRow("station without an address") << QStringList{"twtblxyydt"};
    QTest::newRow("no address keeps what plays") << QStringList{"bjdtxwgb", "twtblxyydt"};
    QTest::newRow("same station again opens anew") << QStringList{"gjzx4", "gjzx4"};
    QTest::newRow("two items, one address") << QStringList{"gjdtxwpd0", "cngjdtwl9"};
    QTest::newRow("replaces the playing one") << QStringList{"bjdtxwgb", "lbgzzs"};
}

void TestForm5::stationClicks()
{
    QFETCH(QStringList, clicks);
    Form5* form = showRadio();
    QList<QUrl> expected;
    QString lastUrl;
    QString lastCaption;
    for (const QString& key : clicks) {
        form->builtMenus().action(key)->trigger();
        if (const QString* url = RadioStationTable::find(key)) {
            expected << QUrl(*url);
            lastUrl = *url;
            lastCaption = RadioStationTable::table().row(key)->caption;
        }
    }
    QCOMPARE(engine()->opened, expected);
    QCOMPARE(form->WindowsMediaPlayer1->URL(), lastUrl);
    // The media keys' title is the station that plays.
    QCOMPARE(form->mediaKeys()->title(), lastCaption);
    QCOMPARE(form->WindowsMediaPlayer1->stage(), lastUrl.isEmpty() ? PlaybackStage::Idle : PlaybackStage::Connecting);
    if (clicks == QStringList{"gjdtxwpd0", "cngjdtwl9"})
        QCOMPARE(expected[0], expected[1]);
}

void TestForm5::quickClicksLeaveOnlyTheLast()
{
    Form5* form = showRadio();
    const QStringList keys = mmsStations().mid(0, 20);
    QCOMPARE(keys.size(), 20);
    for (const QString& key : keys)
        form->builtMenus().action(key)->trigger();
    const QUrl last(*RadioStationTable::find(keys.last()));
    QCOMPARE(engine()->opened.size(), 20);
    QCOMPARE(engine()->opened.last(), last);
    QCOMPARE(m_fixture->engines.made.size(), 1); // one player, one stream at a time
    Q_EMIT engine()->connected();
    Q_EMIT engine()->playing();
    QCOMPARE(form->WindowsMediaPlayer1->stage(), PlaybackStage::Playing);
    QCOMPARE(form->WindowsMediaPlayer1->currentStream(), last);
    QCOMPARE(form->WindowsMediaPlayer1->URL(), last.toString());
}

void TestForm5::crossLinks_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("radioStays");
    QTest::newRow("关于我们 opens the About window") << "gywn" << "Form2" << true;
    QTest::newRow("聊天室 opens the web-TV window") << "vqchat" << "Form3" << true;
    QTest::newRow("link label switches to the main window") << "Label1" << "Form1" << false;
}

void TestForm5::crossLinks()
{
    QFETCH(QString, item);
    QFETCH(QString, target);
    QFETCH(bool, radioStays);
    WindowRegistry& registry = WindowRegistry::instance();
    QPointer<Form5> form = showRadio();
    form->builtMenus().action(QStringLiteral("bjdtxwgb"))->trigger();
    QPointer<FakeVideoEngine> radioEngine = engine();

    if (item == u"Label1")
        QTest::mouseClick(form->Label1, Qt::LeftButton);
    else
        form->builtMenus().action(item)->trigger();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    Form* shown = registry.find(target);
    QVERIFY(shown && shown->isVisible());
    QCOMPARE(bool(form), radioStays);
    QCOMPARE(bool(registry.find(QStringLiteral("Form5"))), radioStays);
    // The station plays on beside the opened window, and goes with the radio when it unloads.
    QCOMPARE(bool(radioEngine), radioStays);
    if (radioStays) {
        QVERIFY(form->isVisible());
        QCOMPARE(radioEngine->stops, 0);
        QCOMPARE(form->WindowsMediaPlayer1->URL(), *RadioStationTable::find(QStringLiteral("bjdtxwgb")));
    }
    QCOMPARE(registry.loadedCount(), radioStays ? 2 : 1);
    QCOMPARE(m_fixture->programEnds, 0);
}

void TestForm5::zxhFillsRecordAndHides()
{
    Form5* form = showRadio();
    form->builtMenus().action(QStringLiteral("gjzx4"))->trigger();
    form->builtMenus().action(QStringLiteral("zxh"))->trigger();

    QCOMPARE(m_fixture->tray.icons.size(), 1);
    const NotifyIconData& nid = m_fixture->tray.icons[0];
    QCOMPARE(nid.cbSize, 88u);
    QCOMPARE(nid.hWnd.data(), form);
    QCOMPARE(nid.uID, 1u);
    QCOMPARE(nid.uFlags, 7u);
    QCOMPARE(nid.uCallbackMessage, 512u);
    QCOMPARE(nid.hIcon.cacheKey(), form->windowIcon().cacheKey());
    QCOMPARE(nid.szTip, QByteArray(1, '\0') + QByteArray(63, ' '));

    // Hidden, still loaded, still playing; the program goes on.
    QVERIFY(form->isHidden());
    QCOMPARE(WindowRegistry::instance().find(QStringLiteral("Form5")), form);
    QCOMPARE(engine()->stops, 0);
    QCOMPARE(engine()->opened.size(), 1);
    QCOMPARE(m_fixture->programEnds, 0);
}

void TestForm5::trayCallback_data()
{
    QTest::addColumn<QList<quint32>>("messages");
    QTest::addColumn<bool>("restored");
    using namespace notifyicon;
    QTest::newRow("pointer moves") << QList<quint32>{WM_MOUSEMOVE, WM_MOUSEMOVE} << false;
    QTest::newRow("left click") << QList<quint32>{WM_LBUTTONDOWN, WM_LBUTTONUP} << false;
    QTest::newRow("right click") << QList<quint32>{WM_RBUTTONDOWN, WM_RBUTTONUP} << false;
    QTest::newRow("right double-click") << QList<quint32>{WM_RBUTTONDOWN, WM_RBUTTONUP, WM_RBUTTONDBLCLK, WM_RBUTTONUP}
                                        << false;
    QTest::newRow("middle click") << QList<quint32>{WM_MBUTTONDOWN, WM_MBUTTONUP} << false;
    QTest::newRow("left double-click") << QList<quint32>{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}
                                       << true;
}

void TestForm5::trayCallback()
{
    QFETCH(QList<quint32>, messages);
    QFETCH(bool, restored);
    Form5* form = showRadio();
    form->builtMenus().action(QStringLiteral("zxh"))->trigger();
    for (quint32 m : messages)
        m_fixture->tray.mouse(m);
    QCOMPARE(form->isVisible(), restored);
    QCOMPARE(m_fixture->tray.icons.size(), restored ? 0 : 1);
    QCOMPARE(form->iconInTray(), !restored);
    QCOMPARE(m_fixture->pages.allLoads.size(), 1); // shown again, not loaded again
}

void TestForm5::trayDecodingInTwips_data()
{
    QTest::addColumn<float>("x");
    QTest::addColumn<bool>("restored");
    QTest::newRow("7725 twips is 515") << 7725.0f << true;
    QTest::newRow("just above rounds down") << 7732.0f << true;
    QTest::newRow("just below rounds up") << 7718.0f << true;
    QTest::newRow("rounds to 514") << 7717.0f << false;
    QTest::newRow("rounds to 516") << 7733.0f << false;
    QTest::newRow("515 pixels unconverted") << 515.0f << false;
}

void TestForm5::trayDecodingInTwips()
{
    QFETCH(float, x);
    QFETCH(bool, restored);
    Form5* form = showRadio();
    form->builtMenus().action(QStringLiteral("zxh"))->trigger();
    form->Form_MouseMove(0, 0, x, 0);
    QCOMPARE(form->isVisible(), restored);
    QCOMPARE(m_fixture->tray.icons.size(), restored ? 0 : 1);
}

void TestForm5::shownFromAnotherWindowKeepsIcon()
{
    RecordingNotifyArea& tray = m_fixture->tray;
    Form5* form = showRadio();
    QAction* zxh = form->builtMenus().action(QStringLiteral("zxh"));
    zxh->trigger();
    QCOMPARE(WindowRegistry::instance().show(QStringLiteral("Form5")), form);
    QVERIFY(form->isVisible());
    QCOMPARE(tray.icons.size(), 1);
    QCOMPARE(m_fixture->pages.allLoads.size(), 1);

    // The shell refuses a second icon of this window and id; the window hides all the same.
    zxh->trigger();
    QCOMPARE(tray.icons.size(), 1);
    QCOMPARE(tray.calls.size(), 2);
    QVERIFY(!tray.calls[1].result);
    QVERIFY(form->isHidden());

    tray.doubleClick(form);
    QVERIFY(form->isVisible());
    QVERIFY(tray.icons.isEmpty());
}

void TestForm5::noNotificationAreaKeepsWindowShown()
{
    m_fixture->tray.available = false;
    Form5* form = showRadio();
    form->builtMenus().action(QStringLiteral("zxh"))->trigger();
    QVERIFY(form->isVisible());
    QVERIFY(!form->iconInTray());
    QVERIFY(m_fixture->tray.icons.isEmpty());

    // Once the area is back, the same item goes to the tray.
    m_fixture->tray.available = true;
    form->builtMenus().action(QStringLiteral("zxh"))->trigger();
    QVERIFY(form->isHidden());
    QCOMPARE(m_fixture->tray.icons.size(), 1);
}

void TestForm5::desktopWithoutTrayKeepsWindowShown()
{
    // The real notification area on a display without a tray host (this platform has none).
    DesktopNotifyArea desktop;
    NotifyArea::install(&desktop);
    const auto restore = qScopeGuard([this] { NotifyArea::install(&m_fixture->tray); });
    Form5* form = showRadio();
    form->builtMenus().action(QStringLiteral("zxh"))->trigger();
    QVERIFY(form->isVisible());
    QVERIFY(!form->iconInTray());
}

void TestForm5::unloadRemovesIcon_data()
{
    QTest::addColumn<bool>("byLinkLabel");
    QTest::newRow("close box") << false;
    QTest::newRow("link label") << true;
}

void TestForm5::unloadRemovesIcon()
{
    QFETCH(bool, byLinkLabel);
    QPointer<Form5> form = showRadio();
    form->builtMenus().action(QStringLiteral("zxh"))->trigger();
    showRadio(); // from another window: shown, the icon stays
    QCOMPARE(m_fixture->tray.icons.size(), 1);
    if (byLinkLabel)
        QTest::mouseClick(form->Label1, Qt::LeftButton);
    else
        form->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!form);
    QVERIFY(m_fixture->tray.icons.isEmpty());
    QCOMPARE(m_fixture->programEnds, byLinkLabel ? 0 : 1);
}

QTEST_MAIN(TestForm5)
#include "tst_form5.moc"
