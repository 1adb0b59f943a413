#include "PlaylistResolver.h"

#include "Playlist.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QThread>
#include <QTimer>
#include <QCoreApplication>

#include <optional>
#include <utility>

namespace {

// Bytes taken from the network layer at a time; it buffers no more than this for us.
constexpr qint64 readChunk = 64 * 1024;

PlaybackFailure failureForStatus(int status)
{
    // 4xx: the server says the file is not there for us (missing, gone, forbidden) and asking
    // again will not change that. 5xx: the server is in trouble, not the address, so "cannot play"
    // rather than "not found".
    if (status >= 400 && status < 500)
        return PlaybackFailure::NotFound;
    return PlaybackFailure::Other;
}

PlaybackFailure failureForError(QNetworkReply::NetworkError error, int status)
{
    switch (error) {
    case QNetworkReply::HostNotFoundError: return PlaybackFailure::HostNotFound;
    case QNetworkReply::ConnectionRefusedError: return PlaybackFailure::Refused;
    case QNetworkReply::TooManyRedirectsError: return PlaybackFailure::Loop;
    case QNetworkReply::TimeoutError: return PlaybackFailure::TimedOut;
    case QNetworkReply::SslHandshakeFailedError: return PlaybackFailure::Certificate;
    default: break;
    }
    if (status >= 400)
        return failureForStatus(status);
    return PlaybackFailure::Other;
}

// Ending a network access manager waits for its thread; one stuck on a hostile connection
// would hold up the caller for seconds. They end on a thread of their own instead.
void retireNetwork(QNetworkAccessManager* network)
{
    static QThread* reaper = [] {
        auto* thread = new QThread;
        thread->setObjectName(QStringLiteral("lumivo-network-reaper"));
        thread->start();
        QObject::connect(qApp, &QCoreApplication::aboutToQuit, thread, [thread] { thread->quit(); });
        return thread;
    }();
    network->moveToThread(reaper);
    network->deleteLater();
}

} // namespace

struct PlaylistResolver::State : QObject
{
    State(PlaylistResolver* owner, const QUrl& url) : QObject(owner), m_owner(owner), m_url(url)
    {
        m_timer.setSingleShot(true);
        connect(&m_timer, &QTimer::timeout, this, [this] {
            if (m_pending)
                finish(*m_pending);
            else
                fail(PlaybackFailure::TimedOut, QStringLiteral("no complete answer in time"));
        });
    }

    ~State() override { stop(); }

    // Hands `outcome` over from the event loop, so that resolve() never emits from inside itself.
    void finishSoon(const Outcome& outcome)
    {
        m_pending = outcome;
        m_timer.start(0);
    }

