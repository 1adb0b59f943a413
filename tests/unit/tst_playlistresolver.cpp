#include "LocalHttpServer.h"
#include "PlaylistResolver.h"

#include <QFile>
#include <QPointer>
#include <QProcess>
#include <QSslKey>
#include <QSslServer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using Outcome = PlaylistResolver::Outcome;
using Response = LocalHttpServer::Response;

Q_DECLARE_METATYPE(PlaylistResolver::Outcome::Type)
Q_DECLARE_METATYPE(PlaybackFailure)
Q_DECLARE_METATYPE(LocalHttpServer::Response::Framing)

namespace {

constexpr int waitMs = 20000; // generous: the machine is shared; nothing here is a time check

// Collects what a resolver reports, in order.
struct Recorder
{
    explicit Recorder(PlaylistResolver& resolver)
    {
        QObject::connect(&resolver, &PlaylistResolver::finished, &resolver, [this](const Outcome& o) { outcomes.append(o); });
    }
    QList<Outcome> outcomes;
};

QStringList strings(const QList<QUrl>& urls)
{
    QStringList out;
    for (const QUrl& url : urls)
        out += url.toString();
    return out;
}

Response withStall(Response response, qint64 stallAfter)
{
    response.stallAfter = stallAfter;
    return response;
}

Response framed(Response response, Response::Framing framing)
{
    response.framing = framing;
    return response;
}

Response status(int code, const QByteArray& body = "<html><body>error</body></html>")
{
    Response response = Response::data(body, "text/html");
    response.status = code;
    return response;
}

} // namespace

class TestPlaylistResolver : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void outcomes_data();
    void outcomes();
    void liveStreamIsLeftToTheEngine();
    void oversizedPlaylistIsNotReadToTheEnd_data();
    void oversizedPlaylistIsNotReadToTheEnd();
    void boundedInTime_data();
    void boundedInTime();
    void endlessHeadersAreCutOff();
    void onlyTheLastResolveEmits();
    void nextResolveFromTheSlot();

private:
    QString fill(QString text) const
    {
        return text.replace(QLatin1String("{server}"), m_server.url(""))
            .replace(QLatin1String("{refused}"), m_refusedUrl)
            .replace(QLatin1String("{selfsigned}"), QStringLiteral("https://127.0.0.1:%1").arg(m_tls.serverPort()));
    }

    LocalHttpServer m_server;
    QString m_refusedUrl;
    QTemporaryDir m_dir;
    QSslServer m_tls; // a server with a certificate nobody vouches for
};

