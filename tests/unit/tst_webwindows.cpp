// The web windows Form3, Form4, Form6, Form7 and Form8: frames, panes, the pages they load, the
// web-TV channel menu and every cross-link of their menus.
#include "BrowserControl.h"
#include "Form3.h"
#include "Form8.h"
#include "LumivoBuildValues.h"
#include "WebLinks.h"
#include "WebTvChannelTable.h"
#include "WindowFixture.h"
#include "WindowRegistry.h"
#include "Windows.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

#include <optional>

namespace {

QString content(const char* path) { return QString::fromUtf8(buildvalues::ContentServer) + QLatin1String(path); }

QUrl url(const QString& s) { return QUrl::fromUserInput(s); }

// What a window asks for when it loads, in order; nothing known for windows built elsewhere.
std::optional<QList<QUrl>> loadsOf(const QString& window)
{
    const QUrl ad = url(content("/ad/cntvad.html"));
    const QUrl cctv1 = url(WebTvChannelTable::playerPageUrl(QStringLiteral("pa://cctv_p2p_cctv1")));
    if (window == u"Form1")
        return QList<QUrl>{url(content("/ad/ad.html"))};
    if (window == u"Form3")
        return QList<QUrl>{ad, cctv1};
    if (window == u"Form4")
        return QList<QUrl>{url(QString::fromUtf8(buildvalues::PortalServer) + QStringLiteral("/3tv/"))};
    if (window == u"Form6")
        return QList<QUrl>{url(QString::fromUtf8(buildvalues::ChatRoomUrl)), ad};
    if (window == u"Form7")
        return QList<QUrl>{url(QString::fromUtf8(buildvalues::MusicBoxUrl)), ad};
    if (window == u"Form8")
        return QList<QUrl>{ad, url(QString::fromUtf8(buildvalues::YishiUrl))};
    return std::nullopt;
}

// The bar of a window as names, sub-menus by their menu's name.
QStringList barNames(const Form* form)
{
    QStringList names;
    for (const QAction* a : form->menuBar()->actions())
        names << (a->menu() ? a->menu()->objectName() : a->objectName());
    return names;
}

// Every entry below a menu, depth first, as the user meets them.
void walk(const QMenu* menu, QStringList& keys)
{
    for (const QAction* a : menu->actions()) {
        if (a->menu()) {
            keys << a->menu()->objectName();
            walk(a->menu(), keys);
        } else {
            keys << a->objectName();
        }
    }
}

QAction* menuItem(Form* form, const QString& name)
{
    if (auto* menu = form->findChild<QMenu*>(name, Qt::FindDirectChildrenOnly))
        return menu->menuAction();
    return form->findChild<QAction*>(name, Qt::FindDirectChildrenOnly);
}

} // namespace

class TestWebWindows : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void frames_data();
    void frames();
    void panes_data();
    void panes();
    void loadOrder_data();
    void loadOrder();
    void menuBars_data();
    void menuBars();
    void menuItems_data();
    void menuItems();
    void showingALoadedWindowKeepsItsPages();
    void portalReloadStaysOpen();
    void channelMenuFollowsTheTable();
    void channelItemsLoadTheirPlayerPage();
    void form3Labels();
    void form8ResizesWithoutLayout();

private:
    WindowFixture* m_fx = nullptr;
};

void TestWebWindows::init()
{
    m_fx = new WindowFixture;
    registerWindows();
}

void TestWebWindows::cleanup()
{
    delete m_fx;
    m_fx = nullptr;
}

void TestWebWindows::frames_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QSize>("client");
    QTest::addColumn<bool>("fixed");
    QTest::addColumn<bool>("centred");
    QTest::newRow("Form3") << "Form3" << "Lumivo网络电视5.5" << QSize(669, 501) << true << true;
    QTest::newRow("Form4") << "Form4" << "Lumivo网络电视5.5(电视直播.电影.电视剧) " << QSize(943, 568) << true << true;
    QTest::newRow("Form6") << "Form6" << "Lumivo网络电视5.5(聊天室)" << QSize(751, 455) << true << true;
    QTest::newRow("Form7") << "Form7" << "Lumivo网络电视5.5(酷狗音乐盒)" << QSize(837, 492) << true << false;
    QTest::newRow("Form8") << "Form8" << "Lumivo网络电视5.5(易视直播)" << QSize(946, 455) << false << true;
}

