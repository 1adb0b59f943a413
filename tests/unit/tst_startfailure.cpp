#include "Form1.h"
#include "PlaybackEngineFactory.h"
#include "WindowFixture.h"
#include "WindowRegistry.h"

#include <QTest>

#include <stdexcept>

// An engine that cannot start is a start failure the user is told of, never a crash.
class TestStartFailure : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void engineThatCannotStartIsReported();
};

void TestStartFailure::engineThatCannotStartIsReported()
{
    WindowFixture fixture;
    setPlaybackEngineFactory([]() -> std::unique_ptr<PlaybackEngine> {
        throw std::runtime_error("playback engine: cannot create a core");
    });
    Form1* form = WindowRegistry::instance().show<Form1>();
    setPlaybackEngineFactory({});
    QCOMPARE(form, nullptr);
    QCOMPARE(WindowRegistry::instance().loadedCount(), 0);
    QCOMPARE(fixture.host.startFailures, QStringList{QStringLiteral("playback engine: cannot create a core")});
    QVERIFY(fixture.host.programEnding());
}

QTEST_MAIN(TestStartFailure)
#include "tst_startfailure.moc"
