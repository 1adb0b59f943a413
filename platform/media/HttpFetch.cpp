#include "HttpFetch.h"

#include <QHostInfo>
#include <QNetworkProxy>
#include <QPointer>
#include <QSslSocket>
#include <QTcpSocket>

#include <algorithm>
#include <utility>

namespace {

bool isHttps(const QUrl& url) { return url.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) == 0; }

} // namespace

HttpFetch::HttpFetch(QObject* parent) : QObject(parent)
{
    m_attempt.setSingleShot(true);
    connect(&m_attempt, &QTimer::timeout, this, [this] {
        if (m_stage == Stage::Connecting && !m_tcpConnected && !m_addresses.isEmpty())
            connectNext();
    });
}

HttpFetch::~HttpFetch()
{
    m_stage = Stage::Aborted;
    closeSocket();
}

QByteArray HttpFetch::requestFor(const QUrl& url)
{
    QByteArray target = url.path(QUrl::FullyEncoded).toLatin1();
    if (target.isEmpty())
        target = "/";
    if (url.hasQuery())
        target += '?' + url.query(QUrl::FullyEncoded).toLatin1();
    QByteArray host = url.host(QUrl::FullyEncoded).toLatin1();
    if (host.contains(':'))
        host = '[' + host + ']';
    if (url.port() != -1 && url.port() != (isHttps(url) ? 443 : 80))
        host += ':' + QByteArray::number(url.port());
    return "GET " + target + " HTTP/1.1\r\nHost: " + host
        + "\r\nUser-Agent: Lumivo/5.5\r\nAccept-Encoding: identity\r\nConnection: close\r\n\r\n";
}

void HttpFetch::get(const QUrl& url)
{
    Q_ASSERT(m_stage == Stage::Idle); // one request per object
    m_url = url;
    // From the event loop: a refused connection to a local address can be reported by the socket
    // while it is still connecting, and get() must never report from inside itself.
    QMetaObject::invokeMethod(this, &HttpFetch::begin, Qt::QueuedConnection);
}

void HttpFetch::begin()
{
    if (m_stage != Stage::Idle)
        return;
    const QString scheme = m_url.scheme().toLower();
    const QString host = m_url.host(QUrl::FullyEncoded);
    if ((scheme != QLatin1String("http") && scheme != QLatin1String("https")) || host.isEmpty()) {
        finish(Error::Unsupported, QStringLiteral("not an http address: %1").arg(m_url.toString()));
        return;
    }
    if (QHostAddress literal; literal.setAddress(host)) {
        m_addresses = {literal};
        connectNext();
        return;
    }
    m_stage = Stage::LookingUp;
    // The answer goes to a context object of its own: dropping it drops the answer, so a lookup
    // that never comes back is never waited for.
    m_lookupContext = new QObject(this);
    m_lookupId = QHostInfo::lookupHost(host, m_lookupContext, [this](const QHostInfo& info) { onLookedUp(info); });
}

void HttpFetch::onLookedUp(const QHostInfo& info)
{
    if (QObject* context = std::exchange(m_lookupContext, nullptr))
        context->deleteLater();
    m_lookupId = -1;
    if (m_stage != Stage::LookingUp)
        return;
    if (info.error() != QHostInfo::NoError || info.addresses().isEmpty()) {
        finish(Error::HostNotFound, info.errorString());
        return;
    }
    m_addresses = info.addresses();
    connectNext();
}

void HttpFetch::connectNext()
{
    closeSocket();
    const QHostAddress address = m_addresses.takeFirst();
    const quint16 port = quint16(m_url.port(isHttps(m_url) ? 443 : 80));
    m_stage = Stage::Connecting;
    m_tcpConnected = false;
    m_inputEnded = false;
    if (isHttps(m_url)) {
        auto* socket = new QSslSocket(this);
        m_socket = socket;
        connect(socket, &QSslSocket::encrypted, this, &HttpFetch::onConnected);
    } else {
        m_socket = new QTcpSocket(this);
        connect(m_socket, &QTcpSocket::connected, this, &HttpFetch::onConnected);
    }
    m_socket->setProxy(QNetworkProxy::NoProxy);
    // The socket reads no further ahead of us than this.
    m_socket->setReadBufferSize(m_limits.bufferBytes);
    connect(m_socket, &QAbstractSocket::connected, this, [this] {
        m_tcpConnected = true;
        m_attempt.stop();
    });
    connect(m_socket, &QAbstractSocket::errorOccurred, this, &HttpFetch::onSocketError);
    connect(m_socket, &QIODevice::readyRead, this, &HttpFetch::pump);
    connect(m_socket, &QAbstractSocket::disconnected, this, [this] {
        m_inputEnded = true;
        pump();
    });
    // An address that swallows the connect (an IPv6 route that goes nowhere) must not use up the
    // caller's whole time while another address would answer.
    if (!m_addresses.isEmpty())
        m_attempt.start(m_limits.attemptMs);
    if (auto* tls = qobject_cast<QSslSocket*>(m_socket))
        // Connects to the address looked up, and checks the certificate against the name asked for.
        tls->connectToHostEncrypted(address.toString(), port, m_url.host(QUrl::FullyEncoded));
    else
        m_socket->connectToHost(address, port);
}