void TestWebWindows::frames()
{
    QFETCH(QString, window);
    QFETCH(QString, caption);
    QFETCH(QSize, client);
    QFETCH(bool, fixed);
    QFETCH(bool, centred);
    Form* form = WindowRegistry::instance().show(window);
    QVERIFY(form);
    QVERIFY(form->isVisible());
    QCOMPARE(form->windowTitle(), caption);
    QCOMPARE(form->clientArea()->size(), client);
    QVERIFY(form->menuBar());
    QCOMPARE(form->clientArea()->y(), form->menuBar()->height());
    const Qt::WindowFlags flags = form->windowFlags();
    QCOMPARE(form->minimumSize() == form->maximumSize(), fixed);
    QCOMPARE(bool(flags & Qt::WindowMinimizeButtonHint), !fixed);
    QCOMPARE(bool(flags & Qt::WindowMaximizeButtonHint), !fixed);
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    // Centred by the window itself, frame included, or left to the window manager's placement.
    QCOMPARE(form->testAttribute(Qt::WA_Moved), centred);
    if (centred) {
        // Within the rounding of halves and the frame's few pixels.
        const QPoint offCentre = form->frameGeometry().center() - form->screen()->availableGeometry().center();
        QVERIFY2(qAbs(offCentre.x()) <= 3 && qAbs(offCentre.y()) <= 3,
                 qPrintable(QStringLiteral("%1, %2").arg(offCentre.x()).arg(offCentre.y())));
    }
}

void TestWebWindows::panes_data()
{
    // Pixel rectangles of the design's twips; the ad panel (WebBrowser2) covers the content pane.
    QTest::addColumn<QString>("window");
    QTest::addColumn<QRect>("ad");
    QTest::addColumn<QRect>("pane");
    QTest::newRow("Form3") << "Form3" << QRect(-11, -16, 129, 497) << QRect(116, 0, 577, 481);
    QTest::newRow("Form4") << "Form4" << QRect() << QRect(-29, -96, 1017, 6665);
    QTest::newRow("Form6") << "Form6" << QRect(-8, -16, 129, 481) << QRect(120, 0, 633, 457);
    QTest::newRow("Form7") << "Form7" << QRect(-8, -8, 129, 513) << QRect(80, -80, 820, 667);
    QTest::newRow("Form8") << "Form8" << QRect(-8, -16, 121, 473) << QRect(-120, -120, 1327, 1000);
}

void TestWebWindows::panes()
{
    QFETCH(QString, window);
    QFETCH(QRect, ad);
    QFETCH(QRect, pane);
    Form* form = WindowRegistry::instance().show(window);
    QVERIFY(form);
    const QList<BrowserControl*> browsers = form->clientArea()->findChildren<BrowserControl*>(
        QString(), Qt::FindDirectChildrenOnly);
    auto* content = form->findChild<BrowserControl*>(QStringLiteral("WebBrowser1"));
    auto* panel = form->findChild<BrowserControl*>(QStringLiteral("WebBrowser2"));
    QVERIFY(content);
    QCOMPARE(content->parentWidget(), form->clientArea());
    QCOMPARE(content->geometry(), pane);
    QCOMPARE(browsers.size(), ad.isNull() ? 1 : 2);
    if (ad.isNull())
        return;
    QVERIFY(panel);
    QCOMPARE(panel->geometry(), ad);
    const QObjectList& order = form->clientArea()->children();
    QVERIFY2(order.indexOf(panel) > order.indexOf(content), "the ad panel lies above the content pane");
}

void TestWebWindows::loadOrder_data()
{
    QTest::addColumn<QString>("window");
    for (const char* w : {"Form3", "Form4", "Form6", "Form7", "Form8"})
        QTest::newRow(w) << QString::fromLatin1(w);
}

