#include "FakePlaybackEngine.h"
#include "LocalHttpServer.h"
#include "PlaybackSession.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

namespace {

QByteArray asx(const QStringList& refs)
{
    QByteArray out = "<ASX version=\"3.0\"><Entry>";
    for (const QString& r : refs)
        out += "<Ref href=\"" + r.toUtf8() + "\"/>";
    return out + "</Entry></ASX>";
}

// Playlists as rows: "path=ref,ref,..." where a ref starting with "/" is another playlist on the
// local server.
using Playlists = QStringList;

} // namespace

class TestPlaybackSession : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void candidatesInOrder_data();
    void candidatesInOrder();
    void loopsAndCaps_data();
    void loopsAndCaps();
    void reconnectCountsAndTiming_data();
    void reconnectCountsAndTiming();
    void stoppedOrReplacedStreamIsNeverReopened();
    void replacedUrlNeverWins();
    void failureTexts_data();
    void failureTexts();

private:
    PlaybackSession* makeSession();
    void serve(const Playlists& playlists);

    LocalHttpServer* m_server = nullptr;
    FakePlaybackEngine* m_engine = nullptr;
    PlaybackSession* m_session = nullptr;
};

void TestPlaybackSession::init()
{
    m_server = new LocalHttpServer;
    QVERIFY(m_server->isListening());
}

void TestPlaybackSession::cleanup()
{
    delete m_session;
    m_session = nullptr;
    m_engine = nullptr;
    delete m_server;
}

PlaybackSession* TestPlaybackSession::makeSession()
{
    auto engine = std::make_unique<FakePlaybackEngine>();
    m_engine = engine.get();
    m_session = new PlaybackSession(std::move(engine));
    PlaylistResolver::Limits limits;
    limits.timeoutMs = 1500;
    m_session->setResolverLimits(limits);
    return m_session;
}

void TestPlaybackSession::serve(const Playlists& playlists)
{
    for (const QString& row : playlists) {
        const QString path = row.section(u'=', 0, 0);
        QStringList refs = row.section(u'=', 1).split(u',', Qt::SkipEmptyParts);
        for (QString& ref : refs)
            if (ref.startsWith(u'/'))
                ref = m_server->url(ref.toUtf8());
        m_server->route(path.toUtf8(), LocalHttpServer::Response::data(asx(refs), "video/x-ms-asf"));
    }
}

void TestPlaybackSession::candidatesInOrder_data()
{
    QTest::addColumn<Playlists>("playlists");
    QTest::addColumn<QStringList>("expected"); // streams opened, each failing in turn

    QTest::newRow("refs in order") << Playlists{"/a.asx=mms://s.invalid/1,rtsp://s.invalid/2"}
                                   << QStringList{"mms://s.invalid/1", "rtsp://s.invalid/2"};
    QTest::newRow("nested playlist in its place")
        << Playlists{"/a.asx=/b.asx,rtsp://s.invalid/3", "/b.asx=mms://s.invalid/1,mms://s.invalid/2"}
        << QStringList{"mms://s.invalid/1", "mms://s.invalid/2", "rtsp://s.invalid/3"};
    QTest::newRow("self reference skipped") << Playlists{"/a.asx=/a.asx,rtsp://s.invalid/1"}
                                            << QStringList{"rtsp://s.invalid/1"};
    QTest::newRow("repeated playlist fetched once")
        << Playlists{"/a.asx=/b.asx,/b.asx,rtsp://s.invalid/9", "/b.asx=mms://s.invalid/1"}
        << QStringList{"mms://s.invalid/1", "rtsp://s.invalid/9"};
}

void TestPlaybackSession::candidatesInOrder()
{
    QFETCH(Playlists, playlists);
    QFETCH(QStringList, expected);
    serve(playlists);
    makeSession();
    m_session->setURL(m_server->url("/a.asx"));
    for (int i = 0; i < expected.size(); ++i) {
        QTRY_COMPARE_WITH_TIMEOUT(m_engine->opened.size(), i + 1, 5000);
        QCOMPARE(m_engine->opened[i], QUrl(expected[i]));
        QCOMPARE(m_session->currentStream(), QUrl(expected[i]));
        Q_EMIT m_engine->openFailed(PlaybackFailure::Refused, {});
    }
    QCOMPARE(m_session->stage(), PlaybackStage::Failed);
    QCOMPARE(m_session->failure(), PlaybackFailure::Refused); // the last real failure
    QCOMPARE(m_engine->opened.size(), expected.size());
}