void TestPlaylistResolver::initTestCase()
{
    QVERIFY(m_server.isListening());
    {
        // A port that nobody listens on any more.
        QTcpServer gone;
        QVERIFY(gone.listen(QHostAddress::LocalHost));
        m_refusedUrl = QStringLiteral("http://127.0.0.1:%1").arg(gone.serverPort());
    }
    {
        // A throwaway self-signed certificate.
        const QString key = m_dir.filePath(QStringLiteral("key.pem")), cert = m_dir.filePath(QStringLiteral("cert.pem"));
        QProcess openssl;
        openssl.start(QStringLiteral("openssl"), {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "1", "-subj",
                                                  "/CN=127.0.0.1", "-keyout", key, "-out", cert});
        QVERIFY(openssl.waitForFinished(60000) && openssl.exitCode() == 0);
        QFile keyFile(key), certFile(cert);
        QVERIFY(keyFile.open(QIODevice::ReadOnly) && certFile.open(QIODevice::ReadOnly));
        QSslConfiguration config = QSslConfiguration::defaultConfiguration();
        config.setPrivateKey(QSslKey(keyFile.readAll(), QSsl::Rsa));
        config.setLocalCertificate(QSslCertificate(certFile.readAll()));
        m_tls.setSslConfiguration(config);
        QVERIFY(m_tls.listen(QHostAddress::LocalHost));
    }
    const QByteArray asx = "<ASX version=\"3.0\">\r\n<Entry><Ref href=\"live.ts\"/><Ref href=\"mms://media.example/cctv1\"/></Entry>\r\n</ASX>\r\n";
    m_server.route("/asx/cctv1.asx", Response::data(asx, "video/x-ms-asf"));
    m_server.route("/old.asx", Response::redirect("/asx/cctv1.asx"));
    m_server.route("/as-html.asx", Response::data(asx, "text/html"));
    m_server.route("/ref.asx", Response::data("[Reference]\r\nRef1=http://media.example/a?MSWMExt=.asf\r\nRef2=mmst://media.example/a\r\n", "text/plain"));
    m_server.route("/live.m3u8", Response::data("#EXTM3U\n#EXT-X-TARGETDURATION:2\n#EXTINF:2,\nseg0.ts\n", "application/vnd.apple.mpegurl"));
    m_server.route("/gone.asx", status(410));
    m_server.route("/forbidden.asx", status(403));
    m_server.route("/broken.asx", status(500));
    m_server.route("/page.html", Response::data("<!DOCTYPE html>\n<html><head><title>x</title></head></html>", "text/html"));
    m_server.route("/page.bin", Response::data("  <html><body>hello</body></html>", "application/octet-stream"));
    m_server.route("/text.asx", Response::data("Service temporarily closed", "text/html; charset=utf-8"));
    m_server.route("/empty.asx", Response::data("", "video/x-ms-asf"));
    m_server.route("/truncated.asx", Response::data("<asx version=\"3.0\"><entry><ref href=\"http://media.exa", "video/x-ms-asf"));
    m_server.route("/half.asx", Response::data("<asx><entry><ref href=\"http://media.example/1\"/></entry><entry><ref href=\"http://me", "video/x-ms-asf"));
    Response cut = Response::data("<asx><entry><ref href=\"http://media.example/1\"/></entry><entry><ref href=\"http://media.example/2\"/></entry></asx>", "video/x-ms-asf");
    cut.dropAfter = cut.body.indexOf("<entry>", 10) + 20;
    m_server.route("/cut.asx", cut);
    Response cutLines = Response::data("[Reference]\r\nRef1=http://media.example/1\r\nRef2=http://media.example/2\r\n", "text/plain");
    cutLines.dropAfter = cutLines.body.indexOf("Ref2") + 18;
    m_server.route("/cut-ref.asx", cutLines);
    m_server.route("/local.asx", Response::data("<asx><ref href=\"file:///etc/passwd\"/><ref href=\"lavf://x\"/><ref href=\"C:\\a.wmv\"/></asx>", "video/x-ms-asf"));
    m_server.route("/to-mms.asx", Response::redirect("mms://media.example/live"));
    m_server.route("/to-file.asx", Response::redirect("file:///etc/passwd"));
    m_server.route("/loop-a", Response::redirect("/loop-b"));
    m_server.route("/loop-b", Response::redirect("/loop-a"));
    m_server.route("/self-redirect.asx", Response::redirect("/self-redirect.asx", 301));
    for (int hop = 0; hop < 12; ++hop)
        m_server.route("/hop/" + QByteArray::number(hop), Response::redirect("/hop/" + QByteArray::number(hop + 1)));
 {
        // 64 MB of a playlist's worth of spaces, gzipped to some 64 KB.
        QProcess gzip;
        gzip.start(QStringLiteral("gzip"), {"-c"});
        gzip.waitForStarted();
        gzip.write("<asx><entry><ref href=\"http://media.example/1\"/>");
        const QByteArray spaces(1 << 20, ' ');
        for (int i = 0; i < 64; ++i) {
            gzip.write(spaces);
            gzip.waitForBytesWritten();
        }
        gzip.closeWriteChannel();
        QVERIFY(gzip.waitForFinished(60000));
        Response bomb = Response::data(gzip.readAllStandardOutput(), "video/x-ms-asf");
        bomb.headers.append(qMakePair(QByteArray("Content-Encoding"), QByteArray("gzip")));
        m_server.route("/bomb.asx", bomb);
    }
    m_server.route("/me.asx", Response::data("<asx><entry><ref href=\"me.asx\"/></entry></asx>", "video/x-ms-asf"));
    m_server.route("/me-too.asx", Response::redirect("/me-real.asx"));
    m_server.route("/me-real.asx", Response::data("<asx><ref href=\"/me-too.asx\"/><ref href=\"/live.ts\"/></asx>", "video/x-ms-asf"));
}