    void start(const Limits& limits)
    {
        // A network access manager of its own, retired with this resolve: its network thread serves
        // no other request, so a hostile server that keeps it busy (headers without end keep it
        // reading) cannot hold up the next channel.
        m_network = new QNetworkAccessManager;
        m_network->setCookieJar(nullptr);
        QNetworkAccessManager* network = m_network;
        m_limits = limits;
        m_visited.append(m_url);
        QNetworkRequest request(m_url);
        // A playlist names the stream of the moment: never from a cache, never into one.
        request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
        request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
        request.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("Lumivo/5.5"));
        // Playlists are small: nothing compressed is asked for, so nothing is ever inflated here.
        request.setRawHeader("Accept-Encoding", "identity");
        request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
        request.setMaximumRedirectsAllowed(limits.maxRedirects);
        m_reply = network->get(request);
        m_reply->setReadBufferSize(readChunk);
        connect(m_reply, &QNetworkReply::metaDataChanged, this, &State::onMetaData);
        connect(m_reply, &QNetworkReply::redirected, this, &State::onRedirected);
        connect(m_reply, &QNetworkReply::readyRead, this, &State::onData);
        connect(m_reply, &QNetworkReply::finished, this, &State::onFinished);
        m_timer.start(limits.timeoutMs);
    }

    // Drops the request without a word: used on cancel, on completion and on destruction.
    void stop()
    {
        m_timer.stop();
        if (QNetworkReply* reply = m_reply) {
            m_reply = nullptr;
            disconnect(reply, nullptr, this, nullptr);
            reply->abort();
        }
        // The reply goes with its manager; later, as this may run inside one of its signals.
        if (QNetworkAccessManager* network = std::exchange(m_network, nullptr))
            QTimer::singleShot(0, QCoreApplication::instance(), [network] { retireNetwork(network); });
    }

    bool compressed() const
    {
        const QByteArray encoding = m_reply ? m_reply->rawHeader("Content-Encoding").trimmed().toLower() : QByteArray();
        return !encoding.isEmpty() && encoding != "identity";
    }

    int status() const { return m_reply ? m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() : 0; }

    void onMetaData()
    {
        // An error page's body must not be taken for the content, nor waited for: decide on the
        // status. From the event loop, as the reply does not take an abort inside this signal.
        if (const int code = status(); code >= 400) {
            QMetaObject::invokeMethod(
                this, [this, code] { fail(failureForStatus(code), QStringLiteral("HTTP status %1").arg(code)); },
                Qt::QueuedConnection);
            return;
        }
        // Compressed although we asked for none: a playlist server never does that, a decompression
        // bomb does.
        if (compressed()) {
            const QByteArray encoding = m_reply->rawHeader("Content-Encoding");
            QMetaObject::invokeMethod(
                this, [this, encoding] { fail(PlaybackFailure::NotAStream, QStringLiteral("answer compressed with ") + QString::fromLatin1(encoding)); },
                Qt::QueuedConnection);
        }
    }

    void onRedirected(const QUrl& target)
    {
        if (m_visited.contains(target)) {
            fail(PlaybackFailure::Loop, QStringLiteral("redirected back to %1").arg(target.toString()));
            return;
        }
        m_visited.append(target);
    }

    void onData()
    {
        if (!m_reply || status() >= 400 || compressed())
            return;
        if (!m_kind) {
            m_buffer += m_reply->read(playlist::sniffWindow - m_buffer.size());
            m_kind = playlist::sniffPrefix(m_buffer);
            if (!m_kind)
                return; // too few bytes to tell yet
            if (*m_kind == playlist::Kind::NotPlaylist) {
                notPlaylist();
                return;
            }
            const qint64 declared = m_reply->header(QNetworkRequest::ContentLengthHeader).toLongLong();
            if (declared > m_limits.maxPlaylistBytes) {
                tooLarge();
                return;
            }
        }
        // A playlist: keep it, but never more than the limit plus the one byte that proves it too big.
        while (m_reply && m_reply->bytesAvailable() > 0) {
            m_buffer += m_reply->read(m_limits.maxPlaylistBytes + 1 - m_buffer.size());
            if (m_buffer.size() > m_limits.maxPlaylistBytes) {
                tooLarge();
                return;
            }
        }
    }

    void onFinished()
    {
        if (!m_reply)
            return;
        const int code = status();
        if (code >= 300 && code < 400 && redirectedAway())
            return;
        // A playlist cut off in transfer is still worth what arrived: the parser keeps only the
        // references that came through whole.
        const bool playlistCutOff = code >= 200 && code < 300 && m_kind && *m_kind != playlist::Kind::NotPlaylist;
        if (m_reply->error() != QNetworkReply::NoError && !playlistCutOff) {
            fail(failureForError(m_reply->error(), code),
                 code >= 400 ? QStringLiteral("HTTP status %1").arg(code) : m_reply->errorString());
            return;
        }
        onData();
        if (!m_reply)
            return;
        // In the line form a cut-off last line is a cut-off address: drop it.
        if (m_reply->error() != QNetworkReply::NoError && m_kind == playlist::Kind::Reference)
            m_buffer.truncate(m_buffer.lastIndexOf('\n') + 1);
        if (m_buffer.trimmed().isEmpty()) {
            fail(PlaybackFailure::NotAStream, QStringLiteral("empty answer"));
            return;
        }
        if (!m_kind)
            m_kind = playlist::sniff(m_buffer);
        if (*m_kind == playlist::Kind::NotPlaylist) {
            notPlaylist();
            return;
        }
        m_visited.append(m_reply->url());
        const playlist::Parsed parsed = playlist::parse(m_buffer, m_reply->url());
        Outcome outcome;
        outcome.url = m_url;
        bool selfReference = false;
        for (const QUrl& candidate : parsed.candidates) {
            // A playlist that names itself (or an address on its own redirect path) would be
            // fetched again and again.
            if (m_visited.contains(candidate))
                selfReference = true;
            else
                outcome.candidates.append(candidate);
        }
        if (outcome.candidates.isEmpty()) {
            if (selfReference)
                fail(PlaybackFailure::Loop, QStringLiteral("the playlist names only itself"));
            else if (!parsed.refused.isEmpty())
                fail(PlaybackFailure::Forbidden, parsed.error);
            else
                fail(PlaybackFailure::NotAStream, parsed.error);
            return;
        }
        outcome.type = Outcome::Type::Playlist;
        outcome.detail = QStringLiteral("%1 candidate(s)").arg(outcome.candidates.size());
        if (!parsed.refused.isEmpty())
            outcome.detail += QStringLiteral("; refused: ") + parsed.refused.join(QStringLiteral(", "));
        finish(outcome);
    }

    // The network layer follows http(s) redirects only. One to another scheme names the stream
    // directly (old servers send mms:// this way): hand it on as the single candidate, unless it
    // leads somewhere that is not a network stream.
    bool redirectedAway()
    {
        const QUrl target = m_reply->url().resolved(QUrl(QString::fromUtf8(m_reply->rawHeader("Location")).trimmed()));
        const QString scheme = target.scheme().toLower();
        if (scheme == QLatin1String("http") || scheme == QLatin1String("https"))
            return false; // followed already; its error (too many, insecure) stands
        if (!playlist::isNetworkStreamUrl(target)) {
            fail(PlaybackFailure::Forbidden, QStringLiteral("redirected to %1").arg(target.toString()));
            return true;
        }
        Outcome outcome;
        outcome.type = Outcome::Type::Playlist;
        outcome.url = m_url;
        outcome.candidates = {target};
        outcome.detail = QStringLiteral("redirected to another scheme");
        finish(outcome);
        return true;
    }

    void notPlaylist()
    {
        const QString type = m_reply->header(QNetworkRequest::ContentTypeHeader).toString();
        if (playlist::looksLikeHtml(m_buffer) || type.startsWith(QLatin1String("text/html"), Qt::CaseInsensitive)) {
            fail(PlaybackFailure::NotAStream, QStringLiteral("an HTML page"));
            return;
        }
        // Something else, most likely the stream itself: the engine opens the address on its own.
        Outcome outcome;
        outcome.type = Outcome::Type::Stream;
        outcome.url = m_url;
        outcome.detail = type;
        finish(outcome);
    }

    void tooLarge()
    {
        fail(PlaybackFailure::TooLarge, QStringLiteral("playlist larger than %1 bytes").arg(m_limits.maxPlaylistBytes));
    }

    void fail(PlaybackFailure failure, const QString& detail)
    {
        Outcome outcome;
        outcome.type = Outcome::Type::Failed;
        outcome.url = m_url;
        outcome.failure = failure;
        outcome.detail = detail;
        finish(outcome);
    }

    void finish(const Outcome& outcome)
    {
        // A call queued before this resolve ended (or was replaced) has nothing more to say.
        if (m_owner->m_state == this)
            m_owner->complete(outcome);
    }

    PlaylistResolver* m_owner;
    QUrl m_url;
    Limits m_limits;
    QTimer m_timer;
    QNetworkAccessManager* m_network = nullptr;
    QPointer<QNetworkReply> m_reply;
    QByteArray m_buffer;
    std::optional<playlist::Kind> m_kind;
    QList<QUrl> m_visited; // the address and every redirect target
    std::optional<Outcome> m_pending;
};