void TestPlaybackSession::loopsAndCaps_data()
{
    QTest::addColumn<Playlists>("playlists");
    QTest::addColumn<int>("openBudgetMs");
    QTest::addColumn<bool>("enginesFail"); // false: every open hangs
    QTest::addColumn<int>("failure");
    QTest::addColumn<int>("fetches");
    QTest::addColumn<int>("opens");

    const int loop = int(PlaybackFailure::Loop);
    QTest::newRow("self only") << Playlists{"/a.asx=/a.asx"} << 30000 << true << loop << 1 << 0;
    QTest::newRow("two in a ring") << Playlists{"/a.asx=/b.asx", "/b.asx=/a.asx"} << 30000 << true << loop << 2 << 0;
    Playlists chain;
    for (int i = 0; i < 20; ++i)
        chain << QStringLiteral("/p%1.asx=/p%2.asx").arg(i).arg(i + 1);
    chain[0].replace(QStringLiteral("/p0.asx="), QStringLiteral("/a.asx="));
    QTest::newRow("endless chain stops at the cap")
        << chain << 30000 << true << int(PlaybackFailure::TooManyAddresses) << PlaybackSession::MaxAddressesTried << 0;

    // Distinct refused mirrors are no loop: the last real failure is told once the cap is reached.
    QStringList mirrors;
    for (int i = 0; i < 20; ++i)
        mirrors << QStringLiteral("http://127.0.0.1:1/m%1.ts").arg(i);
    QTest::newRow("refused mirrors, no loop")
        << Playlists{"/a.asx=" + mirrors.join(u',') + ",/ok.asx", "/ok.asx=rtsp://s.invalid/ok"} << 30000 << true
        << int(PlaybackFailure::Refused) << 1 << 0;
    QStringList dead;
    for (int i = 0; i < 25500; ++i)
        dead << QStringLiteral("rtsp://d.invalid/%1").arg(i);
    QTest::newRow("25500 dead entries stop at the cap") << Playlists{"/a.asx=" + dead.join(u',')} << 30000 << true
                                                       << int(PlaybackFailure::Refused) << 1
                                                       << PlaybackSession::MaxAddressesTried - 1;
    QTest::newRow("hanging entries stop at the time budget")
        << Playlists{"/a.asx=" + dead.mid(0, 40).join(u',')} << 400 << false << int(PlaybackFailure::TimedOut) << 1 << 1;
}

void TestPlaybackSession::loopsAndCaps()
{
    QFETCH(Playlists, playlists);
    QFETCH(int, openBudgetMs);
    QFETCH(bool, enginesFail);
    QFETCH(int, failure);
    QFETCH(int, fetches);
    QFETCH(int, opens);
    serve(playlists);
    makeSession();
    if (enginesFail)
        m_engine->failEveryOpen = PlaybackFailure::Refused;
    m_session->setOpenBudgetMs(openBudgetMs);
    QElapsedTimer clock;
    clock.start();
    m_session->setURL(m_server->url("/a.asx"));
    QTRY_COMPARE_WITH_TIMEOUT(m_session->stage(), PlaybackStage::Failed, 10000);
    QCOMPARE(int(m_session->failure()), failure);
    QCOMPARE(int(m_server->requests().size()), fetches);
    QCOMPARE(int(m_engine->opened.size()), opens);
    if (!enginesFail)
        QVERIFY(clock.elapsed() >= openBudgetMs);
    QVERIFY(m_engine->stops > 0); // nothing is left connecting behind the message
    QTest::qWait(100);
    QCOMPARE(int(m_engine->opened.size()), opens);
}

