#pragma once

#include "PlaybackEngine.h"
#include "PlaylistResolver.h"

#include <QElapsedTimer>
#include <QSet>
#include <QTimer>

// One player's playback, without any widget: takes the URL a window writes, resolves playlists,
// tries their streams in order, reopens a dropped live stream, and holds the one failure the status
// line shows. The media-player control and anything else that plays (a radio without a picture)
// drive it the same way.
//
// Only the last URL written counts: a playlist answer or an engine report about an earlier one
// never changes the state.
class PlaybackSession : public QObject
{
    Q_OBJECT
public:
    // A dropped live stream is reopened after each delay in turn (the last one repeats) until
    // the budget, counted from the drop, would be exceeded; then the user is told. A server that
    // restarts or a network that comes back within the budget is picked up again.
    struct ReconnectPolicy
    {
        QList<int> delaysMs = {1000, 2000, 4000, 8000};
        qint64 budgetMs = 30000;
        qint64 stableRunMs = 30000; // a stream that then ran this long earns a full budget anew
    };

    // One URL may not lead the session through more than this many addresses (playlists fetched
    // and streams opened), nor keep it connecting longer than the open budget: a playlist of
    // thousands of dead entries ends with a clear message instead of hours of "connecting".
    static constexpr int MaxAddressesTried = 16;
    static constexpr int DefaultOpenBudgetMs = 30000;

    explicit PlaybackSession(std::unique_ptr<PlaybackEngine> engine, QObject* parent = nullptr);
    ~PlaybackSession() override;

    // Returns at once. The same URL again opens it anew; a new one replaces the old at once; an
    // empty one stops. Without auto start the URL is only remembered.
    void setURL(const QString& url);
    QString URL() const { return m_url; }
    void setAutoStart(bool autoStart) { m_autoStart = autoStart; }

    // The user's transport: stop, and play/pause (which restarts a stopped stream from now).
    void stop();
    void togglePause();
    bool paused() const { return m_paused; }

    PlaybackStage stage() const { return m_stage; }
    int percent() const { return m_percent; }
    PlaybackFailure failure() const { return m_failure; }
    QString statusText() const;
    // The stream the engine was last asked to open (after playlists were resolved).
    QUrl currentStream() const { return m_currentStream; }
    // Whether the user's transport has anything to act on.
    bool active() const;

    PlaybackEngine* engine() const { return m_engine.get(); }
    void setResolverLimits(const PlaylistResolver::Limits& limits);
    void setReconnectPolicy(const ReconnectPolicy& policy) { m_policy = policy; }
    void setOpenBudgetMs(int ms) { m_openBudget.setInterval(ms); }

Q_SIGNALS:
    void stageChanged(PlaybackStage stage);
    void pausedChanged(bool paused);
    // The first picture of the stream in flight reached a surface.
    void firstFrame();

private:
    void tryNext();
    void resolverFinished(const PlaylistResolver::Outcome& outcome);
    void openInEngine(const QUrl& url);
    void setStage(PlaybackStage stage, int percent = 0);
    void fail(PlaybackFailure failure);
    void resetAttempts();

    void engineBuffering(int percent);
    void enginePlaying();
    void enginePausedChanged(bool paused);
    void engineFrameRendered();
    void engineOpenFailed(PlaybackFailure failure, const QString& detail);
    void engineEnded(PlaybackFailure failure);
    void reconnect();
    void openBudgetSpent();
    void giveUp(PlaybackFailure fallback);

    std::unique_ptr<PlaybackEngine> m_engine;
    PlaylistResolver* m_resolver = nullptr;
    bool m_autoStart = true;
    ReconnectPolicy m_policy;

    QString m_url;
    QList<QUrl> m_queue;
    QSet<QUrl> m_seen;
    int m_tried = 0;
    QTimer m_openBudget;
    bool m_played = false;
    QUrl m_currentStream;
    PlaybackStage m_stage = PlaybackStage::Idle;
    int m_percent = 0;
    PlaybackFailure m_failure = PlaybackFailure::None;
    bool m_frameSeen = false;
    bool m_paused = false;

    void scheduleReconnect(PlaybackFailure failure);

    QTimer m_reconnectTimer;
    int m_reconnects = 0;
    bool m_reconnecting = false;
    QElapsedTimer m_droppedSince; // the first drop of the current run of reopens
    QElapsedTimer m_playingSince;
};