void HttpFetch::onConnected()
{
    if (m_stage != Stage::Connecting)
        return;
    m_stage = Stage::Head;
    m_socket->write(requestFor(m_url));
    pump();
}

void HttpFetch::onSocketError()
{
    const QAbstractSocket::SocketError error = m_socket->error();
    const QString text = m_socket->errorString();
    if (m_stage == Stage::Connecting) {
        if (error == QAbstractSocket::SslHandshakeFailedError) {
            finish(Error::Certificate, text);
            return;
        }
        // Another address of the same name may answer (IPv6 and IPv4, several servers).
        if (!m_tcpConnected && !m_addresses.isEmpty()) {
            connectNext();
            return;
        }
        finish(error == QAbstractSocket::ConnectionRefusedError ? Error::Refused : Error::Network, text);
        return;
    }
    if (m_stage == Stage::Head || m_stage == Stage::Body) {
        // A close or a reset: what arrived before it is still read.
        m_inputEnded = true;
        pump();
    }
}

bool HttpFetch::pull(qint64 upTo)
{
    if (!m_socket || upTo <= 0 || m_socket->bytesAvailable() <= 0)
        return false;
    const QByteArray more = m_socket->read(std::min(upTo, m_socket->bytesAvailable()));
    m_raw += more;
    return !more.isEmpty();
}

bool HttpFetch::inputDrained() const
{
    return m_inputEnded && (!m_socket || m_socket->bytesAvailable() <= 0);
}

void HttpFetch::pump()
{
    if (m_stage == Stage::Head && !readHead())
        return;
    if (m_stage == Stage::Body)
        readBody();
}

bool HttpFetch::readHead()
{
    const httpwire::HeadLimits& limits = m_limits.head;
    httpwire::HeadParse parsed;
    while (true) {
        parsed = httpwire::parseHead(m_raw, limits);
        if (parsed.status == httpwire::HeadStatus::Complete)
            break;
        if (parsed.status == httpwire::HeadStatus::TooLarge) {
            finish(Error::HeadTooLarge, QStringLiteral("response head over %1 bytes, %2 lines or %3 bytes a line")
                                            .arg(limits.maxBytes).arg(limits.maxFields).arg(limits.maxLineBytes));
            return false;
        }
        if (parsed.status == httpwire::HeadStatus::Malformed) {
            finish(Error::Malformed, QStringLiteral("not an HTTP response"));
            return false;
        }
        if (!pull(limits.maxBytes + 1 - m_raw.size())) {
            if (inputDrained())
                finish(m_raw.isEmpty() ? Error::Network : Error::Malformed,
                       m_raw.isEmpty() ? QStringLiteral("closed without an answer") : QStringLiteral("closed inside the response head"));
            return false;
        }
    }
    m_head = std::move(parsed.head);
    m_raw.remove(0, parsed.consumed);
    m_framing = httpwire::framing(m_head);
    m_bodyLeft = m_framing.kind == httpwire::Framing::Kind::Length ? m_framing.length : 0;
    m_stage = Stage::Body;
    const QPointer<HttpFetch> self(this);
    Q_EMIT headReceived();
    if (!self || m_stage != Stage::Body)
        return false;
    // Compressed although we asked for none: a playlist server never does that, a decompression
    // bomb does.
    if (const QByteArray coding = httpwire::contentCoding(m_head); !coding.isEmpty()) {
        finish(Error::Encoded, QStringLiteral("answer compressed with ") + QString::fromLatin1(coding));
        return false;
    }
    if (m_framing.kind == httpwire::Framing::Kind::Unsupported) {
        finish(Error::Encoded, QStringLiteral("transfer coding ") + QString::fromLatin1(m_head.value("Transfer-Encoding")));
        return false;
    }
    if (m_framing.kind == httpwire::Framing::Kind::Malformed) {
        finish(Error::Malformed, QStringLiteral("Content-Length ") + QString::fromLatin1(m_head.value("Content-Length")));
        return false;
    }
    return true;
}