void TestPlaybackSession::reconnectCountsAndTiming_data()
{
    QTest::addColumn<QList<int>>("delays");
    QTest::addColumn<int>("budgetMs");
    QTest::addColumn<int>("failedReopens"); // reopens that meet a dead server; -1: it never comes back
    QTest::addColumn<bool>("stableRuns");   // every reopen plays long enough to earn a full budget
    QTest::addColumn<int>("reopens");       // reopens in all
    QTest::addColumn<bool>("givesUp");

    // Reopens at 100, 300, 700, 1100 ms; the next (1500 ms) would be over the budget.
    QTest::newRow("server down: backoff until the budget is spent") << QList<int>{100, 200, 400} << 1300 << -1 << false << 4 << true;
    QTest::newRow("server back after two failed reopens") << QList<int>{40, 80, 160} << 5000 << 2 << false << 3 << false;
    QTest::newRow("no reopens") << QList<int>{} << 500 << -1 << false << 0 << true;
    // Without the reset the second reopen (1000 ms) would be over the budget.
    QTest::newRow("stable runs earn them anew") << QList<int>{30, 1000} << 200 << 0 << true << 5 << false;
}

void TestPlaybackSession::reconnectCountsAndTiming()
{
    QFETCH(QList<int>, delays);
    QFETCH(int, budgetMs);
    QFETCH(int, failedReopens);
    QFETCH(bool, stableRuns);
    QFETCH(int, reopens);
    QFETCH(bool, givesUp);
    makeSession();
    PlaybackSession::ReconnectPolicy policy;
    policy.delaysMs = delays;
    policy.budgetMs = budgetMs;
    policy.stableRunMs = stableRuns ? 0 : 60000;
    m_session->setReconnectPolicy(policy);

    const QUrl live("mms://s.invalid/live");
    m_session->setURL(live.toString());
    Q_EMIT m_engine->playing();
    QElapsedTimer since, total;
    since.start();
    total.start();
    Q_EMIT m_engine->ended(PlaybackFailure::Interrupted);
    int n = 0;
    while (m_session->stage() == PlaybackStage::Reconnecting && n < reopens) {
        ++n;
        QCOMPARE(m_session->statusText(), QStringLiteral("连接中断，正在重新连接…"));
        QTRY_COMPARE_WITH_TIMEOUT(m_engine->opened.size(), 1 + n, 5000);
        const int delay = stableRuns ? delays.first() : delays.value(n - 1, delays.last());
        QVERIFY2(since.elapsed() >= delay, "reopened before its delay");
        QCOMPARE(m_engine->opened.last(), live);
        since.start();
        if (stableRuns) {
            Q_EMIT m_engine->playing();
            Q_EMIT m_engine->ended(PlaybackFailure::Interrupted);
        } else if (failedReopens < 0 || n <= failedReopens) {
            Q_EMIT m_engine->openFailed(PlaybackFailure::Refused, {});
        } else {
            Q_EMIT m_engine->playing();
        }
    }
    if (givesUp) {
        // On a busy machine timers run late and the last reopen may not fit the budget any more.
        QVERIFY2(n == reopens || (n == reopens - 1 && total.elapsed() > budgetMs - delays.value(0) * 2),
                 qPrintable(QStringLiteral("%1 reopens").arg(n)));
        QCOMPARE(m_session->stage(), PlaybackStage::Failed);
        QCOMPARE(m_session->failure(), PlaybackFailure::Interrupted);
        QCOMPARE(m_session->statusText(), QStringLiteral("错误：播放中断，连接已断开"));
    } else {
        QCOMPARE(n, reopens);
        if (!stableRuns)
            QCOMPARE(m_session->stage(), PlaybackStage::Playing);
    }
    if (!stableRuns) {
        QTest::qWait(delays.isEmpty() ? 100 : delays.last() * 2);
        QCOMPARE(m_engine->opened.size(), 1 + n);
    }
}

