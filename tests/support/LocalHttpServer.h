#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPair>
#include <QSet>
#include <QString>

#include <functional>

class QTcpServer;
class LocalHttpConnection;

// An HTTP/1.1 server on 127.0.0.1 (a free port) for tests, running on the test's own event loop.
//
// Paths are routed to fixed responses or to handlers; a path without a route answers 404. Every
// response closes its connection. A body can be given, or generated on the fly (any size, never
// held whole), framed by Content-Length, by the connection's close, or in chunks; sent in pieces
// with a pause between them; cut off (the connection is closed early) or stalled (nothing more is
// sent while the connection stays open). A raw response is sent byte for byte, head and all.
//
//     LocalHttpServer server;
//     server.route("/a.bin", LocalHttpServer::Response::generated(100000));
//     server.route("/old", LocalHttpServer::Response::redirect("/a.bin"));
//     QUrl url = server.url("/old");
class LocalHttpServer : public QObject
{
    Q_OBJECT
public:
    struct Request
    {
        QByteArray method;
        QByteArray target; // path and query, as sent
        QByteArray path;   // without the query
        QHash<QByteArray, QByteArray> headers; // names in lower case
    };

    struct Response
    {
        enum class Framing { ContentLength, CloseDelimited, Chunked };

        int status = 200;
        QList<QPair<QByteArray, QByteArray>> headers;
        QByteArray body;           // used when generatedSize is negative
        qint64 generatedSize = -1; // >= 0: the body is generatedBytes(0, generatedSize)
        Framing framing = Framing::ContentLength;
        qint64 dropAfter = -1;     // >= 0: close the connection after this many body bytes
        qint64 stallAfter = -1;    // >= 0: send this many body bytes, then nothing while the client waits
        int pieceSize = 64 * 1024; // body bytes per write
        int pieceDelayMs = 0;      // pause after each piece
        bool asItStands = false;   // the body is the whole answer, head included (see raw())

        qint64 bodySize() const { return generatedSize >= 0 ? generatedSize : body.size(); }

        static Response data(const QByteArray& body, const QByteArray& contentType = "application/octet-stream");
        static Response generated(qint64 size, const QByteArray& contentType = "application/octet-stream");
        static Response redirect(const QByteArray& location, int status = 302);
        static Response notFound();
        // Bytes sent exactly as given, head included, then the connection closes: for answers no
        // well-behaved server would give. Pieces, stalls and drops apply to them as to a body.
        static Response raw(const QByteArray& bytes);
    };

    using Handler = std::function<Response(const Request&)>;

    explicit LocalHttpServer(QObject* parent = nullptr);
    ~LocalHttpServer() override;

    bool isListening() const;
    quint16 port() const;
    // "http://127.0.0.1:<port>" followed by pathAndQuery.
    QString url(const QByteArray& pathAndQuery) const;

    void route(const QByteArray& path, const Response& response);
    void route(const QByteArray& path, Handler handler);

    // Requests received for a path (query ignored), and all requests in order of arrival.
    int requestCount(const QByteArray& path) const { return m_counts.value(path); }
    const QList<Request>& requests() const { return m_requests; }
    // Connections currently open, whether or not their response is done.
    int openConnections() const { return m_openConnections; }

    // The bytes of a generated body: a pattern that depends on the offset, so a lost, doubled or
    // misplaced piece shows.
    static QByteArray generatedBytes(qint64 offset, qint64 size);

private:
    friend class LocalHttpConnection;
    Response respond(const Request& request);

    QTcpServer* m_server;
    QHash<QByteArray, Handler> m_routes;
    QHash<QByteArray, int> m_counts;
    QList<Request> m_requests;
    QSet<LocalHttpConnection*> m_connections;
    int m_openConnections = 0;
};
