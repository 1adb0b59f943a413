#include "PlaybackSession.h"

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcSession, "lumivo.player", QtWarningMsg)

PlaybackEngine::~PlaybackEngine() = default;

namespace {

bool isHttp(const QUrl& url)
{
    const QString s = url.scheme().toLower();
    return s == u"http" || s == u"https";
}

} // namespace

PlaybackSession::PlaybackSession(std::unique_ptr<PlaybackEngine> engine, QObject* parent)
    : QObject(parent), m_engine(std::move(engine))
{
    m_resolver = new PlaylistResolver(this);
    connect(m_resolver, &PlaylistResolver::finished, this, &PlaybackSession::resolverFinished);

    PlaybackEngine* e = m_engine.get();
    connect(e, &PlaybackEngine::connected, this, [this] { setStage(PlaybackStage::Buffering, 0); });
    connect(e, &PlaybackEngine::buffering, this, &PlaybackSession::engineBuffering);
    connect(e, &PlaybackEngine::playing, this, &PlaybackSession::enginePlaying);
    connect(e, &PlaybackEngine::pausedChanged, this, &PlaybackSession::enginePausedChanged);
    connect(e, &PlaybackEngine::frameRendered, this, &PlaybackSession::engineFrameRendered);
    connect(e, &PlaybackEngine::openFailed, this, &PlaybackSession::engineOpenFailed);
    connect(e, &PlaybackEngine::ended, this, &PlaybackSession::engineEnded);

    m_openBudget.setSingleShot(true);
    m_openBudget.setInterval(DefaultOpenBudgetMs);
    connect(&m_openBudget, &QTimer::timeout, this, &PlaybackSession::openBudgetSpent);
    m_reconnectTimer.setSingleShot(true);
    connect(&m_reconnectTimer, &QTimer::timeout, this, &PlaybackSession::reconnect);
}

PlaybackSession::~PlaybackSession()
{
    m_resolver->cancel();
    m_engine->stop();
}

void PlaybackSession::setResolverLimits(const PlaylistResolver::Limits& limits) { m_resolver->setLimits(limits); }

QString PlaybackSession::statusText() const { return playbackStatusText(m_stage, m_percent, m_failure); }

bool PlaybackSession::active() const
{
    switch (m_stage) {
    case PlaybackStage::Playing:
    case PlaybackStage::Paused:
    case PlaybackStage::Buffering:
    case PlaybackStage::Connecting:
    case PlaybackStage::Reconnecting:
        return true;
    default:
        return false;
    }
}

void PlaybackSession::resetAttempts()
{
    m_reconnectTimer.stop();
    m_reconnects = 0;
    m_reconnecting = false;
    m_playingSince.invalidate();
    m_droppedSince.invalidate();
    m_resolver->cancel();
    m_queue.clear();
    m_seen.clear();
    m_tried = 0;
    m_openBudget.stop();
    m_played = false;
    m_failure = PlaybackFailure::None;
    m_frameSeen = false;
    m_currentStream = QUrl();
}

void PlaybackSession::setURL(const QString& url)
{
    m_url = url;
    resetAttempts();
    if (url.trimmed().isEmpty()) {
        m_engine->stop();
        setStage(PlaybackStage::Idle);
        return;
    }
    if (!m_autoStart)
        return;
    m_queue.push_back(QUrl::fromUserInput(url.trimmed()));
    m_stage = PlaybackStage::Idle; // every write starts afresh, also while connecting
    setStage(PlaybackStage::Connecting);
    m_openBudget.start();
    tryNext();
}

void PlaybackSession::stop()
{
    m_reconnectTimer.stop();
    m_openBudget.stop();
    m_reconnecting = false;
    m_resolver->cancel();
    m_queue.clear();
    m_engine->stop();
    if (m_paused) {
        m_paused = false;
        Q_EMIT pausedChanged(false);
    }
    m_engine->setPaused(false);
    setStage(PlaybackStage::Stopped);
}

void PlaybackSession::togglePause()
{
    if (m_stage == PlaybackStage::Stopped) {
        setURL(m_url); // live streams restart from now
        return;
    }
    m_paused = !m_paused;
    m_engine->setPaused(m_paused);
    Q_EMIT pausedChanged(m_paused);
}

void PlaybackSession::tryNext()
{
    while (!m_queue.isEmpty()) {
        if (m_tried >= MaxAddressesTried) {
            giveUp(PlaybackFailure::TooManyAddresses);
            return;
        }
        const QUrl next = m_queue.takeFirst();
        if (isHttp(next)) {
            // Only an address met again is a loop; many distinct ones are bounded by the cap.
            if (m_seen.contains(next)) {
                m_failure = PlaybackFailure::Loop;
                continue;
            }
            m_seen.insert(next);
            ++m_tried;
            m_resolver->resolve(next);
            return;
        }
        ++m_tried;
        openInEngine(next);
        return;
    }
    m_engine->stop();
    fail(m_failure == PlaybackFailure::None ? PlaybackFailure::Other : m_failure);
}