void TestPlaylistResolver::outcomes_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<Outcome::Type>("type");
    QTest::addColumn<PlaybackFailure>("failure");
    QTest::addColumn<QStringList>("candidates");
    const auto playlist = Outcome::Type::Playlist;
    const auto failed = Outcome::Type::Failed;
    const auto stream = Outcome::Type::Stream;
    const auto none = PlaybackFailure::None;
    const QStringList no;

    QTest::newRow("playlist") << "{server}/asx/cctv1.asx" << playlist << none
                              << QStringList{"{server}/asx/live.ts", "mms://media.example/cctv1"};
    QTest::newRow("playlist behind a redirect: relative to where it was found")
        << "{server}/old.asx" << playlist << none << QStringList{"{server}/asx/live.ts", "mms://media.example/cctv1"};
    QTest::newRow("playlist sent as text/html") << "{server}/as-html.asx" << playlist << none
                                                << QStringList{"{server}/live.ts", "mms://media.example/cctv1"};
    QTest::newRow("reference form") << "{server}/ref.asx" << playlist << none
                                    << QStringList{"http://media.example/a?MSWMExt=.asf", "mmst://media.example/a"};
    QTest::newRow("playlist cut off by the server: whole refs stand") << "{server}/cut.asx" << playlist << none
                                                                      << QStringList{"http://media.example/1"};
    QTest::newRow("reference form cut off mid-line") << "{server}/cut-ref.asx" << playlist << none
                                                     << QStringList{"http://media.example/1"};
    QTest::newRow("truncated after one ref") << "{server}/half.asx" << playlist << none << QStringList{"http://media.example/1"};
    QTest::newRow("names itself and a stream") << "{server}/me-too.asx" << playlist << none << QStringList{"{server}/live.ts"};
    QTest::newRow("redirect to a stream of another scheme") << "{server}/to-mms.asx" << playlist << none
                                                            << QStringList{"mms://media.example/live"};
    QTest::newRow("redirect to a local file") << "{server}/to-file.asx" << failed << PlaybackFailure::Forbidden << no;
    QTest::newRow("hls goes to the engine") << "{server}/live.m3u8" << stream << none << no;
    QTest::newRow("rtsp goes to the engine") << "rtsp://media.example/live" << stream << none << no;

    QTest::newRow("refused") << "{refused}/a.asx" << failed << PlaybackFailure::Refused << no;
    QTest::newRow("host not found") << "http://nothing.invalid/a.asx" << failed << PlaybackFailure::HostNotFound << no;
    QTest::newRow("404") << "{server}/missing.asx" << failed << PlaybackFailure::NotFound << no;
    QTest::newRow("410") << "{server}/gone.asx" << failed << PlaybackFailure::NotFound << no;
    QTest::newRow("403") << "{server}/forbidden.asx" << failed << PlaybackFailure::NotFound << no;
    QTest::newRow("500") << "{server}/broken.asx" << failed << PlaybackFailure::Other << no;
    QTest::newRow("html page") << "{server}/page.html" << failed << PlaybackFailure::NotAStream << no;
    QTest::newRow("html bytes, binary type") << "{server}/page.bin" << failed << PlaybackFailure::NotAStream << no;
    QTest::newRow("text sent as text/html") << "{server}/text.asx" << failed << PlaybackFailure::NotAStream << no;
    QTest::newRow("empty body") << "{server}/empty.asx" << failed << PlaybackFailure::NotAStream << no;
    QTest::newRow("truncated before any ref") << "{server}/truncated.asx" << failed << PlaybackFailure::NotAStream << no;
    QTest::newRow("refs to local files only") << "{server}/local.asx" << failed << PlaybackFailure::Forbidden << no;
    QTest::newRow("local file given directly") << "file:///etc/passwd" << failed << PlaybackFailure::Forbidden << no;
    QTest::newRow("redirect loop") << "{server}/loop-a" << failed << PlaybackFailure::Loop << no;
    QTest::newRow("redirect to itself") << "{server}/self-redirect.asx" << failed << PlaybackFailure::Loop << no;
    QTest::newRow("too many redirects") << "{server}/hop/0" << failed << PlaybackFailure::Loop << no;
    QTest::newRow("self-signed certificate") << "{selfsigned}/a.asx" << failed << PlaybackFailure::Certificate << no;
    QTest::newRow("compressed although not asked: a gzip bomb") << "{server}/bomb.asx" << failed << PlaybackFailure::NotAStream << no;
    QTest::newRow("playlist naming only itself") << "{server}/me.asx" << failed << PlaybackFailure::Loop << no;
}

