#include "LocalHttpServer.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <algorithm>

namespace {

// Keeps the socket's own buffer small, so a huge body is generated only as fast as it leaves.
constexpr qint64 HighWater = 256 * 1024;

QByteArray reasonPhrase(int status)
{
    switch (status) {
    case 200: return "OK";
    case 204: return "No Content";
    case 301: return "Moved Permanently";
    case 302: return "Found";
    case 303: return "See Other";
    case 307: return "Temporary Redirect";
    case 308: return "Permanent Redirect";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 500: return "Internal Server Error";
    default: return "Status";
    }
}

} // namespace

// One accepted connection: reads one request, sends one response, closes.
class LocalHttpConnection : public QObject
{
public:
    LocalHttpConnection(LocalHttpServer* server, QTcpSocket* socket) : QObject(server), m_server(server), m_socket(socket)
    {
        socket->setParent(this);
        ++m_server->m_openConnections;
        m_server->m_connections.insert(this);
        connect(socket, &QTcpSocket::readyRead, this, [this] { onReadyRead(); });
        connect(socket, &QTcpSocket::bytesWritten, this, [this] { pump(); });
        connect(socket, &QTcpSocket::disconnected, this, [this] { close(); });
    }

    ~LocalHttpConnection() override
    {
        m_server->m_connections.remove(this);
        if (!m_closed)
            --m_server->m_openConnections;
    }

private:
    enum class State { Reading, Sending, Stalled, Done };

    void close()
    {
        if (m_closed)
            return;
        m_closed = true;
        m_state = State::Done;
        --m_server->m_openConnections;
        deleteLater();
    }

    void onReadyRead()
    {
        if (m_state != State::Reading) {
            m_socket->readAll();
            return;
        }
        m_buffer += m_socket->readAll();
        const qsizetype end = m_buffer.indexOf("\r\n\r\n");
        if (end < 0)
            return;
        LocalHttpServer::Request request;
        const QList<QByteArray> lines = m_buffer.left(end).split('\n');
        const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
        request.method = first.value(0);
        request.target = first.value(1);
        request.path = request.target.left(request.target.indexOf('?') < 0 ? request.target.size() : request.target.indexOf('?'));
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const qsizetype colon = lines[i].indexOf(':');
            if (colon > 0)
                request.headers.insert(lines[i].left(colon).trimmed().toLower(), lines[i].mid(colon + 1).trimmed());
        }
        m_response = m_server->respond(request);
        m_state = State::Sending;
        if (m_response.asItStands) {
            pump();
            return;
        }

        QByteArray head = "HTTP/1.1 " + QByteArray::number(m_response.status) + ' ' + reasonPhrase(m_response.status) + "\r\n";
        for (const auto& [name, value] : std::as_const(m_response.headers))
            head += name + ": " + value + "\r\n";
        if (m_response.framing == LocalHttpServer::Response::Framing::ContentLength)
            head += "Content-Length: " + QByteArray::number(m_response.bodySize()) + "\r\n";
        else if (m_response.framing == LocalHttpServer::Response::Framing::Chunked)
            head += "Transfer-Encoding: chunked\r\n";
        head += "Connection: close\r\n\r\n";
        m_socket->write(head);
        pump();
    }

    qint64 sendLimit() const
    {
        qint64 limit = m_response.bodySize();
        if (m_response.dropAfter >= 0)
            limit = std::min(limit, m_response.dropAfter);
        if (m_response.stallAfter >= 0)
            limit = std::min(limit, m_response.stallAfter);
        return limit;
    }

    void pump()
    {
        if (m_state != State::Sending || m_waiting)
            return;
        while (m_socket->bytesToWrite() < HighWater) {
            const qint64 limit = sendLimit();
            if (m_sent >= limit) {
                finish();
                return;
            }
            const qint64 n = std::min<qint64>(m_response.pieceSize, limit - m_sent);
            const QByteArray piece = m_response.generatedSize >= 0 ? LocalHttpServer::generatedBytes(m_sent, n)
                                                                   : m_response.body.mid(m_sent, n);
            if (m_response.framing == LocalHttpServer::Response::Framing::Chunked)
                m_socket->write(QByteArray::number(n, 16) + "\r\n" + piece + "\r\n");
            else
                m_socket->write(piece);
            m_sent += n;
            if (m_response.pieceDelayMs > 0) {
                m_waiting = true;
                QTimer::singleShot(m_response.pieceDelayMs, this, [this] {
                    m_waiting = false;
                    pump();
                });
                return;
            }
        }
    }

    void finish()
    {
        if (m_sent < m_response.bodySize() && m_response.dropAfter < 0) {
            m_state = State::Stalled; // the client sees a body that never ends
            return;
        }
        if (m_sent == m_response.bodySize() && m_response.framing == LocalHttpServer::Response::Framing::Chunked)
            m_socket->write("0\r\n\r\n");
        m_state = State::Done;
        m_socket->disconnectFromHost(); // sends what is buffered, then closes
    }

    LocalHttpServer* m_server;
    QTcpSocket* m_socket;
    QByteArray m_buffer;
    LocalHttpServer::Response m_response;
    State m_state = State::Reading;
    qint64 m_sent = 0;
    bool m_waiting = false;
    bool m_closed = false;
};

