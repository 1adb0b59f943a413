#include "HttpFetch.h"
#include "LocalHttpServer.h"

#include <QPointer>
#include <QTest>

using Response = LocalHttpServer::Response;
using Error = HttpFetch::Error;

Q_DECLARE_METATYPE(HttpFetch::Error)
Q_DECLARE_METATYPE(LocalHttpServer::Response::Framing)

namespace {

constexpr int waitMs = 20000; // generous: the machine is shared; nothing here is a time check

// What a fetch reported, in order, and the body it gave.
struct Run
{
    QStringList events;
    QByteArray body;
    bool done() const { return events.contains(QLatin1String("finished")); }
};

// Reads at most `perRead` bytes on each readyRead (all of it when negative), the rest at the end.
void record(HttpFetch& fetch, Run& run, qint64 perRead = -1)
{
    QObject::connect(&fetch, &HttpFetch::headReceived, &fetch, [&run] { run.events += QStringLiteral("head"); });
    QObject::connect(&fetch, &HttpFetch::readyRead, &fetch, [&fetch, &run, perRead] {
        if (run.events.isEmpty() || run.events.last() != QLatin1String("data"))
            run.events += QStringLiteral("data");
        run.body += fetch.read(perRead < 0 ? fetch.bytesAvailable() : perRead);
    });
    QObject::connect(&fetch, &HttpFetch::finished, &fetch, [&fetch, &run] {
        run.events += QStringLiteral("finished");
        run.body += fetch.read(fetch.bytesAvailable());
    });
}

QByteArray fields(int count, int valueBytes)
{
    QByteArray out;
    for (int i = 0; i < count; ++i)
        out += "X-Field-" + QByteArray::number(i) + ": " + QByteArray(valueBytes, 'a') + "\r\n";
    return out;
}

} // namespace

class TestHttpFetch : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void answers_data();
    void answers();
    void slowReaderGetsTheWholeBody_data();
    void slowReaderGetsTheWholeBody();
    void requestAsSent_data();
    void requestAsSent();
    void abortFromItsOwnSignalsClosesAtOnce();

private:
    LocalHttpServer m_server;
};