void TestPlaylistResolver::outcomes()
{
    QFETCH(QString, url);
    QFETCH(Outcome::Type, type);
    QFETCH(PlaybackFailure, failure);
    QFETCH(QStringList, candidates);
    for (QString& candidate : candidates)
        candidate = fill(candidate);

    PlaylistResolver resolver;
    Recorder recorder(resolver);
    const QUrl target(fill(url));
    resolver.resolve(target);
    QVERIFY(resolver.busy());
    QVERIFY(recorder.outcomes.isEmpty()); // never from inside resolve()
    QTRY_COMPARE_WITH_TIMEOUT(recorder.outcomes.size(), 1, waitMs);
    const Outcome& outcome = recorder.outcomes.first();
    QVERIFY2(outcome.type == type && outcome.failure == failure, qPrintable(outcome.detail));
    QCOMPARE(outcome.url, target);
    QCOMPARE(strings(outcome.candidates), candidates);
    QVERIFY(!resolver.busy());
}

// The engine opens a stream on its own: the resolver only looks at its first bytes and lets go.
void TestPlaylistResolver::liveStreamIsLeftToTheEngine()
{
    // Sends a little, then holds the connection open as a live source does between packets.
    m_server.route("/live.ts", withStall(Response::generated(qint64(1) << 30, "video/mp2t"), 256 * 1024));
    PlaylistResolver resolver;
    Recorder recorder(resolver);
    const QUrl url(m_server.url("/live.ts"));
    resolver.resolve(url);
    QTRY_COMPARE_WITH_TIMEOUT(recorder.outcomes.size(), 1, waitMs);
    QCOMPARE(recorder.outcomes.first().type, Outcome::Type::Stream);
    QCOMPARE(recorder.outcomes.first().url, url);
    QTRY_COMPARE_WITH_TIMEOUT(m_server.openConnections(), 0, waitMs);
}

void TestPlaylistResolver::oversizedPlaylistIsNotReadToTheEnd_data()
{
    QTest::addColumn<Response::Framing>("framing");
    QTest::newRow("declared length") << Response::Framing::ContentLength;
    QTest::newRow("chunked") << Response::Framing::Chunked;
    QTest::newRow("until close") << Response::Framing::CloseDelimited;
}

// Several MiB behind a playlist header. The server holds back the last MiB and keeps the
// connection open: a resolver that wanted all of it would wait for ever, so an answer at all
// shows it stopped at the limit.
void TestPlaylistResolver::oversizedPlaylistIsNotReadToTheEnd()
{
    QFETCH(Response::Framing, framing);
    const QByteArray body = "<asx version=\"3.0\"><entry><ref href=\"http://media.example/1\"/></entry>\n"
        + QByteArray(4 << 20, ' ') + "</asx>";
    m_server.route("/huge.asx", withStall(framed(Response::data(body, "video/x-ms-asf"), framing), 3 << 20));
    PlaylistResolver resolver;
    PlaylistResolver::Limits limits;
    limits.maxPlaylistBytes = 1 << 20;
    limits.timeoutMs = 10 * 60 * 1000;
    resolver.setLimits(limits);
    Recorder recorder(resolver);
    resolver.resolve(QUrl(m_server.url("/huge.asx")));
    QTRY_COMPARE_WITH_TIMEOUT(recorder.outcomes.size(), 1, waitMs);
    QCOMPARE(recorder.outcomes.first().failure, PlaybackFailure::TooLarge);
    QTRY_COMPARE_WITH_TIMEOUT(m_server.openConnections(), 0, waitMs);
}