void TestPlaybackSession::stoppedOrReplacedStreamIsNeverReopened()
{
    makeSession();
    PlaybackSession::ReconnectPolicy policy;
    policy.delaysMs = {50};
    m_session->setReconnectPolicy(policy);

    m_session->setURL(QStringLiteral("mms://s.invalid/a"));
    Q_EMIT m_engine->playing();
    Q_EMIT m_engine->ended(PlaybackFailure::Interrupted);
    m_session->stop(); // the user stops while a reopen is pending
    QCOMPARE(m_session->stage(), PlaybackStage::Stopped);

    m_session->setURL(QStringLiteral("mms://s.invalid/b"));
    Q_EMIT m_engine->playing();
    Q_EMIT m_engine->ended(PlaybackFailure::Interrupted);
    m_session->setURL(QStringLiteral("rtsp://s.invalid/c")); // replaced while a reopen is pending
    QTest::qWait(200);
    QCOMPARE(m_engine->opened, (QList<QUrl>{QUrl("mms://s.invalid/a"), QUrl("mms://s.invalid/b"), QUrl("rtsp://s.invalid/c")}));
    QCOMPARE(m_session->stage(), PlaybackStage::Connecting);

    // Replaced while a reopen meets a dead server: the failed reopen schedules nothing.
    Q_EMIT m_engine->playing();
    Q_EMIT m_engine->ended(PlaybackFailure::Interrupted);
    QTRY_COMPARE_WITH_TIMEOUT(m_engine->opened.size(), 4, 2000);
    m_session->setURL(QStringLiteral("rtsp://s.invalid/d"));
    Q_EMIT m_engine->openFailed(PlaybackFailure::Refused, {}); // about d now
    QTest::qWait(200);
    QCOMPARE(m_engine->opened.size(), 5);
    QCOMPARE(m_engine->opened.last(), QUrl("rtsp://s.invalid/d"));
}

void TestPlaybackSession::replacedUrlNeverWins()
{
    LocalHttpServer::Response slow = LocalHttpServer::Response::data(asx({"rtsp://s.invalid/old"}), "video/x-ms-asf");
    slow.pieceSize = 8;
    slow.pieceDelayMs = 20;
    m_server->route("/old.asx", slow);
    m_server->route("/new.asx", LocalHttpServer::Response::data(asx({"rtsp://s.invalid/new"}), "video/x-ms-asf"));
    makeSession();
    QSignalSpy stages(m_session, &PlaybackSession::stageChanged);
    m_session->setURL(m_server->url("/old.asx"));
    QTest::qWait(30);
    m_session->setURL(m_server->url("/new.asx"));
    QTRY_COMPARE_WITH_TIMEOUT(m_engine->opened.size(), 1, 5000);
    QTest::qWait(400); // the old answer would have arrived by now
    QCOMPARE(m_engine->opened, QList<QUrl>{QUrl("rtsp://s.invalid/new")});
    QCOMPARE(m_session->URL(), m_server->url("/new.asx"));
}

void TestPlaybackSession::failureTexts_data()
{
    QTest::addColumn<int>("failure");
    QTest::addColumn<QString>("text");
    QTest::newRow("host") << int(PlaybackFailure::HostNotFound) << QStringLiteral("错误：找不到服务器");
    QTest::newRow("refused") << int(PlaybackFailure::Refused) << QStringLiteral("错误：服务器拒绝连接");
    QTest::newRow("404") << int(PlaybackFailure::NotFound) << QStringLiteral("错误：找不到该节目");
    QTest::newRow("not a stream") << int(PlaybackFailure::NotAStream) << QStringLiteral("错误：不是可播放的媒体流");
    QTest::newRow("timeout") << int(PlaybackFailure::TimedOut) << QStringLiteral("错误：连接超时");
    QTest::newRow("certificate") << int(PlaybackFailure::Certificate) << QStringLiteral("错误：服务器证书无效，连接不安全");
    QTest::newRow("other") << int(PlaybackFailure::Other) << QStringLiteral("错误：无法播放");
}

void TestPlaybackSession::failureTexts()
{
    QFETCH(int, failure);
    QFETCH(QString, text);
    makeSession();
    m_session->setURL(QStringLiteral("rtsp://s.invalid/live"));
    QCOMPARE(m_session->statusText(), QStringLiteral("正在连接…"));
    Q_EMIT m_engine->openFailed(PlaybackFailure(failure), {});
    QCOMPARE(m_session->stage(), PlaybackStage::Failed);
    QCOMPARE(m_session->statusText(), text);
    // The next URL starts afresh.
    m_session->setURL(QStringLiteral("rtsp://s.invalid/next"));
    QCOMPARE(m_session->failure(), PlaybackFailure::None);
    QCOMPARE(m_session->statusText(), QStringLiteral("正在连接…"));
}

QTEST_GUILESS_MAIN(TestPlaybackSession)
#include "tst_playbacksession.moc"