void TestWebWindows::loadOrder()
{
    QFETCH(QString, window);
    Form* form = WindowRegistry::instance().show(window);
    QVERIFY(form);
    QCOMPARE(m_fx->pages.allLoads, *loadsOf(window));
    // Each pane shows what it was asked for last: the ad panel the ad page.
    if (auto* panel = form->findChild<BrowserControl*>(QStringLiteral("WebBrowser2")))
        QCOMPARE(panel->lastNavigated(), url(content("/ad/cntvad.html")));
}

void TestWebWindows::menuBars_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QStringList>("bar");
    QTest::addColumn<QString>("help");
    QTest::addColumn<QStringList>("helpItems");
    const QStringList helpItems = {"gywm", "orvx", "tao", "zorbik"};
    QTest::newRow("Form3") << "Form3" << QStringList{"cntv", "vqtvzb", "vqtvzbw", "kugou", "vqchat", "bz"} << "bz"
                           << QStringList{"gywm", "orvx", "taobao", "vqw"};
    QTest::newRow("Form4") << "Form4" << QStringList{"cntv", "vqtvzb", "vqtvzbw", "kugou", "vqchat", "bz"} << "bz"
                           << QStringList{"gywm", "orvx", "taobao", "vqw"};
    QTest::newRow("Form6") << "Form6" << QStringList{"vqtv", "cntv", "vqyg", "eitv", "vqfm", "help"} << "help"
                           << helpItems;
    QTest::newRow("Form7") << "Form7" << QStringList{"vqtv", "cntv", "vqygy", "vqfm", "vqchat", "help"} << "help"
                           << helpItems;
    QTest::newRow("Form8") << "Form8" << QStringList{"vqtv", "cntv", "vqyg", "vqfm", "vqchat", "help"} << "help"
                           << helpItems;
}

void TestWebWindows::menuBars()
{
    QFETCH(QString, window);
    QFETCH(QStringList, bar);
    QFETCH(QString, help);
    QFETCH(QStringList, helpItems);
    Form* form = WindowRegistry::instance().show(window);
    QVERIFY(form);
    QCOMPARE(barNames(form), bar);
    const QMenu* menu = form->findChild<QMenu*>(help);
    QVERIFY(menu);
    QCOMPARE(menu->title(), QStringLiteral("帮助"));
    QStringList items;
    walk(menu, items);
    QCOMPARE(items, helpItems);
}

