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
    void loopsAndFetchCap_data();
    void loopsAndFetchCap();
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

void TestPlaybackSession::loopsAndFetchCap_data()
{
    QTest::addColumn<Playlists>("playlists");
    QTest::addColumn<int>("fetches");

    QTest::newRow("self only") << Playlists{"/a.asx=/a.asx"} << 1;
    QTest::newRow("two in a ring") << Playlists{"/a.asx=/b.asx", "/b.asx=/a.asx"} << 2;
    Playlists chain;
    for (int i = 0; i < 20; ++i)
        chain << QStringLiteral("/p%1.asx=/p%2.asx").arg(i).arg(i + 1);
    chain[0].replace(QStringLiteral("/p0.asx="), QStringLiteral("/a.asx="));
    QTest::newRow("endless chain stops at the cap") << chain << PlaybackSession::MaxPlaylistFetches;
}

void TestPlaybackSession::loopsAndFetchCap()
{
    QFETCH(Playlists, playlists);
    QFETCH(int, fetches);
    serve(playlists);
    makeSession();
    m_session->setURL(m_server->url("/a.asx"));
    QTRY_COMPARE_WITH_TIMEOUT(m_session->stage(), PlaybackStage::Failed, 10000);
    QCOMPARE(m_session->failure(), PlaybackFailure::Loop);
    QCOMPARE(int(m_server->requests().size()), fetches);
    QVERIFY(m_engine->opened.isEmpty());
}

void TestPlaybackSession::reconnectCountsAndTiming_data()
{
    QTest::addColumn<int>("maxAttempts");
    QTest::addColumn<int>("delayMs");
    QTest::addColumn<int>("drops");        // drops before the user is told
    QTest::addColumn<bool>("stableResets"); // every run counts as stable

    QTest::newRow("two reopens") << 2 << 60 << 2 << false;
    QTest::newRow("none") << 0 << 60 << 0 << false;
    QTest::newRow("stable runs earn them anew") << 1 << 30 << 5 << true;
}

void TestPlaybackSession::reconnectCountsAndTiming()
{
    QFETCH(int, maxAttempts);
    QFETCH(int, delayMs);
    QFETCH(int, drops);
    QFETCH(bool, stableResets);
    makeSession();
    PlaybackSession::ReconnectPolicy policy;
    policy.maxAttempts = maxAttempts;
    policy.delayMs = delayMs;
    policy.stableRunMs = stableResets ? 0 : 60000;
    m_session->setReconnectPolicy(policy);

    const QUrl live("mms://s.invalid/live");
    m_session->setURL(live.toString());
    for (int drop = 1; drop <= drops; ++drop) {
        Q_EMIT m_engine->playing();
        QElapsedTimer since;
        since.start();
        Q_EMIT m_engine->ended(PlaybackFailure::Interrupted);
        QCOMPARE(m_session->stage(), PlaybackStage::Reconnecting);
        QTRY_COMPARE_WITH_TIMEOUT(m_engine->opened.size(), 1 + drop, 5000);
        QVERIFY2(since.elapsed() >= delayMs, "reopened before its delay");
        QCOMPARE(m_engine->opened.last(), live);
    }
    if (stableResets)
        return;
    Q_EMIT m_engine->playing();
    Q_EMIT m_engine->ended(PlaybackFailure::Interrupted);
    QCOMPARE(m_session->stage(), PlaybackStage::Failed);
    QCOMPARE(m_session->failure(), PlaybackFailure::Interrupted);
    QTest::qWait(delayMs * 3);
    QCOMPARE(m_engine->opened.size(), 1 + drops);
}

void TestPlaybackSession::stoppedOrReplacedStreamIsNeverReopened()
{
    makeSession();
    PlaybackSession::ReconnectPolicy policy;
    policy.delayMs = 50;
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