void HttpFetch::readBody()
{
    using Kind = httpwire::Framing::Kind;
    const qsizetype before = m_body.size();
    bool done = m_framing.kind == Kind::NoBody || (m_framing.kind == Kind::Length && m_bodyLeft == 0);
    bool broken = false;
    bool waitingForInput = false;
    while (!done && !broken) {
        const qint64 room = m_limits.bufferBytes - m_body.size();
        if (room <= 0)
            break; // the reader drains first
        if (m_framing.kind == Kind::Chunked) {
            qsizetype used = 0;
            const auto status = m_chunks.feed(m_raw, &used, &m_body, room);
            m_raw.remove(0, used);
            done = status == httpwire::ChunkDecoder::Status::Done;
            broken = status == httpwire::ChunkDecoder::Status::Broken;
            if (done || broken)
                break;
        } else {
            qint64 n = std::min<qint64>(m_raw.size(), room);
            if (m_framing.kind == Kind::Length)
                n = std::min(n, m_bodyLeft);
            m_body += m_raw.first(qsizetype(n));
            m_raw.remove(0, qsizetype(n));
            if (m_framing.kind == Kind::Length) {
                m_bodyLeft -= n;
                if (m_bodyLeft == 0) {
                    done = true; // anything the server sends beyond its own length is not ours
                    break;
                }
            }
        }
        if (m_body.size() >= m_limits.bufferBytes)
            break;
        // The raw buffer holds no more than a chunk-size line and a buffer's worth beyond it.
        if (!pull(m_limits.bufferBytes + httpwire::ChunkDecoder::maxSizeLineBytes - m_raw.size())) {
            waitingForInput = true;
            break;
        }
    }
    if (m_body.size() > before) {
        const QPointer<HttpFetch> self(this);
        Q_EMIT readyRead();
        if (!self || m_stage != Stage::Body)
            return;
    }
    if (done) {
        finish(Error::None);
    } else if (broken) {
        finish(Error::Truncated, QStringLiteral("broken chunked framing"));
    } else if (waitingForInput && inputDrained()) {
        if (m_framing.kind == Kind::UntilClose)
            finish(Error::None);
        else
            finish(Error::Truncated, QStringLiteral("connection closed before the end of the body"));
    }
}

QByteArray HttpFetch::read(qint64 maxBytes)
{
    const qsizetype n = qsizetype(std::clamp<qint64>(maxBytes, 0, m_body.size()));
    const bool wasFull = m_body.size() >= m_limits.bufferBytes;
    const QByteArray out = m_body.first(n);
    m_body.remove(0, n);
    // Bytes may wait in the socket with no new signal to come: carry on from the event loop.
    if (wasFull && m_stage == Stage::Body && !m_pumpQueued) {
        m_pumpQueued = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_pumpQueued = false;
                pump();
            },
            Qt::QueuedConnection);
    }
    return out;
}

qint64 HttpFetch::declaredLength() const
{
    return m_framing.kind == httpwire::Framing::Kind::Length ? m_framing.length : -1;
}

void HttpFetch::abort()
{
    m_stage = Stage::Aborted;
    closeSocket();
}

void HttpFetch::finish(Error error, const QString& detail)
{
    if (m_stage == Stage::Finished || m_stage == Stage::Aborted)
        return;
    m_error = error;
    m_errorString = detail;
    m_stage = Stage::Finished;
    closeSocket(); // nothing more is wanted from the server
    Q_EMIT finished();
}

void HttpFetch::closeSocket()
{
    m_attempt.stop();
    if (QObject* context = std::exchange(m_lookupContext, nullptr)) {
        QHostInfo::abortHostLookup(m_lookupId);
        m_lookupId = -1;
        delete context;
    }
    if (QTcpSocket* socket = std::exchange(m_socket, nullptr)) {
        disconnect(socket, nullptr, this, nullptr);
        socket->abort();
        socket->deleteLater();
    }
}
