#pragma once

#include "PlaybackSession.h"

#include <QWidget>

class QLabel;
class QSlider;
class QToolButton;

// The media-player control the windows place: write URL and it connects, buffers and plays by
// itself through its playback session; failures show only in the status line. The control itself
// holds the picture, the transport bar and the mouse.
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
    void setURL(const QString& url) { m_session->setURL(url); }
    QString URL() const { return m_session->URL(); }

    const Settings& settings() const { return m_settings; }
    // The volume control's value, 0 to 100; setting it moves the control and the engine.
    int volume() const;
    void setVolume(int volume);
    bool muted() const { return m_muted; }
    void setMuted(bool muted);
    void toggleMute() { setMuted(!m_muted); }
    // The transport bar's play/pause button, for keys and menus.
    void togglePause() { m_session->togglePause(); }
    void stop() { m_session->stop(); }
    PlaybackStage stage() const { return m_session->stage(); }
    PlaybackFailure lastFailure() const { return m_session->failure(); }
    QString statusText() const { return m_session->statusText(); }
    // The stream the engine was last asked to open (after playlists were resolved).
    QUrl currentStream() const { return m_session->currentStream(); }

    PlaybackSession* session() const { return m_session; }
    PlaybackEngine* engine() const { return m_session->engine(); }

    // Bounds for playlists fetched by this control.
    void setResolverLimits(const PlaylistResolver::Limits& limits) { m_session->setResolverLimits(limits); }

Q_SIGNALS:
    // Button and shift masks as the windows expect them; X, Y in pixels within the control.
    void MouseDown(int button, int shift, float x, float y);
    void MouseMove(int button, int shift, float x, float y);
    void stageChanged(PlaybackStage stage);
    void volumeChanged(int volume);
    void firstFrame();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildControls();
    void layoutChildren();
    void showStage();
    void updateControls();
    void showPosition(double seconds, double duration);

    Settings m_settings;
    PlaybackSession* m_session = nullptr;

    QWidget* m_video = nullptr;
    QWidget* m_bar = nullptr;
    QToolButton* m_playPause = nullptr;
    QToolButton* m_stop = nullptr;
    QToolButton* m_muteButton = nullptr;
    QSlider* m_volume = nullptr;
    QSlider* m_position = nullptr;   // full transport bar only
    QLabel* m_time = nullptr;        // full transport bar only
    QLabel* m_status = nullptr;
    bool m_muted = false;
};
