#pragma once

#include "MpvCore.h"
#include "PlaybackEngine.h"
#include "VideoOutput.h"

#include <QElapsedTimer>
#include <QStringList>
#include <QTimer>

#include <atomic>

struct mpv_event;

// The real engine: a core driven on the GUI thread. Events are drained when the core signals
// that some are waiting; an open that neither plays nor fails in time is stopped by a watchdog;
// mms:// rolls over from MMS over HTTP to MMS over TCP before giving up.
class MpvEngine : public PlaybackEngine, public VideoOutput
{
    Q_OBJECT
public:
    struct Settings
    {
        MpvCore::Options core;
        int openTimeoutMs = 15000;
    };

    explicit MpvEngine(QObject* parent = nullptr);
    explicit MpvEngine(const Settings& settings, QObject* parent = nullptr);
    ~MpvEngine() override;

    void open(const QUrl& url) override;
    void stop() override;
    void setPaused(bool paused) override;
    void setVolume(int volume) override;
    void setMute(bool mute) override;
    void setStretchToFit(bool stretch) override;
    void seek(double seconds) override;
    QWidget* createVideoSurface(QWidget* parent) override;

Q_SIGNALS:
    // Each address handed to the core, the rollover forms included.
    void attemptStarted(const QUrl& url);

public:
    // Sorts an engine failure into a reason from its error code and the log lines it left.
    static PlaybackFailure classify(int errorCode, const QStringList& log);

private:
    void drainEvents();
    void handleEvent(const mpv_event& event);
    void startAttempt(const QUrl& url);
    void attemptFailed(PlaybackFailure failure, const QString& detail);
    void watchdogFired();
    void reasonDelayElapsed();
    void setFlag(const char* name, bool value);
    void abortLookup();

    std::shared_ptr<MpvCore> m_core;
    Settings m_settings;
    QTimer m_watchdog;
    QTimer m_reasonDelay;
    QElapsedTimer m_openClock;
    int m_lookupId = -1;
    int m_endError = 0;
    std::atomic<bool> m_drainQueued{false};

    // The attempt in flight: which load it is, what it opened, what it has reached.
    qint64 m_entryId = -1;
    quint64 m_attempt = 0;
    QUrl m_requested;
    QUrl m_attemptUrl;
    bool m_rolledOver = false;
    bool m_loaded = false;
    bool m_playing = false;
    bool m_pausedForCache = false;
    double m_duration = 0;
    bool m_finished = true; // nothing in flight
    QStringList m_log;
};
