#include "LinkLabel.h"
#include "MenuBuilder.h"
#include "WindowFixture.h"
#include "WindowRegistry.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

namespace {

using menus::ActionRow;
using menus::MenuRow;
using menus::Verb;

class Home : public Form
{
public:
    Home()
    {
        bar = new QMenuBar(this);
        label = new LinkLabel(QStringLiteral("去别处"), this);
        label->setObjectName(QStringLiteral("Label1"));
        label->resize(80, 20);
    }
    void Form_Load() override { ++loads; }
    void reloadContent() override { ++reloads; }
    QMenuBar* bar;
    LinkLabel* label;
    int loads = 0;
    int reloads = 0;
};

class Other : public Form
{
};

const QList<MenuRow> kRows{
    {QStringLiteral("MnuFile"), QStringLiteral("选项(&F)"), {}},
    {QStringLiteral("MnuOpen"), QStringLiteral("打开(&O)"), QStringLiteral("MnuFile"), QKeySequence(QStringLiteral("Ctrl+O"))},
    {QStringLiteral("s1"), QStringLiteral("-"), QStringLiteral("MnuFile")},
    {QStringLiteral("MnuSub"), QStringLiteral("更多"), QStringLiteral("MnuFile")},
    {QStringLiteral("MnuDeep"), QStringLiteral("深处"), QStringLiteral("MnuSub")},
    {QStringLiteral("zxh"), QStringLiteral("最小化"), {}},
};

} // namespace

class TestMenuBuilder : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void rowsBecomeNamedMenus();
    void withoutBarTitlesArePopUps();
    void verbs_data();
    void verbs();
    void unknownNamesAreReportedNotCrashed();
    void clientAreaLiesBelowTheMenuBar();

private:
    WindowFixture* m_fixture = nullptr;
};

void TestMenuBuilder::init()
{
    m_fixture = new WindowFixture;
    WindowRegistry::instance().registerWindow<Home>(QStringLiteral("Home"));
    WindowRegistry::instance().registerWindow<Other>(QStringLiteral("Other"));
}

void TestMenuBuilder::cleanup() { delete m_fixture; }

void TestMenuBuilder::rowsBecomeNamedMenus()
{
    Home home;
    const menus::Menus built = menus::build(&home, home.bar, kRows);
    QMenu* file = built.menu(QStringLiteral("MnuFile"));
    QVERIFY(file);
    QCOMPARE(file->objectName(), QStringLiteral("MnuFile"));
    QCOMPARE(file->title(), QStringLiteral("选项(&F)"));
    QCOMPARE(built.titles(), QList<QMenu*>{file});
    // The bar holds the file menu and the command without a sub-menu, in row order.
    const QList<QAction*> onBar = home.bar->actions();
    QCOMPARE(onBar.size(), 2);
    QCOMPARE(onBar[0], file->menuAction());
    QCOMPARE(onBar[1]->objectName(), QStringLiteral("zxh"));
    QCOMPARE(onBar[1]->menu(), nullptr);

    const QList<QAction*> items = file->actions();
    QCOMPARE(items.size(), 3);
    QCOMPARE(items[0]->objectName(), QStringLiteral("MnuOpen"));
    QCOMPARE(items[0]->text(), QStringLiteral("打开(&O)"));
    QCOMPARE(items[0]->shortcut(), QKeySequence(QStringLiteral("Ctrl+O")));
    QVERIFY(items[1]->isSeparator());
    QCOMPARE(items[1]->objectName(), QStringLiteral("s1"));
    QCOMPARE(items[2]->menu(), built.menu(QStringLiteral("MnuSub")));
    QCOMPARE(built.menu(QStringLiteral("MnuSub"))->actions().value(0), built.action(QStringLiteral("MnuDeep")));
    // Found by name from the window, as tests and handlers look for them.
    QCOMPARE(home.findChild<QAction*>(QStringLiteral("MnuDeep")), built.action(QStringLiteral("MnuDeep")));
}

void TestMenuBuilder::withoutBarTitlesArePopUps()
{
    Home home;
    const menus::Menus built = menus::build(&home, nullptr, kRows.mid(0, 5));
    QMenu* file = built.menu(QStringLiteral("MnuFile"));
    QVERIFY(file);
    QVERIFY(home.bar->actions().isEmpty());
    // The shortcut works while every menu is closed.
    QVERIFY(home.actions().contains(built.action(QStringLiteral("MnuOpen"))));
}

