#pragma once

#include "PlaybackEngine.h"
#include "PlaylistResolver.h"

#include <QElapsedTimer>
#include <QSet>
#include <QTimer>
#include <QWidget>

class QLabel;
class QSlider;
class QToolButton;
class QNetworkAccessManager;

// The media-player control the windows place: write URL and it connects, buffers and plays by
// itself. Playlists are resolved here, candidates tried in order; failures show only in the
// status line.
class MediaPlayer : public QWidget
{
    Q_OBJECT
public:
    enum class UiMode { Mini, Full };

    struct Settings
    {
        bool autoStart = true;
        UiMode uiMode = UiMode::Mini;
        int volume = 50;
        bool mute = false;
        bool stretchToFit = false;
        bool enableContextMenu = true;
        bool enableErrorDialogs = false;
    };

    explicit MediaPlayer(const Settings& settings, QWidget* parent = nullptr);
    ~MediaPlayer() override;

    // Returns at once. The same URL again opens it anew; a new one replaces the old at once.
    void setURL(const QString& url);
    QString URL() const { return m_url; }

    const Settings& settings() const { return m_settings; }
    PlaybackStage stage() const { return m_stage; }
    PlaybackFailure lastFailure() const { return m_failure; }
    QString statusText() const;
    // The stream the engine was last asked to open (after playlists were resolved).
    QUrl currentStream() const { return m_currentStream; }

    // Tests put an engine double in place; an empty factory restores the real engine.
    static void setEngineFactory(PlaybackEngineFactory factory);
    PlaybackEngine* engine() const { return m_engine.get(); }

    // Bounds for playlists fetched by this control.
    void setResolverLimits(const PlaylistResolver::Limits& limits);

Q_SIGNALS:
    // Button and shift masks as the windows expect them; X, Y in pixels within the control.
    void MouseDown(int button, int shift, float x, float y);
    void MouseMove(int button, int shift, float x, float y);
    void stageChanged(PlaybackStage stage);
    void firstFrame();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildControls();
    void layoutChildren();
    void tryNext();
    void resolverFinished(const PlaylistResolver::Outcome& outcome);
    void openInEngine(const QUrl& url);
    void setStage(PlaybackStage stage, int percent = 0);
    void fail(PlaybackFailure failure);
    void updateControls();

    void playPauseClicked();
    void stopClicked();
    void muteClicked();
    void showPosition(double seconds, double duration);
    void streamEnded(PlaybackFailure failure);
    void reconnect();

    Settings m_settings;
    std::unique_ptr<PlaybackEngine> m_engine;
    QNetworkAccessManager* m_network = nullptr;
    PlaylistResolver* m_resolver = nullptr;

    QWidget* m_video = nullptr;
    QWidget* m_bar = nullptr;
    QToolButton* m_playPause = nullptr;
    QToolButton* m_stop = nullptr;
    QToolButton* m_muteButton = nullptr;
    QSlider* m_volume = nullptr;
    QSlider* m_position = nullptr;   // full transport bar only
    QLabel* m_time = nullptr;        // full transport bar only
    QLabel* m_status = nullptr;

    QString m_url;
    QList<QUrl> m_queue;
    QSet<QUrl> m_seen;
    int m_resolves = 0;
    QUrl m_currentStream;
    PlaybackStage m_stage = PlaybackStage::Idle;
    int m_percent = 0;
    PlaybackFailure m_failure = PlaybackFailure::None;
    bool m_frameSeen = false;
    bool m_paused = false;
    bool m_muted = false;

    // A live stream that drops is opened again a few times before the user is told.
    QTimer m_reconnectTimer;
    int m_reconnects = 0;
    bool m_reconnecting = false;
    QElapsedTimer m_playingSince;
};