void TestWebWindows::menuItems_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("verb");
    QTest::addColumn<QString>("target");

    const QString home = weblinks::homePage();
    const QString bargain = weblinks::bargainPage();
    const QString product = weblinks::productSite();
    const QString movies = weblinks::movieSite();
    struct Row
    {
        const char* window;
        const char* item;
        const char* caption;
        const char* verb;
        QString target;
    };
    const QList<Row> rows = {
        {"Form3", "vqtvzb", "Lumivo电视直播", "switch", "Form1"},
        {"Form3", "vqtvzbw", "Lumivo影剧院", "switch", "Form4"},
        {"Form3", "kugou", "酷狗音乐", "switch", "Form7"},
        {"Form3", "vqchat", "Lumivo聊天室", "open", "Form6"},
        {"Form3", "gywm", "关于我们", "open", "Form2"},
        {"Form3", "orvx", "Orvalis", "link", home},
        {"Form3", "taobao", "淘宝特价", "link", bargain},
        {"Form3", "vqw", "LumivoTV网", "link", product},

        {"Form4", "cntv", "高清电视直播", "switch", "Form3"},
        {"Form4", "vqtvzb", "Lumivo电视直播", "switch", "Form1"},
        {"Form4", "vqtvzbw", "Lumivo影剧院", "reload", "Form4"},
        {"Form4", "kugou", "酷狗音乐", "switch", "Form7"},
        {"Form4", "vqchat", "Lumivo聊天室", "open", "Form6"},
        {"Form4", "gywm", "关于我们", "open", "Form2"},
        {"Form4", "orvx", "Orvalis", "link", home},
        {"Form4", "taobao", "淘宝特价", "link", bargain},
        {"Form4", "vqw", "LumivoTV网", "link", product},

        // The chat room never closes itself; its theatre item leads to the web-TV window.
        {"Form6", "vqtv", "Lumivo电视直播", "open", "Form1"},
        {"Form6", "cntv", "CNTV直播", "open", "Form3"},
        {"Form6", "vqyg", "Lumivo影剧院", "open", "Form3"},
        {"Form6", "eitv", "易视直播", "open", "Form8"},
        {"Form6", "vqfm", "Lumivo收音机", "open", "Form5"},
        {"Form6", "gywm", "关于我们", "open", "Form2"},
        {"Form6", "orvx", "Orvalis", "link", home},
        {"Form6", "tao", "淘宝特价", "link", bargain},
        {"Form6", "zorbik", "Kivamo网", "link", movies},

        {"Form7", "vqtv", "Lumivo电视直播", "switch", "Form1"},
        {"Form7", "cntv", "CNTV直播", "switch", "Form3"},
        {"Form7", "vqygy", "Lumivo影剧院", "switch", "Form4"},
        {"Form7", "vqfm", "Lumivo收音机", "switch", "Form5"},
        {"Form7", "vqchat", "Lumivo聊天室", "open", "Form6"},
        {"Form7", "gywm", "关于我们", "open", "Form2"},
        {"Form7", "orvx", "Orvalis", "link", home},
        {"Form7", "tao", "淘宝特价", "link", bargain},
        {"Form7", "zorbik", "Kivamo网", "link", movies},

        {"Form8", "vqtv", "Lumivo电视直播", "switch", "Form1"},
        {"Form8", "cntv", "CNTV直播", "switch", "Form3"},
        {"Form8", "vqyg", "Lumivo影剧院", "switch", "Form4"},
        {"Form8", "vqfm", "Lumivo收音机", "switch", "Form5"},
        {"Form8", "vqchat", "Lumivo聊天室", "open", "Form6"},
        {"Form8", "gywm", "关于我们", "open", "Form2"},
        {"Form8", "orvx", "Orvalis", "link", home},
        {"Form8", "tao", "淘宝特价", "link", bargain},
        {"Form8", "zorbik", "Kivamo网", "link", movies},
    };
    for (const Row& r : rows)
        QTest::addRow("%s.%s", r.window, r.item) << QString::fromLatin1(r.window) << QString::fromLatin1(r.item)
                                                 << QString::fromUtf8(r.caption) << QString::fromLatin1(r.verb)
                                                 << r.target;
}

void TestWebWindows::menuItems()
{
    QFETCH(QString, window);
    QFETCH(QString, item);
    QFETCH(QString, caption);
    QFETCH(QString, verb);
    QFETCH(QString, target);
    WindowRegistry& registry = WindowRegistry::instance();
    Form* source = registry.show(window);
    QVERIFY(source);
    QAction* action = menuItem(source, item);
    QVERIFY2(action, qPrintable(item));
    QCOMPARE(action->text(), caption);
    QVERIFY(!action->menu()); // a command, not a sub-menu title

    m_fx->pages.allLoads.clear();
    action->trigger();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    const bool windowVerb = verb == u"switch" || verb == u"open";
    const bool targetBuilt = windowVerb && registry.isRegistered(target);
    const bool sourceStays = verb != u"switch" || !targetBuilt; // an unbuilt target leaves all as it was
    QCOMPARE(registry.find(window) == source, sourceStays);
    if (sourceStays)
        QVERIFY(source->isVisible());
    if (targetBuilt) {
        Form* shown = registry.find(target);
        QVERIFY2(shown && shown->isVisible(), qPrintable(target + " is not shown"));
        if (const auto loads = loadsOf(target))
            QCOMPARE(m_fx->pages.allLoads, *loads);
    } else if (verb == u"reload") {
        QCOMPARE(m_fx->pages.allLoads, QList<QUrl>{url(QString::fromUtf8(buildvalues::PortalServer) + "/3tv/")});
    } else {
        QCOMPARE(m_fx->pages.allLoads, QList<QUrl>{});
    }
    QCOMPARE(m_fx->host.opened, verb == u"link" ? QList<QUrl>{QUrl(target)} : QList<QUrl>{});
    QCOMPARE(registry.loadedCount(), 1 + (targetBuilt && verb == u"open" ? 1 : 0));
    QCOMPARE(m_fx->programEnds, 0);
    QVERIFY(m_fx->host.boxes.isEmpty());
}

