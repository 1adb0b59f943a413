#include "FakeEngines.h"
#include "LocalHttpServer.h"
#include "MediaPlayer.h"
#include "MpvEngine.h"
#include "RecordingHost.h"

#include <QLabel>
#include <QSignalSpy>
#include <QSlider>
#include <QTcpServer>
#include <QTest>

namespace {

MediaPlayer::Settings miniSettings()
{
    MediaPlayer::Settings s;
    s.autoStart = true;
    s.uiMode = MediaPlayer::UiMode::Mini;
    s.volume = 12;
    s.stretchToFit = true;
    s.enableContextMenu = false;
    return s;
}

QByteArray asx(const QStringList& refs)
{
    QByteArray out = "<ASX version=\"3.0\"><Entry>";
    for (const QString& r : refs)
        out += "<Ref href=\"" + r.toUtf8() + "\"/>";
    return out + "</Entry></ASX>";
}

// A port with nobody listening on it.
quint16 closedPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    return probe.serverPort();
}

} // namespace

class TestMediaPlayer : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void settingsReachTheEngine();
    void stagesShowInStatusLine();
    void sameUrlOpensAnewAndNewUrlReplaces();
    void playlistCandidatesTriedInOrder();
    void badPlaylistsReportAndNextClickWorks_data();
    void badPlaylistsReportAndNextClickWorks();
    void rapidClicksOnlyLastPlays();
    void streamStoppingMidPlayIsReported();
    void mouseEventsComeFromVideoAreaOnly();
    void fullBarShowsPositionAndSeeks();
    void engineFailuresAreClassified_data();
    void engineFailuresAreClassified();

private:
    MediaPlayer* makePlayer();

    RecordingHost* m_host = nullptr;
    FakeEngines* m_engines = nullptr;
    LocalHttpServer* m_server = nullptr;
    MediaPlayer* m_player = nullptr;
};

void TestMediaPlayer::init()
{
    m_host = new RecordingHost;
    m_engines = new FakeEngines;
    m_server = new LocalHttpServer;
    QVERIFY(m_server->isListening());
}

void TestMediaPlayer::cleanup()
{
    delete m_player;
    m_player = nullptr;
    delete m_server;
    delete m_engines;
    // Failures show in the status line only, never in a box.
    QVERIFY(m_host->boxes.isEmpty());
    delete m_host;
}

MediaPlayer* TestMediaPlayer::makePlayer()
{
    m_player = new MediaPlayer(miniSettings());
    m_player->resize(576, 469);
    PlaylistResolver::Limits limits;
    limits.timeoutMs = 1500;
    limits.maxPlaylistBytes = 256 * 1024;
    m_player->setResolverLimits(limits);
    return m_player;
}

void TestMediaPlayer::settingsReachTheEngine()
{
    makePlayer();
    FakePlaybackEngine* engine = m_engines->last();
    QCOMPARE(engine->volume, 12);
    QCOMPARE(engine->mute, false);
    QCOMPARE(engine->stretch, true);
    QCOMPARE(m_player->contextMenuPolicy(), Qt::PreventContextMenu);
    QVERIFY(engine->opened.isEmpty()); // nothing plays before the first URL
}

void TestMediaPlayer::stagesShowInStatusLine()
{
    makePlayer();
    FakePlaybackEngine* engine = m_engines->last();
    m_player->setURL(QStringLiteral("rtsp://127.0.0.1:1/live"));
    QCOMPARE(engine->opened, QList<QUrl>{QUrl("rtsp://127.0.0.1:1/live")});
    QCOMPARE(m_player->statusText(), QStringLiteral("正在连接…"));
    Q_EMIT engine->connected();
    Q_EMIT engine->buffering(40);
    QCOMPARE(m_player->statusText(), QStringLiteral("正在缓冲 40%"));
    Q_EMIT engine->playing();
    QCOMPARE(m_player->statusText(), QStringLiteral("正在播放"));
    Q_EMIT engine->openFailed(PlaybackFailure::Refused, {});
    QCOMPARE(m_player->statusText(), QStringLiteral("错误：服务器拒绝连接"));
}

void TestMediaPlayer::sameUrlOpensAnewAndNewUrlReplaces()
{
    makePlayer();
    FakePlaybackEngine* engine = m_engines->last();
    m_player->setURL(QStringLiteral("mms://a.example.invalid/live"));
    m_player->setURL(QStringLiteral("mms://a.example.invalid/live"));
    m_player->setURL(QStringLiteral("rtsp://b.example.invalid/live"));
    QCOMPARE(engine->opened.size(), 3);
    QCOMPARE(engine->opened[1], engine->opened[0]);
    QCOMPARE(m_player->currentStream(), QUrl("rtsp://b.example.invalid/live"));
}