LocalHttpServer::Response LocalHttpServer::Response::data(const QByteArray& body, const QByteArray& contentType)
{
    Response r;
    r.body = body;
    r.headers.append(qMakePair(QByteArray("Content-Type"), QByteArray(contentType)));
    return r;
}

LocalHttpServer::Response LocalHttpServer::Response::generated(qint64 size, const QByteArray& contentType)
{
    Response r;
    r.generatedSize = size;
    r.headers.append(qMakePair(QByteArray("Content-Type"), QByteArray(contentType)));
    return r;
}

LocalHttpServer::Response LocalHttpServer::Response::redirect(const QByteArray& location, int status)
{
    Response r;
    r.status = status;
    r.headers.append(qMakePair(QByteArray("Location"), QByteArray(location)));
    r.headers.append(qMakePair(QByteArray("Content-Type"), QByteArray("text/plain")));
    r.body = "Moved";
    return r;
}

LocalHttpServer::Response LocalHttpServer::Response::notFound()
{
    Response r = data("Not Found", "text/plain");
    r.status = 404;
    return r;
}

LocalHttpServer::Response LocalHttpServer::Response::raw(const QByteArray& bytes)
{
    Response r;
    r.body = bytes;
    r.framing = Framing::CloseDelimited;
    r.asItStands = true;
    return r;
}

LocalHttpServer::LocalHttpServer(QObject* parent) : QObject(parent), m_server(new QTcpServer(this))
{
    m_server->listen(QHostAddress::LocalHost, 0);
    connect(m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = m_server->nextPendingConnection())
            new LocalHttpConnection(this, socket);
    });
}

LocalHttpServer::~LocalHttpServer()
{
    // Connections are children; they must not count down a server that is already half gone.
    const auto connections = m_connections;
    qDeleteAll(connections);
}

bool LocalHttpServer::isListening() const { return m_server->isListening(); }
quint16 LocalHttpServer::port() const { return m_server->serverPort(); }

QString LocalHttpServer::url(const QByteArray& pathAndQuery) const
{
    return QStringLiteral("http://127.0.0.1:%1").arg(port()) + QString::fromUtf8(pathAndQuery);
}

void LocalHttpServer::route(const QByteArray& path, const Response& response)
{
    m_routes.insert(path, [response](const Request&) { return response; });
}

void LocalHttpServer::route(const QByteArray& path, Handler handler) { m_routes.insert(path, std::move(handler)); }

LocalHttpServer::Response LocalHttpServer::respond(const Request& request)
{
    m_requests.append(request);
    ++m_counts[request.path];
    const auto it = m_routes.constFind(request.path);
    return it == m_routes.cend() ? Response::notFound() : (*it)(request);
}

QByteArray LocalHttpServer::generatedBytes(qint64 offset, qint64 size)
{
    QByteArray out(size, Qt::Uninitialized);
    char* p = out.data();
    for (qint64 i = 0; i < size; ++i) {
        const quint64 at = quint64(offset + i);
        p[i] = char((at * 131u) ^ (at >> 9) ^ (at >> 17));
    }
    return out;
}