void TestWebWindows::showingALoadedWindowKeepsItsPages()
{
    WindowRegistry& registry = WindowRegistry::instance();
    Form* chat = registry.show(QStringLiteral("Form6"));
    Form* music = registry.show(QStringLiteral("Form7"));
    QVERIFY(chat && music);
    m_fx->pages.allLoads.clear();
    // The music box opens the chat room that is already there, then switches to the web-TV window.
    menuItem(music, QStringLiteral("vqchat"))->trigger();
    QCOMPARE(registry.find(QStringLiteral("Form6")), chat);
    QCOMPARE(m_fx->pages.allLoads, QList<QUrl>{});
    menuItem(music, QStringLiteral("cntv"))->trigger();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!registry.find(QStringLiteral("Form7")));
    auto* tv = qobject_cast<Form3*>(registry.find(QStringLiteral("Form3")));
    QVERIFY(tv);
    QCOMPARE(m_fx->pages.allLoads, *loadsOf(QStringLiteral("Form3")));
    // The chat room's own web-TV items find it loaded and leave its channel as it is.
    tv->cntv_Click(QStringLiteral("hbws"));
    const QUrl hubei = tv->WebBrowser1->lastNavigated();
    m_fx->pages.allLoads.clear();
    menuItem(chat, QStringLiteral("vqyg"))->trigger();
    menuItem(chat, QStringLiteral("cntv"))->trigger();
    QCOMPARE(registry.find(QStringLiteral("Form3")), tv);
    QCOMPARE(tv->WebBrowser1->lastNavigated(), hubei);
    QCOMPARE(m_fx->pages.allLoads, QList<QUrl>{});
    QCOMPARE(registry.loadedCount(), 2);
}

void TestWebWindows::portalReloadStaysOpen()
{
    WindowRegistry& registry = WindowRegistry::instance();
    Form* portal = registry.show(QStringLiteral("Form4"));
    QVERIFY(portal);
    for (int i = 0; i < 2; ++i)
        menuItem(portal, QStringLiteral("vqtvzbw"))->trigger();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    const QUrl page = *loadsOf(QStringLiteral("Form4"))->begin();
    QCOMPARE(m_fx->pages.allLoads, (QList<QUrl>{page, page, page}));
    QCOMPARE(registry.find(QStringLiteral("Form4")), portal);
    QVERIFY(portal->isVisible());
}

void TestWebWindows::channelMenuFollowsTheTable()
{
    auto* tv = qobject_cast<Form3*>(WindowRegistry::instance().show(QStringLiteral("Form3")));
    QVERIFY(tv);
    const MenuTable& table = WebTvChannelTable::table();
    QStringList expected;
    for (const MenuRow& row : table.rows())
        if (!row.parentKey.isEmpty())
            expected << row.key;
    const QMenu* cntv = tv->findChild<QMenu*>(QStringLiteral("cntv"));
    QVERIFY(cntv);
    QCOMPARE(cntv->title(), QStringLiteral("CNTV电视直播"));
    QStringList shown;
    walk(cntv, shown);
    QCOMPARE(shown, expected);
    // Captions and nesting, entry by entry.
    for (const MenuRow& row : table.rows()) {
        const QAction* a = menuItem(tv, row.key);
        QVERIFY2(a, qPrintable(row.key));
        QCOMPARE(a->text(), row.caption);
        if (row.parentKey.isEmpty())
            continue;
        const QMenu* parent = tv->findChild<QMenu*>(row.parentKey);
        QVERIFY2(parent && parent->actions().contains(a), qPrintable(row.key));
    }
}