void TestMediaPlayer::playlistCandidatesTriedInOrder()
{
    m_server->route("/asx/cctv/cctv1.asx",
                    LocalHttpServer::Response::data(asx({"mms://dead.example.invalid/a", "/stream.ts"}), "video/x-ms-asf"));
    m_server->route("/stream.ts", LocalHttpServer::Response::generated(4 << 20, "video/mp2t"));
    makePlayer();
    FakePlaybackEngine* engine = m_engines->last();
    m_player->setURL(m_server->url("/asx/cctv/cctv1.asx"));
    QTRY_COMPARE_WITH_TIMEOUT(engine->opened.size(), 1, 5000);
    QCOMPARE(engine->opened[0], QUrl("mms://dead.example.invalid/a"));
    // The first ref cannot be opened: the next one is tried, and it is a stream, not a playlist.
    Q_EMIT engine->openFailed(PlaybackFailure::HostNotFound, {});
    QTRY_COMPARE_WITH_TIMEOUT(engine->opened.size(), 2, 5000);
    QCOMPARE(engine->opened[1], QUrl(m_server->url("/stream.ts")));
    Q_EMIT engine->openFailed(PlaybackFailure::NotAStream, {});
    QCOMPARE(m_player->stage(), PlaybackStage::Failed);
    QCOMPARE(m_player->statusText(), QStringLiteral("错误：不是可播放的媒体流"));
}

void TestMediaPlayer::badPlaylistsReportAndNextClickWorks_data()
{
    QTest::addColumn<QByteArray>("path");
    QTest::addColumn<int>("failure");
    QTest::newRow("refused") << QByteArray("REFUSED") << int(PlaybackFailure::Refused);
    QTest::newRow("404") << QByteArray("/missing.asx") << int(PlaybackFailure::NotFound);
    QTest::newRow("html") << QByteArray("/page.asx") << int(PlaybackFailure::NotAStream);
    QTest::newRow("empty") << QByteArray("/empty.asx") << int(PlaybackFailure::NotAStream);
    QTest::newRow("file ref") << QByteArray("/local.asx") << int(PlaybackFailure::Forbidden);
    QTest::newRow("self ref") << QByteArray("/self.asx") << int(PlaybackFailure::Loop);
    QTest::newRow("redirect loop") << QByteArray("/loop1.asx") << int(PlaybackFailure::Loop);
    QTest::newRow("several MiB") << QByteArray("/huge.asx") << int(PlaybackFailure::TooLarge);
    QTest::newRow("silent server") << QByteArray("SILENT") << int(PlaybackFailure::TimedOut);
}

void TestMediaPlayer::badPlaylistsReportAndNextClickWorks()
{
    QFETCH(QByteArray, path);
    QFETCH(int, failure);
    m_server->route("/page.asx", LocalHttpServer::Response::data("<!DOCTYPE html><html><body>hi</body></html>", "text/html"));
    m_server->route("/empty.asx", LocalHttpServer::Response::data("", "video/x-ms-asf"));
    m_server->route("/local.asx", LocalHttpServer::Response::data(asx({"file:///etc/passwd", "lavf://file:///etc/passwd"}), "video/x-ms-asf"));
    m_server->route("/self.asx", LocalHttpServer::Response::data(asx({m_server->url("/self.asx")}), "video/x-ms-asf"));
    m_server->route("/loop1.asx", LocalHttpServer::Response::redirect("/loop2.asx"));
    m_server->route("/loop2.asx", LocalHttpServer::Response::redirect("/loop1.asx"));
    LocalHttpServer::Response huge = LocalHttpServer::Response::generated(6 << 20, "video/x-ms-asf");
    m_server->route("/huge.asx", [huge](const LocalHttpServer::Request&) {
        LocalHttpServer::Response r = huge;
        r.generatedSize = -1;
        r.body = "<asx version=\"3.0\"><entry><ref href=\"mms://x.example.invalid/a\"/></entry>"
                 + QByteArray(6 << 20, ' ') + "</asx>";
        return r;
    });
    m_server->route("/good.asx", LocalHttpServer::Response::data(asx({"rtsp://good.example.invalid/live"}), "video/x-ms-asf"));

    QTcpServer silent;
    QString url;
    if (path == "REFUSED") {
        url = QStringLiteral("http://127.0.0.1:%1/a.asx").arg(closedPort());
    } else if (path == "SILENT") {
        QVERIFY(silent.listen(QHostAddress::LocalHost));
        url = QStringLiteral("http://127.0.0.1:%1/a.asx").arg(silent.serverPort());
    } else {
        url = m_server->url(path);
    }

    makePlayer();
    FakePlaybackEngine* engine = m_engines->last();
    QSignalSpy stages(m_player, &MediaPlayer::stageChanged);
    m_player->setURL(url);
    QTRY_COMPARE_WITH_TIMEOUT(m_player->stage(), PlaybackStage::Failed, 10000);
    QCOMPARE(int(m_player->lastFailure()), failure);
    QVERIFY(m_player->statusText().startsWith(QStringLiteral("错误：")));
    QVERIFY(engine->opened.isEmpty());

    m_player->setURL(m_server->url("/good.asx"));
    QTRY_COMPARE_WITH_TIMEOUT(engine->opened.size(), 1, 5000);
    QCOMPARE(engine->opened[0], QUrl("rtsp://good.example.invalid/live"));
}