void TestPlaylistResolver::boundedInTime_data()
{
    QTest::addColumn<QByteArray>("path");
    QTest::newRow("accepts and never answers") << QByteArray();
    QTest::newRow("headers, then nothing") << QByteArray("/stalled.asx");
    QTest::newRow("a playlist that trickles for ever") << QByteArray("/trickle.asx");
}

void TestPlaylistResolver::boundedInTime()
{
    QFETCH(QByteArray, path);
    QTcpServer silent; // the kernel accepts; nobody reads or answers
    QString url;
    if (path.isEmpty()) {
        QVERIFY(silent.listen(QHostAddress::LocalHost));
        url = QStringLiteral("http://127.0.0.1:%1/a.asx").arg(silent.serverPort());
    } else {
        m_server.route("/stalled.asx", withStall(Response::data("<asx><entry><ref href=\"http://media.example/1\"/>", "video/x-ms-asf"), 0));
        Response trickle = Response::data("<asx><entry><ref href=\"http://media.example/1\"/></entry>" + QByteArray(64 * 1024, ' '), "video/x-ms-asf");
        trickle.pieceSize = 16;
        trickle.pieceDelayMs = 50;
        m_server.route("/trickle.asx", trickle);
        url = m_server.url(path);
    }
    PlaylistResolver resolver;
    PlaylistResolver::Limits limits;
    limits.timeoutMs = 500;
    resolver.setLimits(limits);
    Recorder recorder(resolver);
    resolver.resolve(QUrl(url));
    QTRY_COMPARE_WITH_TIMEOUT(recorder.outcomes.size(), 1, waitMs);
    QCOMPARE(recorder.outcomes.first().failure, PlaybackFailure::TimedOut);
    if (!path.isEmpty())
        QTRY_COMPARE_WITH_TIMEOUT(m_server.openConnections(), 0, waitMs);
}

// A hostile server: a status line, then header lines for as long as the client listens.
class EndlessHeaders : public QObject
{
public:
    EndlessHeaders()
    {
        m_server.listen(QHostAddress::LocalHost);
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* s = m_server.nextPendingConnection()) {
                m_socket = s;
                s->write("HTTP/1.1 200 OK\r\nContent-Type: video/x-ms-asf\r\n");
                m_pump.start(1);
            }
        });
        connect(&m_pump, &QTimer::timeout, this, [this] {
            if (!m_socket || m_socket->state() != QAbstractSocket::ConnectedState) {
                m_pump.stop();
                return;
            }
            if (m_socket->bytesToWrite() < 256 * 1024) {
                QByteArray lines;
                for (int i = 0; i < 2000; ++i)
                    lines += "X-Filler-" + QByteArray::number(m_sent++) + ": aaaaaaaaaaaaaaaaaaaaaaaa\r\n";
                m_socket->write(lines);
            }
        });
    }
    QString url() const { return QStringLiteral("http://127.0.0.1:%1/a.asx").arg(m_server.serverPort()); }
    // Whether the client has let go of the connection.
    bool clientGone() const { return m_socket && m_socket->state() != QAbstractSocket::ConnectedState; }
    bool connected() const { return m_socket != nullptr; }

private:
    QTcpServer m_server;
    QPointer<QTcpSocket> m_socket;
    QTimer m_pump;
    qint64 m_sent = 0;
};