void TestMenuBuilder::verbs_data()
{
    QTest::addColumn<int>("verb");
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("homeLoaded");
    QTest::addColumn<bool>("otherLoaded");
    QTest::addColumn<QString>("linkOpened");
    QTest::addColumn<int>("reloads");

    QTest::newRow("switch") << int(Verb::Switch) << "Other" << false << true << QString() << 0;
    QTest::newRow("open") << int(Verb::Open) << "Other" << true << true << QString() << 0;
    QTest::newRow("reload") << int(Verb::Reload) << QString() << true << false << QString() << 1;
    QTest::newRow("link") << int(Verb::Link) << "http://deals.example.invalid/" << true << false
                          << "http://deals.example.invalid/" << 0;
    QTest::newRow("switch to a window not built") << int(Verb::Switch) << "Form99" << true << false << QString() << 0;
}

void TestMenuBuilder::verbs()
{
    QFETCH(int, verb);
    QFETCH(QString, target);
    QFETCH(bool, homeLoaded);
    QFETCH(bool, otherLoaded);
    QFETCH(QString, linkOpened);
    QFETCH(int, reloads);

    WindowRegistry& registry = WindowRegistry::instance();
    auto* home = registry.show<Home>();
    QVERIFY(home);
    const menus::Menus built = menus::build(home, home->bar, kRows);
    const QList<ActionRow> actions{{QStringLiteral("MnuDeep"), Verb(verb), target},
                                   {QStringLiteral("Label1"), Verb(verb), target}};
    QCOMPARE(menus::bind(home, built, actions), QStringList());

    // Once through the menu item, once through the link label: both do the same.
    for (int way = 0; way < 2; ++way) {
        if (way == 1) {
            if (!homeLoaded)
                break; // the window went with the first click
            if (Other* other = registry.find<Other>())
                registry.unload(other, false);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QTest::mouseClick(home->label, Qt::LeftButton);
        } else {
            built.action(QStringLiteral("MnuDeep"))->trigger();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(registry.find<Home>() != nullptr, homeLoaded);
        QCOMPARE(registry.find<Other>() != nullptr, otherLoaded);
        if (homeLoaded)
            QCOMPARE(home->reloads, reloads * (way + 1));
    }
    QCOMPARE(m_fixture->host.opened.isEmpty(), linkOpened.isEmpty());
    if (!linkOpened.isEmpty())
        QCOMPARE(m_fixture->host.opened.first(), QUrl(linkOpened));
    QVERIFY(m_fixture->host.boxes.isEmpty());
}

void TestMenuBuilder::unknownNamesAreReportedNotCrashed()
{
    Home home;
    int handled = 0;
    const menus::Menus built = menus::build(&home, home.bar, kRows);
    const QStringList missing = menus::bind(&home, built,
                                            {{QStringLiteral("nothing"), Verb::Open, QStringLiteral("Other")},
                                             {QStringLiteral("zxh"), Verb::Handler, {}, [&handled] { ++handled; }}});
    QCOMPARE(missing, QStringList{QStringLiteral("nothing")});
    built.action(QStringLiteral("zxh"))->trigger();
    QCOMPARE(handled, 1);
    // A link whose browser cannot start tells the user and keeps the window.
    m_fixture->host.openSucceeds = false;
    menus::run(&home, {QStringLiteral("x"), Verb::Link, QStringLiteral("http://deals.example.invalid/")});
    QCOMPARE(m_fixture->host.boxes.size(), 1);
    QVERIFY(m_fixture->host.boxes[0].text.contains(QStringLiteral("http://deals.example.invalid/")));
}

void TestMenuBuilder::clientAreaLiesBelowTheMenuBar()
{
    Other form;
    QMenuBar* bar = form.addMenuBar();
    menus::build(&form, bar, kRows);
    form.setFixedBorder(false, false);
    form.setClientSize(QSize(301, 333));
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QWidget* client = form.clientArea();
    QVERIFY(client != &form);
    QCOMPARE(client->size(), QSize(301, 333));
    QCOMPARE(client->y(), bar->height());
    QCOMPARE(form.minimumSize(), form.maximumSize()); // a fixed border
    QVERIFY(!(form.windowFlags() & Qt::WindowMinMaxButtonsHint));
}

QTEST_MAIN(TestMenuBuilder)
#include "tst_menubuilder.moc"
