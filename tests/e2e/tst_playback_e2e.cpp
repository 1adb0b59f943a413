// The real engine end to end: FFmpeg makes a test stream, a local server serves it and a
// playlist, the media-player control plays it on the display.
#include "LocalHttpServer.h"
#include "MediaPlayer.h"
#include "MpvEngine.h"
#include "PlaybackEngineFactory.h"
#include "RecordingHost.h"
#include "TestStream.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray asxFor(const QStringList& refs)
{
    QByteArray out = "<asx version=\"3.0\"><title>CCTV-1</title><entry>";
    for (const QString& r : refs)
        out += "<ref href=\"" + r.toUtf8() + "\"/>";
    return out + "</entry></asx>";
}

// Share of pixels that are not near black: a test pattern is colourful, an empty player is black.
double litShare(const QImage& image)
{
    if (image.isNull())
        return 0;
    const QImage img = image.convertToFormat(QImage::Format_RGB32);
    qint64 lit = 0;
    for (int y = 0; y < img.height(); y += 4)
        for (int x = 0; x < img.width(); x += 4)
            lit += qGray(img.pixel(x, y)) > 40 ? 1 : 0;
    return double(lit) / double((img.height() / 4 + 1) * (img.width() / 4 + 1));
}

} // namespace

class TestPlaybackE2E : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void playlistPlaysOnScreen();
    void streamCutOffMidPlayIsReported();
    void refusedAndMissingStreamsAreReported_data();
    void refusedAndMissingStreamsAreReported();
    void mmsRollsOverAndHangingOpenIsStopped();
    void switchingAwayNeverWaitsForAStuckLookup();
    void serverBackWithinTheBudgetIsPickedUp();

private:
    MediaPlayer* makePlayer(int openTimeoutMs = 15000);

    QTemporaryDir m_dir;
    QByteArray m_stream;
    RecordingHost* m_host = nullptr;
    LocalHttpServer* m_server = nullptr;
    MediaPlayer* m_player = nullptr;
    QList<QUrl> m_attempts;
};

void TestPlaybackE2E::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_stream = makeTestStream(m_dir.path(), 6);
    QVERIFY2(!m_stream.isEmpty(), "ffmpeg could not make the test stream");
}

void TestPlaybackE2E::init()
{
    m_host = new RecordingHost;
    m_server = new LocalHttpServer;
    m_attempts.clear();
}

void TestPlaybackE2E::cleanup()
{
    delete m_player;
    m_player = nullptr;
    setPlaybackEngineFactory({});
    delete m_server;
    QVERIFY(m_host->boxes.isEmpty());
    delete m_host;
}

MediaPlayer* TestPlaybackE2E::makePlayer(int openTimeoutMs)
{
    setPlaybackEngineFactory([this, openTimeoutMs] {
        MpvEngine::Settings settings;
        settings.core.audioOutput = "null";
        settings.openTimeoutMs = openTimeoutMs;
        auto engine = std::make_unique<MpvEngine>(settings);
        connect(engine.get(), &MpvEngine::attemptStarted, this, [this](const QUrl& u) { m_attempts << u; });
        return engine;
    });
    MediaPlayer::Settings s;
    s.volume = 12;
    s.stretchToFit = true;
    s.enableContextMenu = false;
    m_player = new MediaPlayer(s);
    m_player->resize(576, 469);
    m_player->show();
    return m_player;
}

void TestPlaybackE2E::playlistPlaysOnScreen()
{
    m_server->route("/asx/cctv/cctv1.asx", LocalHttpServer::Response::data(asxFor({"/stream.ts"}), "video/x-ms-asf"));
    m_server->route("/stream.ts", LocalHttpServer::Response::data(m_stream, "video/mp2t"));
    makePlayer();
    QVERIFY(QTest::qWaitForWindowExposed(m_player));
    QSignalSpy frames(m_player, &MediaPlayer::firstFrame);
    m_player->setURL(m_server->url("/asx/cctv/cctv1.asx"));
    QVERIFY(frames.wait(20000));
    QTRY_COMPARE_WITH_TIMEOUT(m_player->stage(), PlaybackStage::Playing, 10000);
    QCOMPARE(m_player->statusText(), QStringLiteral("正在播放"));
    QTest::qWait(500);
    const QImage shot = m_player->grab().toImage();
    shot.save(QStringLiteral(LUMIVO_E2E_OUT "/player.png"));
    QVERIFY2(litShare(shot) > 0.3, "the player area shows no picture");
}

