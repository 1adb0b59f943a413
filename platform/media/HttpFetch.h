#pragma once

#include "HttpWire.h"

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QTimer>
#include <QUrl>

class QHostInfo;
class QTcpSocket;

// One HTTP/1.1 GET over its own connection (TLS for https, verified against the system's
// certificates), on the thread that makes it: the sockets are non-blocking, no thread is needed.
// Every read is bounded: the head by HeadLimits, the body by a buffer the reader drains, so a
// hostile server costs a few KiB and no CPU beyond the bytes that arrive.
//
// Contract:
// - get() starts; nothing is reported from inside it.
// - Reports, in order: headReceived() at most once (status and fields are then known),
//   readyRead() whenever body bytes are waiting, finished() exactly once, last, with error()
//   saying how it ended. abort() ends it at once (the connection is closed, a name lookup under
//   way is dropped, never waited for) and nothing more is reported.
// - Redirects are not followed: a 3xx is reported like any other status.
// - The object may be aborted from any of its signals and deleted with deleteLater() there.
// - No proxy, cookies or cache: connects directly to the addresses the name resolves to.
class HttpFetch : public QObject
{
    Q_OBJECT
public:
    enum class Error {
        None,
        HostNotFound,
        Refused,
        Certificate,    // TLS handshake failed: certificate not valid for the host, or no common ground
        Network,        // the connection broke or closed before the head ended
        Truncated,      // the body ended before its declared end (short, cut off, broken chunks)
        HeadTooLarge,   // the head crossed the limits
        Malformed,      // not an HTTP/1.x answer
        Encoded,        // a content or transfer coding we do not take
        Unsupported,    // not an http or https address
    };

    struct Limits
    {
        httpwire::HeadLimits head;
        qint64 bufferBytes = 64 * 1024; // body bytes held for the reader; the socket waits beyond that
        int attemptMs = 3000; // a connect that gets no answer gives way to the name's next address
    };

    explicit HttpFetch(QObject* parent = nullptr);
    ~HttpFetch() override;

    void setLimits(const Limits& limits) { m_limits = limits; }
    void get(const QUrl& url);
    void abort();

    QUrl url() const { return m_url; }
    int status() const { return m_head.status; }
    QByteArray header(QByteArrayView name) const { return m_head.value(name); }
    qint64 declaredLength() const; // -1 when the head gives none
    qint64 bytesAvailable() const { return m_body.size(); }
    QByteArray read(qint64 maxBytes);
    bool isFinished() const { return m_stage == Stage::Finished; }
    Error error() const { return m_error; }
    QString errorString() const { return m_errorString; }

    // The request as sent for `url` (exposed for tests).
    static QByteArray requestFor(const QUrl& url);

Q_SIGNALS:
    void headReceived();
    void readyRead();
    void finished();

private:
    enum class Stage { Idle, LookingUp, Connecting, Head, Body, Finished, Aborted };

    void begin();
    void onLookedUp(const QHostInfo& info);
    void connectNext();
    void onConnected();
    void onSocketError();
    void pump();
    bool readHead();
    void readBody();
    bool pull(qint64 upTo);
    void finish(Error error, const QString& detail = {});
    void closeSocket();
    bool inputDrained() const;

    Limits m_limits;
    QUrl m_url;
    Stage m_stage = Stage::Idle;
    Error m_error = Error::None;
    QString m_errorString;
    QObject* m_lookupContext = nullptr; // deleting it drops a lookup's answer
    int m_lookupId = -1;
    QList<QHostAddress> m_addresses;
    QTcpSocket* m_socket = nullptr;
    QTimer m_attempt;
    bool m_tcpConnected = false;
    bool m_inputEnded = false; // the server closed (or reset) the connection
    bool m_pumpQueued = false;
    QByteArray m_raw;  // bytes read from the socket and not yet taken apart
    QByteArray m_body; // body bytes for the reader
    httpwire::Head m_head;
    httpwire::Framing m_framing;
    httpwire::ChunkDecoder m_chunks;
    qint64 m_bodyLeft = 0; // for Length framing
};