// Answers as servers give them, good and bad; each once whole and once in small pieces, so every
// line end, size line and chunk boundary also falls between two reads.
void TestHttpFetch::answers_data()
{
    QTest::addColumn<QByteArray>("raw");
    QTest::addColumn<int>("pieceSize");
    QTest::addColumn<Error>("error");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");

    const QByteArray ok = "HTTP/1.1 200 OK\r\n";
    const QByteArray chunked = ok + "Transfer-Encoding: chunked\r\n\r\n";
    struct Row
    {
        const char* name;
        QByteArray raw;
        Error error;
        int status;
        QByteArray body;
    };
    const QList<Row> rows = {
        {"chunked", chunked + "5\r\nhello\r\n6\r\n world\r\n0\r\n\r\n", Error::None, 200, "hello world"},
        {"chunked with extensions and trailers", chunked + "5 ;a=b\r\nhello\r\n0;last\r\nX-Trailer: 1\r\n\r\n", Error::None, 200, "hello"},
        {"chunked, upper-case size and leading zeros", chunked + "000A\r\n0123456789\r\n0\r\n\r\n", Error::None, 200, "0123456789"},
        {"chunked, cut off inside a chunk", chunked + "5\r\nhello\r\n6\r\n wo", Error::Truncated, 200, "hello wo"},
        {"chunked, cut off before the last chunk", chunked + "5\r\nhello\r\n", Error::Truncated, 200, "hello"},
        {"chunked, garbage size", chunked + "5\r\nhello\r\nzz\r\nmore\r\n0\r\n\r\n", Error::Truncated, 200, "hello"},
        {"chunked, size with junk after it", chunked + "5x\r\nhello\r\n0\r\n\r\n", Error::Truncated, 200, ""},
        {"chunked, size beyond 64 bits", chunked + "5\r\nhello\r\n1FFFFFFFFFFFFFFFF\r\nabc", Error::Truncated, 200, "hello"},
        {"chunked, huge size, then the close", chunked + "5\r\nhello\r\n7FFFFFFFFFFFFFFF\r\nabc", Error::Truncated, 200, "helloabc"},
        {"chunked, no line end after the data", chunked + "5\r\nhelloXX3\r\nabc\r\n0\r\n\r\n", Error::Truncated, 200, "hello"},
        {"chunked, size line without end", chunked + "5\r\nhello\r\n" + QByteArray(5000, '0'), Error::Truncated, 200, "hello"},
        {"Content-Length shorter than the body", ok + "Content-Length: 5\r\n\r\nhello world", Error::None, 200, "hello"},
        {"Content-Length longer than the body", ok + "Content-Length: 50\r\n\r\nhello", Error::Truncated, 200, "hello"},
        {"two different Content-Lengths", ok + "Content-Length: 5\r\nContent-Length: 6\r\n\r\nhello!", Error::Malformed, 200, ""},
        {"chunked wins over Content-Length", ok + "Content-Length: 2\r\nTransfer-Encoding: chunked\r\n\r\n3\r\nabc\r\n0\r\n\r\n", Error::None, 200, "abc"},
        {"header line over the cap", ok + "X-Long: " + QByteArray(9000, 'a') + "\r\n\r\n", Error::HeadTooLarge, 0, ""},
        {"too many header fields", ok + fields(101, 1) + "\r\n", Error::HeadTooLarge, 0, ""},
        {"head over the cap in total", ok + fields(20, 1000) + "\r\n", Error::HeadTooLarge, 0, ""},
        {"status line garbage", "HTTP/1.1 OK\r\nContent-Length: 2\r\n\r\nok", Error::Malformed, 0, ""},
        {"not HTTP at all", "<html><body>hello</body></html>\r\n\r\n", Error::Malformed, 0, ""},
        {"a header line without a name", ok + ": x\r\n\r\n", Error::Malformed, 0, ""},
        {"a bare CR inside a header line", ok + "X-A: 1\rX-B: 2\r\n\r\n", Error::Malformed, 0, ""},
        {"closed inside the head", ok + "Content-Le", Error::Malformed, 0, ""},
        {"LF-only line ends", "HTTP/1.1 200 OK\nContent-Length: 5\n\nhello", Error::None, 200, "hello"},
        {"LF-only line ends, chunked", "HTTP/1.1 200 OK\nTransfer-Encoding: chunked\n\n5\nhello\n0\n\n", Error::None, 200, "hello"},
        {"100 Continue before 200", "HTTP/1.1 100 Continue\r\n\r\n" + ok + "Content-Length: 2\r\n\r\nok", Error::None, 200, "ok"},
        {"interim answers without end", QByteArray("HTTP/1.1 102 Processing\r\n\r\n").repeated(2000), Error::HeadTooLarge, 0, ""},
        {"HTTP/1.0 without a length: read until the close", "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\nuntil the end", Error::None, 200, "until the end"},
        {"an old radio server's status line", "ICY 200 OK\r\nicy-name: x\r\n\r\naudio", Error::None, 200, "audio"},
        {"no body with 204", "HTTP/1.1 204 No Content\r\n\r\n", Error::None, 204, ""},
        {"an error status with its page", "HTTP/1.1 404 Not Found\r\nContent-Length: 4\r\n\r\nnone", Error::None, 404, "none"},
        {"Content-Encoding gzip refused", ok + "Content-Encoding: gzip\r\nContent-Length: 4\r\n\r\nabcd", Error::Encoded, 200, ""},
        {"a transfer coding other than chunked", ok + "Transfer-Encoding: gzip, chunked\r\n\r\n4\r\nabcd\r\n0\r\n\r\n", Error::Encoded, 200, ""},
    };
    for (const Row& row : rows) {
        QTest::addRow("%s", row.name) << row.raw << 64 * 1024 << row.error << row.status << row.body;
        // Small pieces for the short answers; a few dozen for the long ones.
        const int pieces = std::max(3, int(row.raw.size() / 40));
        QTest::addRow("%s, in pieces", row.name) << row.raw << pieces << row.error << row.status << row.body;
    }
}

void TestHttpFetch::answers()
{
    QFETCH(QByteArray, raw);
    QFETCH(int, pieceSize);
    QFETCH(Error, error);
    QFETCH(int, status);
    QFETCH(QByteArray, body);

    Response response = Response::raw(raw);
    response.pieceSize = pieceSize;
    response.pieceDelayMs = pieceSize < raw.size() ? 1 : 0;
    m_server.route("/answer", response);
    HttpFetch fetch;
    Run run;
    record(fetch, run);
    fetch.get(QUrl(m_server.url("/answer")));
    QTRY_VERIFY_WITH_TIMEOUT(run.done(), waitMs);
    QVERIFY2(fetch.error() == error, qPrintable(fetch.errorString()));
    QCOMPARE(fetch.status(), status);
    QCOMPARE(run.body, body);
    // One head at most, first; one finish, last.
    QCOMPARE(run.events.count(QStringLiteral("head")), status ? 1 : 0);
    QCOMPARE(run.events.indexOf(QStringLiteral("head")), status ? 0 : -1);
    QCOMPARE(run.events.count(QStringLiteral("finished")), 1);
    QCOMPARE(run.events.last(), QStringLiteral("finished"));
    QTRY_COMPARE_WITH_TIMEOUT(m_server.openConnections(), 0, waitMs);
}