void TestPlaybackE2E::streamCutOffMidPlayIsReported()
{
    LocalHttpServer::Response cut = LocalHttpServer::Response::data(m_stream, "video/mp2t");
    cut.dropAfter = m_stream.size() / 2;
    cut.pieceSize = 32 * 1024;
    cut.pieceDelayMs = 20;
    m_server->route("/live.ts", cut);
    makePlayer();
    // Every reopen plays and is cut off again: a short budget tells the user soon.
    PlaybackSession::ReconnectPolicy policy;
    policy.delaysMs = {200};
    policy.budgetMs = 1000;
    m_player->session()->setReconnectPolicy(policy);
    m_player->setURL(m_server->url("/live.ts"));
    QTRY_COMPARE_WITH_TIMEOUT(m_player->stage(), PlaybackStage::Playing, 20000);
    QTRY_COMPARE_WITH_TIMEOUT(m_player->stage(), PlaybackStage::Failed, 30000);
    QCOMPARE(m_player->lastFailure(), PlaybackFailure::Interrupted);
}

void TestPlaybackE2E::refusedAndMissingStreamsAreReported_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("failure");
    QTest::newRow("http refused") << "http-refused" << int(PlaybackFailure::Refused);
    QTest::newRow("rtsp refused") << "rtsp-refused" << int(PlaybackFailure::Refused);
    QTest::newRow("stream 404 behind a playlist") << "404" << int(PlaybackFailure::NotFound);
    QTest::newRow("not a stream") << "garbage" << int(PlaybackFailure::NotAStream);
}

void TestPlaybackE2E::refusedAndMissingStreamsAreReported()
{
    QFETCH(QString, kind);
    QFETCH(int, failure);
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    const quint16 closed = probe.serverPort();
    probe.close();
    m_server->route("/missing.asx", LocalHttpServer::Response::data(asxFor({"/nothing.ts"}), "video/x-ms-asf"));
    m_server->route("/garbage.ts", LocalHttpServer::Response::generated(256 * 1024, "video/mp2t"));
    QString url;
    if (kind == u"http-refused")
        url = QStringLiteral("http://127.0.0.1:%1/x.ts").arg(closed);
    else if (kind == u"rtsp-refused")
        url = QStringLiteral("rtsp://127.0.0.1:%1/live").arg(closed);
    else if (kind == u"404")
        url = m_server->url("/missing.asx");
    else
        url = m_server->url("/garbage.ts");
    makePlayer();
    m_player->setURL(url);
    QTRY_COMPARE_WITH_TIMEOUT(m_player->stage(), PlaybackStage::Failed, 20000);
    QCOMPARE(int(m_player->lastFailure()), failure);
}