void TestMediaPlayer::rapidClicksOnlyLastPlays()
{
    for (int i = 0; i < 20; ++i) {
        LocalHttpServer::Response r = LocalHttpServer::Response::data(
            asx({QStringLiteral("rtsp://channel%1.example.invalid/live").arg(i)}), "video/x-ms-asf");
        r.pieceSize = 16;
        r.pieceDelayMs = (20 - i) * 5; // earlier channels answer later
        m_server->route(QByteArray("/c") + QByteArray::number(i) + ".asx", r);
    }
    makePlayer();
    FakePlaybackEngine* engine = m_engines->last();
    for (int i = 0; i < 20; ++i) {
        m_player->setURL(m_server->url(QByteArray("/c") + QByteArray::number(i) + ".asx"));
        QTest::qWait(3);
    }
    QTRY_COMPARE_WITH_TIMEOUT(engine->opened.size(), 1, 10000);
    QTest::qWait(300); // a stale answer arriving late must not win
    QCOMPARE(engine->opened, QList<QUrl>{QUrl("rtsp://channel19.example.invalid/live")});
}

void TestMediaPlayer::streamStoppingMidPlayIsReported()
{
    makePlayer();
    PlaybackSession::ReconnectPolicy policy;
    policy.delaysMs = {50, 100};
    policy.budgetMs = 400; // reopens at about 50, 150, 250, 350 ms after the drop
    m_player->session()->setReconnectPolicy(policy);
    FakePlaybackEngine* engine = m_engines->last();
    const QUrl live("mms://a.example.invalid/live");
    m_player->setURL(live.toString());
    // A dropped live stream is opened again while its server stays away, until the budget is spent.
    Q_EMIT engine->playing();
    Q_EMIT engine->ended(PlaybackFailure::Interrupted);
    int reopens = 0;
    while (m_player->stage() == PlaybackStage::Reconnecting) {
        QCOMPARE(m_player->statusText(), QStringLiteral("连接中断，正在重新连接…"));
        QTRY_COMPARE_WITH_TIMEOUT(engine->opened.size(), 2 + reopens, 5000);
        QCOMPARE(engine->opened.last(), live);
        ++reopens;
        Q_EMIT engine->openFailed(PlaybackFailure::Refused, {});
    }
    QVERIFY2(reopens >= 2 && reopens <= 4, qPrintable(QString::number(reopens))); // fewer when timers run late
    QCOMPARE(m_player->stage(), PlaybackStage::Failed);
    QCOMPARE(m_player->statusText(), QStringLiteral("错误：播放中断，连接已断开"));
    QCOMPARE(m_player->lastFailure(), PlaybackFailure::Interrupted);
    QTest::qWait(300);
    QCOMPARE(engine->opened.size(), 1 + reopens);
    const int before = int(engine->opened.size());

    // The server is back for the second reopen: playing again, nothing more is reopened.
    m_player->setURL(live.toString());
    Q_EMIT engine->playing();
    Q_EMIT engine->ended(PlaybackFailure::Interrupted);
    QTRY_COMPARE_WITH_TIMEOUT(engine->opened.size(), before + 2, 5000);
    Q_EMIT engine->openFailed(PlaybackFailure::Refused, {});
    QTRY_COMPARE_WITH_TIMEOUT(engine->opened.size(), before + 3, 5000);
    Q_EMIT engine->playing();
    QCOMPARE(m_player->statusText(), QStringLiteral("正在播放"));
    QTest::qWait(300);
    QCOMPARE(engine->opened.size(), before + 3);

    // A recorded file that played to its end has simply stopped.
    m_player->setURL(QStringLiteral("mms://a.example.invalid/clip.wmv"));
    Q_EMIT engine->playing();
    Q_EMIT engine->ended(PlaybackFailure::None);
    QCOMPARE(m_player->statusText(), QStringLiteral("已停止"));
}