void TestHttpFetch::slowReaderGetsTheWholeBody_data()
{
    QTest::addColumn<Response::Framing>("framing");
    QTest::newRow("declared length") << Response::Framing::ContentLength;
    QTest::newRow("chunked") << Response::Framing::Chunked;
    QTest::newRow("until close") << Response::Framing::CloseDelimited;
}

// A reader that takes little at a time: the fetch holds no more than its buffer, and carries on
// by itself once the reader has made room, though the socket has nothing new to say.
void TestHttpFetch::slowReaderGetsTheWholeBody()
{
    QFETCH(Response::Framing, framing);
    constexpr qint64 size = 1 << 20;
    Response response = Response::generated(size);
    response.framing = framing;
    response.pieceSize = 48 * 1024;
    m_server.route("/big.bin", response);

    HttpFetch fetch;
    HttpFetch::Limits limits;
    limits.bufferBytes = 16 * 1024;
    fetch.setLimits(limits);
    Run run;
    qint64 mostHeld = 0;
    connect(&fetch, &HttpFetch::readyRead, &fetch, [&] { mostHeld = std::max(mostHeld, fetch.bytesAvailable()); });
    record(fetch, run, 1000);
    fetch.get(QUrl(m_server.url("/big.bin")));
    QTRY_VERIFY_WITH_TIMEOUT(run.done(), waitMs);
    QCOMPARE(fetch.error(), Error::None);
    QVERIFY(mostHeld <= limits.bufferBytes);
    QCOMPARE(run.body.size(), size);
    QVERIFY(run.body == LocalHttpServer::generatedBytes(0, size));
}

void TestHttpFetch::requestAsSent_data()
{
    QTest::addColumn<QUrl>("url");
    QTest::addColumn<QByteArray>("firstLines");
    QTest::newRow("default port, query kept, fragment dropped")
        << QUrl("http://tv.example/asx/a.asx?id=1&b=%20#top") << QByteArray("GET /asx/a.asx?id=1&b=%20 HTTP/1.1\r\nHost: tv.example\r\n");
    QTest::newRow("other port") << QUrl("http://tv.example:8080") << QByteArray("GET / HTTP/1.1\r\nHost: tv.example:8080\r\n");
    QTest::newRow("https on its default port") << QUrl("https://tv.example:443/a") << QByteArray("GET /a HTTP/1.1\r\nHost: tv.example\r\n");
    QTest::newRow("https on port 80") << QUrl("https://tv.example:80/a") << QByteArray("GET /a HTTP/1.1\r\nHost: tv.example:80\r\n");
    QTest::newRow("IPv6 literal") << QUrl("http://[::1]:81/a") << QByteArray("GET /a HTTP/1.1\r\nHost: [::1]:81\r\n");
    QTest::newRow("spaces and line ends cannot break the line")
        << QUrl("http://tv.example/a b\r\nX: y") << QByteArray("GET /a%20b%0D%0AX:%20y HTTP/1.1\r\nHost: tv.example\r\n");
}

void TestHttpFetch::requestAsSent()
{
    QFETCH(QUrl, url);
    QFETCH(QByteArray, firstLines);
    const QByteArray request = HttpFetch::requestFor(url);
    QVERIFY2(request.startsWith(firstLines), request.constData());
    QVERIFY(request.endsWith("\r\nUser-Agent: Lumivo/5.5\r\nAccept-Encoding: identity\r\nConnection: close\r\n\r\n"));
}

// The reader lets go from inside a signal, as the resolver does on an error status: the server
// sees the connection close while it is still sending, and nothing more is reported.
void TestHttpFetch::abortFromItsOwnSignalsClosesAtOnce()
{
    Response endless = Response::generated(qint64(1) << 30);
    endless.stallAfter = 512 * 1024;
    m_server.route("/endless.bin", endless);
    auto* fetch = new HttpFetch;
    QPointer<HttpFetch> watch(fetch);
    int reports = 0;
    connect(fetch, &HttpFetch::readyRead, fetch, [&] {
        ++reports;
        fetch->abort();
        fetch->deleteLater();
    });
    connect(fetch, &HttpFetch::finished, fetch, [&] { ++reports; });
    fetch->get(QUrl(m_server.url("/endless.bin")));
    QTRY_VERIFY_WITH_TIMEOUT(!watch, waitMs);
    QCOMPARE(reports, 1);
    QTRY_COMPARE_WITH_TIMEOUT(m_server.openConnections(), 0, waitMs);
}

QTEST_GUILESS_MAIN(TestHttpFetch)
#include "tst_httpfetch.moc"