// Ends the walk through the candidates with the last real failure met, if any.
void PlaybackSession::giveUp(PlaybackFailure fallback)
{
    m_openBudget.stop();
    m_resolver->cancel();
    m_queue.clear();
    m_engine->stop();
    const bool real = m_failure != PlaybackFailure::None && m_failure != PlaybackFailure::Loop;
    fail(real ? m_failure : fallback);
}

void PlaybackSession::openBudgetSpent()
{
    if (m_played || m_reconnecting || (m_stage != PlaybackStage::Connecting && m_stage != PlaybackStage::Buffering))
        return;
    giveUp(PlaybackFailure::TimedOut);
}

void PlaybackSession::resolverFinished(const PlaylistResolver::Outcome& outcome)
{
    switch (outcome.type) {
    case PlaylistResolver::Outcome::Type::Stream:
        openInEngine(outcome.url);
        return;
    case PlaylistResolver::Outcome::Type::Playlist:
        // The playlist's streams go first, in order, before anything queued after the playlist;
        // tryNext skips (and reports as a loop) any playlist already fetched.
        m_queue = outcome.candidates + m_queue;
        tryNext();
        return;
    case PlaylistResolver::Outcome::Type::Failed:
        qCDebug(lcSession) << "playlist failed:" << outcome.url << int(outcome.failure) << outcome.detail;
        m_failure = outcome.failure;
        tryNext();
        return;
    }
}

void PlaybackSession::openInEngine(const QUrl& url)
{
    m_currentStream = url;
    if (m_stage != PlaybackStage::Connecting)
        setStage(PlaybackStage::Connecting);
    m_engine->open(url);
}

void PlaybackSession::engineBuffering(int percent)
{
    if (m_stage == PlaybackStage::Connecting || m_stage == PlaybackStage::Buffering || m_stage == PlaybackStage::Playing
        || m_stage == PlaybackStage::Reconnecting)
        setStage(PlaybackStage::Buffering, percent);
}

void PlaybackSession::enginePlaying()
{
    m_played = true;
    m_openBudget.stop();
    m_reconnecting = false;
    m_playingSince.start();
    setStage(m_paused ? PlaybackStage::Paused : PlaybackStage::Playing);
}

void PlaybackSession::enginePausedChanged(bool paused)
{
    const bool changed = paused != m_paused;
    m_paused = paused;
    if (m_stage == PlaybackStage::Playing || m_stage == PlaybackStage::Paused)
        setStage(paused ? PlaybackStage::Paused : PlaybackStage::Playing);
    if (changed)
        Q_EMIT pausedChanged(paused);
}

void PlaybackSession::engineFrameRendered()
{
    if (!m_frameSeen && m_stage != PlaybackStage::Idle && m_stage != PlaybackStage::Stopped) {
        m_frameSeen = true;
        Q_EMIT firstFrame();
    }
}

void PlaybackSession::engineOpenFailed(PlaybackFailure failure, const QString& detail)
{
    qCDebug(lcSession) << "open failed:" << m_currentStream << int(failure) << detail;
    if (m_reconnecting) {
        // The stream was playing: that it dropped is the news, whatever the reopen met.
        scheduleReconnect(PlaybackFailure::Interrupted);
        return;
    }
    m_failure = failure;
    tryNext();
}

void PlaybackSession::engineEnded(PlaybackFailure failure)
{
    if (failure == PlaybackFailure::None) {
        setStage(PlaybackStage::Stopped);
        return;
    }
    if (m_playingSince.isValid() && m_playingSince.elapsed() >= m_policy.stableRunMs) {
        m_reconnects = 0;
        m_droppedSince.invalidate();
    }
    m_playingSince.invalidate();
    if (failure != PlaybackFailure::Interrupted || !m_currentStream.isValid()) {
        fail(failure);
        return;
    }
    scheduleReconnect(failure);
}

void PlaybackSession::scheduleReconnect(PlaybackFailure failure)
{
    if (!m_droppedSince.isValid())
        m_droppedSince.start();
    const int delay = m_policy.delaysMs.isEmpty()
                          ? -1
                          : m_policy.delaysMs.value(m_reconnects, m_policy.delaysMs.last());
    if (delay < 0 || m_droppedSince.elapsed() + delay > m_policy.budgetMs) {
        m_reconnecting = false;
        m_droppedSince.invalidate();
        fail(failure);
        return;
    }
    ++m_reconnects;
    m_reconnecting = true;
    setStage(PlaybackStage::Reconnecting);
    m_reconnectTimer.start(delay);
}

void PlaybackSession::reconnect()
{
    m_frameSeen = false;
    m_engine->open(m_currentStream);
}

void PlaybackSession::fail(PlaybackFailure failure)
{
    m_openBudget.stop();
    m_failure = failure;
    setStage(PlaybackStage::Failed);
}

void PlaybackSession::setStage(PlaybackStage stage, int percent)
{
    const bool changed = stage != m_stage || percent != m_percent;
    m_stage = stage;
    m_percent = percent;
    if (changed)
        Q_EMIT stageChanged(stage);
}