void TestPlaybackE2E::mmsRollsOverAndHangingOpenIsStopped()
{
    // A server that accepts and never answers: both MMS forms hang until the watchdog stops them.
    QTcpServer silent;
    QVERIFY(silent.listen(QHostAddress::LocalHost));
    QList<QTcpSocket*> held;
    connect(&silent, &QTcpServer::newConnection, this, [&] {
        while (QTcpSocket* s = silent.nextPendingConnection())
            held << s;
    });
    makePlayer(3000);
    const QString url = QStringLiteral("mms://127.0.0.1:%1/live").arg(silent.serverPort());
    QElapsedTimer clock;
    clock.start();
    m_player->setURL(url);
    QTRY_COMPARE_WITH_TIMEOUT(m_player->stage(), PlaybackStage::Failed, 20000);
    QCOMPARE(m_player->lastFailure(), PlaybackFailure::TimedOut);
    // One open budget for both forms, not one each.
    qInfo("both mms forms given up after %lld ms", clock.elapsed());
    QVERIFY(clock.elapsed() < 5000);
    QCOMPARE(m_attempts.size(), 2);
    QCOMPARE(m_attempts[0].scheme(), QStringLiteral("mms"));
    QCOMPARE(m_attempts[1].scheme(), QStringLiteral("mmst"));
    // The UI is still responsive and the next open works.
    m_server->route("/stream.ts", LocalHttpServer::Response::data(m_stream, "video/mp2t"));
    m_player->setURL(m_server->url("/stream.ts"));
    QTRY_COMPARE_WITH_TIMEOUT(m_player->stage(), PlaybackStage::Playing, 20000);
    qDeleteAll(held);
}

// A name server that never answers (the stuck-lookup shim) must not hold up the next channel.
void TestPlaybackE2E::switchingAwayNeverWaitsForAStuckLookup()
{
    if (!qEnvironmentVariable("LD_PRELOAD").contains(QLatin1String("stuck_lookup")))
        QSKIP("needs the stuck-lookup shim preloaded (ctest does that)");
    m_server->route("/stream.ts", LocalHttpServer::Response::data(m_stream, "video/mp2t"));
    makePlayer();
    for (const char* stuck : {"rtsp://tv.stuck.test/live", "mms://tv.stuck.test/live", "http://tv.stuck.test/a.asx"}) {
        m_player->setURL(QString::fromLatin1(stuck));
        QTest::qWait(300); // the lookup is under way
        QElapsedTimer clock;
        clock.start();
        m_player->setURL(m_server->url("/stream.ts"));
        QTRY_COMPARE_WITH_TIMEOUT(m_player->stage(), PlaybackStage::Playing, 20000);
        qInfo("%s -> next channel playing after %lld ms", stuck, clock.elapsed());
        QVERIFY2(clock.elapsed() < 5000, "the next channel waited for the stuck lookup");
    }
}

// A live stream whose server is away for a few seconds plays again once it is back.
void TestPlaybackE2E::serverBackWithinTheBudgetIsPickedUp()
{
    bool down = false;
    LocalHttpServer::Response live = LocalHttpServer::Response::data(m_stream, "video/mp2t");
    live.dropAfter = m_stream.size() / 3;
    live.pieceSize = 32 * 1024;
    live.pieceDelayMs = 20;
    LocalHttpServer::Response full = LocalHttpServer::Response::data(m_stream, "video/mp2t");
    full.pieceSize = 32 * 1024;
    full.pieceDelayMs = 20;
    int served = 0;
    m_server->route("/live.ts", [&](const LocalHttpServer::Request&) {
        ++served;
        if (down)
            return LocalHttpServer::Response::notFound();
        return served == 1 ? live : full;
    });
    makePlayer();
    m_player->setURL(m_server->url("/live.ts"));
    QTRY_COMPARE_WITH_TIMEOUT(m_player->stage(), PlaybackStage::Playing, 20000);
    down = true; // the drop comes, and the server stays away for 3 s
    QTRY_COMPARE_WITH_TIMEOUT(m_player->stage(), PlaybackStage::Reconnecting, 30000);
    QCOMPARE(m_player->statusText(), QStringLiteral("连接中断，正在重新连接…"));
    QElapsedTimer away;
    away.start();
    QTest::qWait(3000);
    QVERIFY2(m_player->stage() == PlaybackStage::Reconnecting, qPrintable(m_player->statusText()));
    down = false;
    QTRY_COMPARE_WITH_TIMEOUT(m_player->stage(), PlaybackStage::Playing, 20000);
    qInfo("playing again %lld ms after the drop, %d requests", away.elapsed(), served);
    QVERIFY(served >= 3);
}

QTEST_MAIN(TestPlaybackE2E)
#include "tst_playback_e2e.moc"
