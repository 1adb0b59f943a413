#include "RecordingHost.h"
#include "WindowRegistry.h"

#include <QTest>

namespace {
int g_loads = 0;

class WindowA : public Form
{
public:
    void Form_Load() override { ++g_loads; loadedValue = 1; }
    int loadedValue = 0;
};

class WindowB : public Form
{
public:
    void Form_Load() override { ++g_loads; }
};

class SelfUnloading : public Form
{
public:
    void Form_Load() override { unloadMe(); }
};

void settle() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }
} // namespace

class TestWindowRegistry : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void showLoadsOnceThenBringsForward();
    void unloadDiscardsAndReloadRunsLoadAgain();
    void processEndsOnlyWhenLastWindowGoes();
    void switchUnloadsThenShowsTarget();
    void windowManagerCloseUnloads();
    void loadThatUnloadsItselfNeverShows();

private:
    int m_ends = 0;
    RecordingHost* m_host = nullptr;
};

void TestWindowRegistry::init()
{
    g_loads = 0;
    m_ends = 0;
    m_host = new RecordingHost;
    WindowRegistry::instance().setOnLastUnload([this] { ++m_ends; });
}

void TestWindowRegistry::cleanup()
{
    WindowRegistry::instance().unloadAll();
    settle();
    WindowRegistry::instance().setOnLastUnload({});
    delete m_host;
}

void TestWindowRegistry::showLoadsOnceThenBringsForward()
{
    auto& reg = WindowRegistry::instance();
    WindowA* a = reg.show<WindowA>();
    QVERIFY(a && a->isVisible());
    QCOMPARE(g_loads, 1);
    a->loadedValue = 42;
    a->hide();
    QCOMPARE(reg.show<WindowA>(), a);
    QCOMPARE(g_loads, 1);
    QCOMPARE(a->loadedValue, 42); // brought forward unchanged
    QVERIFY(a->isVisible());
    QCOMPARE(reg.open<WindowA>(), a);
    QCOMPARE(reg.loadedCount(), 1);
}

void TestWindowRegistry::unloadDiscardsAndReloadRunsLoadAgain()
{
    auto& reg = WindowRegistry::instance();
    QPointer<WindowA> first = reg.show<WindowA>();
    reg.show<WindowB>();
    reg.unload(first);
    QVERIFY(!reg.find<WindowA>());
    settle();
    QVERIFY(first.isNull());
    WindowA* second = reg.show<WindowA>();
    QCOMPARE(g_loads, 3);
    QCOMPARE(second->loadedValue, 1);
}

void TestWindowRegistry::processEndsOnlyWhenLastWindowGoes()
{
    auto& reg = WindowRegistry::instance();
    WindowA* a = reg.show<WindowA>();
    WindowB* b = reg.show<WindowB>();
    b->hide(); // hidden but loaded keeps the process alive
    reg.unload(a);
    QCOMPARE(m_ends, 0);
    reg.unload(b);
    QCOMPARE(m_ends, 1);
    reg.unload(b); // unloading twice is harmless
    QCOMPARE(m_ends, 1);
}

void TestWindowRegistry::switchUnloadsThenShowsTarget()
{
    auto& reg = WindowRegistry::instance();
    WindowA* a = reg.show<WindowA>();
    WindowB* b = reg.switchFrom<WindowB>(a);
    QVERIFY(b && b->isVisible());
    QVERIFY(!reg.find<WindowA>());
    QCOMPARE(reg.loadedCount(), 1);
    QCOMPARE(m_ends, 0); // the window in between never counts as the last
}

void TestWindowRegistry::windowManagerCloseUnloads()
{
    auto& reg = WindowRegistry::instance();
    WindowA* a = reg.show<WindowA>();
    QVERIFY(a->close() == false || !reg.find<WindowA>());
    QVERIFY(!reg.find<WindowA>());
    QCOMPARE(m_ends, 1);
}

void TestWindowRegistry::loadThatUnloadsItselfNeverShows()
{
    QCOMPARE(WindowRegistry::instance().show<SelfUnloading>(), nullptr);
    QCOMPARE(m_ends, 1);
}

QTEST_MAIN(TestWindowRegistry)
#include "tst_windowregistry.moc"