void TestMediaPlayer::mouseEventsComeFromVideoAreaOnly()
{
    makePlayer();
    m_player->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_player));
    QSignalSpy downs(m_player, &MediaPlayer::MouseDown);
    QSignalSpy moves(m_player, &MediaPlayer::MouseMove);
    QWidget* surface = m_engines->last()->surface;
    QTest::mousePress(surface, Qt::RightButton, Qt::ShiftModifier, QPoint(10, 20));
    QCOMPARE(downs.size(), 1);
    QCOMPARE(downs[0][0].toInt(), 2);
    QCOMPARE(downs[0][1].toInt(), 1);
    QCOMPARE(downs[0][2].toFloat(), 10.0f);
    QCOMPARE(downs[0][3].toFloat(), 20.0f);
    QTest::mouseMove(surface, QPoint(30, 40));
    QTRY_VERIFY(!moves.isEmpty());
    // The control bar at the bottom is not the video area.
    QWidget* bar = m_player->childAt(5, m_player->height() - 5);
    QVERIFY(bar && bar != surface);
    QTest::mousePress(bar, Qt::LeftButton, {}, QPoint(1, 1));
    QCOMPARE(downs.size(), 1);
}

void TestMediaPlayer::fullBarShowsPositionAndSeeks()
{
    makePlayer();
    const auto seekBar = [](MediaPlayer* p) {
        for (QSlider* s : p->findChildren<QSlider*>())
            if (s->toolTip() == QStringLiteral("播放进度"))
                return s;
        return static_cast<QSlider*>(nullptr);
    };
    QVERIFY(!seekBar(m_player)); // the mini bar has no position

    MediaPlayer::Settings full = miniSettings();
    full.uiMode = MediaPlayer::UiMode::Full;
    MediaPlayer radio(full);
    FakePlaybackEngine* engine = m_engines->last();
    QSlider* bar = seekBar(&radio);
    QVERIFY(bar);
    const auto timeText = [&radio] {
        for (QLabel* l : radio.findChildren<QLabel*>())
            if (l->text().contains(u':'))
                return l->text();
        return QString();
    };
    Q_EMIT engine->positionChanged(65.4, 0); // live: elapsed time only, nothing to seek
    QCOMPARE(timeText(), QStringLiteral("01:05"));
    QVERIFY(!bar->isEnabled());
    Q_EMIT engine->positionChanged(30, 120);
    QCOMPARE(timeText(), QStringLiteral("00:30 / 02:00"));
    QVERIFY(bar->isEnabled());
    bar->setValue(90);
    Q_EMIT bar->sliderReleased();
    QCOMPARE(engine->seeks, QList<double>{90});
}

void TestMediaPlayer::engineFailuresAreClassified_data()
{
    QTest::addColumn<int>("error");
    QTest::addColumn<QStringList>("log");
    QTest::addColumn<int>("failure");
    const int loadingFailed = -13;
    const int unknownFormat = -17;
    QTest::newRow("refused") << unknownFormat
                             << QStringList{"ffmpeg: tcp: Connection to tcp://127.0.0.1:1?timeout=0 failed: Connection refused"}
                             << int(PlaybackFailure::Refused);
    QTest::newRow("unresolvable") << loadingFailed << QStringList{"ffmpeg: Failed to resolve hostname x.invalid"}
                                  << int(PlaybackFailure::HostNotFound);
    QTest::newRow("404") << loadingFailed << QStringList{"ffmpeg: http: HTTP error 404 Not Found"}
                         << int(PlaybackFailure::NotFound);
    QTest::newRow("timed out") << loadingFailed << QStringList{"ffmpeg: tcp: Connection timed out"}
                               << int(PlaybackFailure::TimedOut);
    QTest::newRow("rtsp option line is no timeout")
        << unknownFormat << QStringList{"lavf: Broken FFmpeg RTSP API => not setting timeout.", "lavf: avformat_open_input() failed"}
        << int(PlaybackFailure::NotAStream);
    QTest::newRow("nothing said") << loadingFailed << QStringList{} << int(PlaybackFailure::Other);
}

void TestMediaPlayer::engineFailuresAreClassified()
{
    QFETCH(int, error);
    QFETCH(QStringList, log);
    QFETCH(int, failure);
    QCOMPARE(int(MpvEngine::classify(error, log)), failure);
}

QTEST_MAIN(TestMediaPlayer)
#include "tst_mediaplayer.moc"
