#include "PlaylistResolver.h"

#include "Playlist.h"

#include "HttpFetch.h"

#include <QTimer>

#include <algorithm>
#include <optional>
#include <utility>

namespace {

// Bytes taken from the fetch at a time.
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

PlaybackFailure failureForError(HttpFetch::Error error, int status)
{
    switch (error) {
    case HttpFetch::Error::HostNotFound: return PlaybackFailure::HostNotFound;
    case HttpFetch::Error::Refused: return PlaybackFailure::Refused;
    case HttpFetch::Error::Certificate: return PlaybackFailure::Certificate;
    case HttpFetch::Error::HeadTooLarge: return PlaybackFailure::TooLarge;
    case HttpFetch::Error::Encoded: return PlaybackFailure::NotAStream;
    default: break;
    }
    if (status >= 400)
        return failureForStatus(status);
    return PlaybackFailure::Other;
}

bool isRedirect(int status)
{
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

bool isHttpScheme(const QUrl& url)
{
    const QString scheme = url.scheme().toLower();
    return scheme == QLatin1String("http") || scheme == QLatin1String("https");
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
        m_limits = limits;
        m_visited.append(m_url);
        fetch(m_url);
        m_timer.start(limits.timeoutMs);
    }

    // A connection of its own for every address: nothing is shared with the request before, so a
    // hostile server cannot hold up the next channel.
    void fetch(const QUrl& url)
    {
        dropFetch();
        m_current = url;
        m_fetch = new HttpFetch(this);
        connect(m_fetch, &HttpFetch::headReceived, this, &State::onHead);
        connect(m_fetch, &HttpFetch::readyRead, this, &State::onData);
        connect(m_fetch, &HttpFetch::finished, this, &State::onFinished);
        m_fetch->get(url);
    }

    void dropFetch()
    {
        if (HttpFetch* fetch = std::exchange(m_fetch, nullptr)) {
            disconnect(fetch, nullptr, this, nullptr);
            fetch->abort(); // the connection closes now
            fetch->deleteLater();
        }
    }

    // Drops the request without a word: used on cancel, on completion and on destruction.
    void stop()
    {
        m_timer.stop();
        dropFetch();
    }

    void onHead()
    {
        const int code = m_fetch->status();
        // An error page's body must not be taken for the content, nor waited for: decide on the
        // status.
        if (code >= 400) {
            fail(failureForStatus(code), QStringLiteral("HTTP status %1").arg(code));
            return;
        }
        const QByteArray location = m_fetch->header("Location");
        if (isRedirect(code) && !location.isEmpty())
            redirect(m_current.resolved(QUrl(QString::fromUtf8(location).trimmed())));
    }

    void redirect(const QUrl& target)
    {
        if (!isHttpScheme(target)) {
            // One to another scheme names the stream directly (old servers send mms:// this way):
            // hand it on as the single candidate, unless it leads somewhere that is not a network
            // stream.
            if (!playlist::isNetworkStreamUrl(target)) {
                fail(PlaybackFailure::Forbidden, QStringLiteral("redirected to %1").arg(target.toString()));
                return;
            }
            Outcome outcome;
            outcome.type = Outcome::Type::Playlist;
            outcome.url = m_url;
            outcome.candidates = {target};
            outcome.detail = QStringLiteral("redirected to another scheme");
            finish(outcome);
            return;
        }
        if (m_current.scheme().toLower() == QLatin1String("https") && target.scheme().toLower() == QLatin1String("http")) {
            fail(PlaybackFailure::Other, QStringLiteral("redirected from https to plain http: %1").arg(target.toString()));
            return;
        }
        if (m_visited.contains(target)) {
            fail(PlaybackFailure::Loop, QStringLiteral("redirected back to %1").arg(target.toString()));
            return;
        }
        if (++m_redirects > m_limits.maxRedirects) {
            fail(PlaybackFailure::Loop, QStringLiteral("more than %1 redirects").arg(m_limits.maxRedirects));
            return;
        }
        m_visited.append(target);
        fetch(target);
    }

    void onData()
    {
        if (!m_fetch || m_fetch->status() >= 400)
            return;
        if (!m_kind) {
            m_buffer += m_fetch->read(playlist::sniffWindow - m_buffer.size());
            m_kind = playlist::sniffPrefix(m_buffer);
            if (!m_kind)
                return; // too few bytes to tell yet
            if (*m_kind == playlist::Kind::NotPlaylist) {
                notPlaylist();
                return;
            }
            if (m_fetch->declaredLength() > m_limits.maxPlaylistBytes) {
                tooLarge();
                return;
            }
        }
        // A playlist: keep it, but never more than the limit plus the one byte that proves it too big.
        while (m_fetch && m_fetch->bytesAvailable() > 0) {
            m_buffer += m_fetch->read(std::min(readChunk, m_limits.maxPlaylistBytes + 1 - m_buffer.size()));
            if (m_buffer.size() > m_limits.maxPlaylistBytes) {
                tooLarge();
                return;
            }
        }
    }

    void onFinished()
    {
        if (!m_fetch)
            return;
        const int code = m_fetch->status();
        const HttpFetch::Error error = m_fetch->error();
        // A playlist cut off in transfer is still worth what arrived: the parser keeps only the
        // references that came through whole.
        const bool playlistCutOff = error == HttpFetch::Error::Truncated && code >= 200 && code < 300 && m_kind
            && *m_kind != playlist::Kind::NotPlaylist;
        if (error != HttpFetch::Error::None && !playlistCutOff) {
            fail(failureForError(error, code), code >= 400 ? QStringLiteral("HTTP status %1").arg(code) : m_fetch->errorString());
            return;
        }
        onData();
        if (!m_fetch)
            return;
        // In the line form a cut-off last line is a cut-off address: drop it.
        if (error != HttpFetch::Error::None && m_kind == playlist::Kind::Reference)
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
        const playlist::Parsed parsed = playlist::parse(m_buffer, m_current);
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

    void notPlaylist()
    {
        const QString type = QString::fromLatin1(m_fetch->header("Content-Type"));
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
    HttpFetch* m_fetch = nullptr;
    QUrl m_current; // the address being fetched: the first, or where the last redirect led
    int m_redirects = 0;
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
