#pragma once

#include <QKeySequence>
#include <QList>
#include <QObject>

class MediaPlayer;
class QShortcut;
class QWidget;

// The player's keys anywhere in a window, whichever control has the focus. None is a bare letter,
// digit, Enter, Space or arrow, so a tree keeps its own keys (play, browse, type to find). The
// keyboard's media keys count too where the desktop hands them to the window.
class PlayerKeys : public QObject
{
    Q_OBJECT
public:
    enum class Command { PlayPause, Pause, Stop, Mute, VolumeUp, VolumeDown, FullScreen, LeaveFullScreen };
    struct Binding
    {
        QKeySequence keys;
        Command command;
    };
    static constexpr int VolumeStep = 5;
    static QList<Binding> bindings();

    PlayerKeys(QWidget* window, MediaPlayer* player);

    // Esc is the window's only while it is full screen, and stays free for its controls otherwise.
    // A window shown full screen by the desktop counts by itself; a chrome that fills the screen
    // its own way says so here.
    void setFullScreenActive(bool active);

Q_SIGNALS:
    // F11, and Esc while full screen: the window's chrome decides what full screen is.
    void fullScreenToggleRequested();
    void fullScreenLeaveRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void run(Command command);
    void updateEscape();

    QWidget* m_window;
    MediaPlayer* m_player;
    QList<QShortcut*> m_escape;
    bool m_fullScreenActive = false;
};