// Headers without end are cut off at the cap, not by the clock: the connection really closes,
// and the next request gets through at once.
void TestPlaylistResolver::endlessHeadersAreCutOff()
{
    EndlessHeaders hostile;
    PlaylistResolver resolver;
    Recorder recorder(resolver);
    resolver.resolve(QUrl(hostile.url()));
    QTRY_COMPARE_WITH_TIMEOUT(recorder.outcomes.size(), 1, waitMs);
    QVERIFY(hostile.connected());
    QVERIFY2(recorder.outcomes.first().failure == PlaybackFailure::TooLarge, qPrintable(recorder.outcomes.first().detail));
    QTRY_VERIFY_WITH_TIMEOUT(hostile.clientGone(), 1000);

    resolver.resolve(QUrl(m_server.url("/asx/cctv1.asx")));
    QTRY_COMPARE_WITH_TIMEOUT(recorder.outcomes.size(), 2, 5000);
    QCOMPARE(recorder.outcomes.last().type, Outcome::Type::Playlist);
}

// Rapid clicking: every resolve replaces the one before; a cancelled one never speaks, even when
// its answer arrives afterwards.
void TestPlaylistResolver::onlyTheLastResolveEmits()
{
    Response slow = Response::data("<asx><ref href=\"http://media.example/slow\"/></asx>", "video/x-ms-asf");
    slow.pieceSize = 8;
    slow.pieceDelayMs = 10;
    m_server.route("/slow.asx", slow);
    PlaylistResolver resolver;
    Recorder recorder(resolver);
    QUrl last;
    for (int i = 0; i < 20; ++i) {
        last = QUrl(m_server.url("/slow.asx?click=" + QByteArray::number(i)));
        resolver.resolve(last);
        if (i % 5 == 4)
            QCoreApplication::processEvents(); // let some of them reach the server
    }
    QTRY_COMPARE_WITH_TIMEOUT(recorder.outcomes.size(), 1, waitMs);
    QCOMPARE(recorder.outcomes.first().url, last);
    QCOMPARE(strings(recorder.outcomes.first().candidates), QStringList{"http://media.example/slow"});

    // Its answer takes seconds to arrive in full: it comes in after the cancel.
    Response late = Response::data("<asx><ref href=\"http://media.example/late\"/></asx>" + QByteArray(400, ' '), "video/x-ms-asf");
    late.pieceSize = 8;
    late.pieceDelayMs = 100;
    m_server.route("/late.asx", late);
    resolver.resolve(QUrl(m_server.url("/late.asx")));
    QTRY_COMPARE_WITH_TIMEOUT(m_server.requestCount("/late.asx"), 1, waitMs);
    resolver.cancel();
    QVERIFY(!resolver.busy());
    // Every connection over, the cancelled one included: nothing more may have been said.
    QTRY_COMPARE_WITH_TIMEOUT(m_server.openConnections(), 0, waitMs);
    QCoreApplication::processEvents();
    QCOMPARE(recorder.outcomes.size(), 1);
}

// The player tries the next candidate from its slot: the resolver must be ready for it.
void TestPlaylistResolver::nextResolveFromTheSlot()
{
    PlaylistResolver resolver;
    QList<Outcome> outcomes;
    const QUrl first(m_server.url("/missing.asx"));
    const QUrl second(m_server.url("/asx/cctv1.asx"));
    connect(&resolver, &PlaylistResolver::finished, this, [&](const Outcome& outcome) {
        outcomes.append(outcome);
        if (outcomes.size() == 1)
            resolver.resolve(second);
    });
    resolver.resolve(first);
    QTRY_COMPARE_WITH_TIMEOUT(outcomes.size(), 2, waitMs);
    QCOMPARE(outcomes[0].url, first);
    QCOMPARE(outcomes[1].url, second);
    QCOMPARE(outcomes[1].type, Outcome::Type::Playlist);
    QVERIFY(!resolver.busy());
}

QTEST_GUILESS_MAIN(TestPlaylistResolver)
#include "tst_playlistresolver.moc"