PlaylistResolver::PlaylistResolver(QObject* parent) : QObject(parent) {}

void PlaylistResolver::resolve(const QUrl& url)
{
    cancel();
    m_state = new State(this, url);
    if (!playlist::isNetworkStreamUrl(url)) {
        Outcome outcome;
        outcome.url = url;
        outcome.failure = PlaybackFailure::Forbidden;
        outcome.detail = QStringLiteral("not a network stream address");
        m_state->finishSoon(outcome);
        return;
    }
    const QString scheme = url.scheme().toLower();
    if (scheme != QLatin1String("http") && scheme != QLatin1String("https")) {
        // rtsp and mms carry streams, not playlists: nothing to look at here.
        Outcome outcome;
        outcome.type = Outcome::Type::Stream;
        outcome.url = url;
        m_state->finishSoon(outcome);
        return;
    }
    m_state->start(m_limits);
}

void PlaylistResolver::cancel()
{
    if (State* state = std::exchange(m_state, nullptr)) {
        state->stop();
        state->deleteLater();
    }
}

bool PlaylistResolver::busy() const
{
    return m_state != nullptr;
}

void PlaylistResolver::complete(const Outcome& outcome)
{
    // Tear down first: a receiver may start the next resolve from its slot.
    const Outcome result = outcome;
    cancel();
    Q_EMIT finished(result);
}