void TestWebWindows::channelItemsLoadTheirPlayerPage()
{
    auto* tv = qobject_cast<Form3*>(WindowRegistry::instance().show(QStringLiteral("Form3")));
    QVERIFY(tv);
    QHash<QString, int> schemes;
    int items = 0;
    for (const MenuRow& row : WebTvChannelTable::table().rows()) {
        if (row.isMenu)
            continue;
        ++items;
        schemes[row.value.section(QStringLiteral("://"), 0, 0)]++;
        m_fx->pages.allLoads.clear();
        menuItem(tv, row.key)->trigger();
        const QUrl expected = url(WebTvChannelTable::playerPageUrl(row.value));
        QCOMPARE(tv->WebBrowser1->lastNavigated(), expected);
        QCOMPARE(m_fx->pages.allLoads, QList<QUrl>{expected});
    }
    QCOMPARE(items, 136);
    QCOMPARE(schemes.value("pl"), 66);
    QCOMPARE(schemes.value("pa"), 52);
    QCOMPARE(schemes.value("pb"), 18);
    QCOMPARE(schemes.size(), 3);
    // The ad panel and the window stay as they were.
    QCOMPARE(tv->WebBrowser2->lastNavigated(), url(content("/ad/cntvad.html")));
    QCOMPARE(tv->windowTitle(), QStringLiteral("Lumivo网络电视5.5"));

    // A hyphen in the channel id, and the "://" of the value, reach the pane unescaped.
    menuItem(tv, QStringLiteral("sxws3"))->trigger();
    QCOMPARE(tv->WebBrowser1->lastNavigated().toString(QUrl::FullyEncoded),
             QString::fromUtf8(buildvalues::WebTvPageServer)
                 + "/cctv/cctvplayer.html?width=550&height=480&channel=pl://cctv_p2p_hdshan-xi&type=p2p");
    // CCTV-1 right after opening loads the same page again.
    m_fx->pages.allLoads.clear();
    menuItem(tv, QStringLiteral("cctv1"))->trigger();
    QCOMPARE(m_fx->pages.allLoads, QList<QUrl>{loadsOf(QStringLiteral("Form3"))->last()});
}

void TestWebWindows::form3Labels()
{
    auto* tv = qobject_cast<Form3*>(WindowRegistry::instance().show(QStringLiteral("Form3")));
    QVERIFY(tv);
    QCOMPARE(tv->Label1->text(), QStringLiteral("节目直播缓冲连接，大约十秒，请稍等... "));
    QCOMPARE(tv->Label1->pos(), QPoint(256, 480));
    QVERIFY(tv->Label1->font().bold());
    QCOMPARE(tv->Label1->font().pointSizeF(), 14.25);
    QCOMPARE(tv->Label1->palette().color(QPalette::WindowText), QColor(0, 255, 0));
    QCOMPARE(tv->Label1->size(), tv->Label1->sizeHint());
    QCOMPARE(tv->Label2->text(), QStringLiteral("在线联系QQ:") + QString::fromUtf8(buildvalues::SupportQq));
    QCOMPARE(tv->Label2->pos(), QPoint(16, 483));
    QVERIFY(!tv->Label2->font().bold());
    QCOMPARE(tv->Label2->font().pointSizeF(), 12.0);
    QCOMPARE(tv->Label2->size(), tv->Label2->sizeHint());
    for (const QLabel* l : {tv->Label1, tv->Label2})
        QVERIFY(!l->autoFillBackground());
}

void TestWebWindows::form8ResizesWithoutLayout()
{
    auto* live = qobject_cast<Form8*>(WindowRegistry::instance().show(QStringLiteral("Form8")));
    QVERIFY(live);
    const QRect pane = live->WebBrowser1->geometry();
    const QRect ad = live->WebBrowser2->geometry();
    for (const QSize size : {QSize(1400, 1000), QSize(300, 200)}) {
        live->resize(size);
        QCOMPARE(live->size(), size);
        QCOMPARE(live->WebBrowser1->geometry(), pane);
        QCOMPARE(live->WebBrowser2->geometry(), ad);
    }
    live->showMaximized();
    QCOMPARE(live->WebBrowser1->geometry(), pane);
}

QTEST_MAIN(TestWebWindows)
#include "tst_webwindows.moc"
