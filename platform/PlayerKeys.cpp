#include "PlayerKeys.h"

#include "MediaPlayer.h"

#include <QEvent>
#include <QShortcut>
#include <QWidget>

QList<PlayerKeys::Binding> PlayerKeys::bindings()
{
    using C = Command;
    return {
        {QKeySequence(Qt::CTRL | Qt::Key_P), C::PlayPause},
        {QKeySequence(Qt::Key_MediaPlay), C::PlayPause}, // most keyboards' one play/pause key
        {QKeySequence(Qt::Key_MediaTogglePlayPause), C::PlayPause},
        {QKeySequence(Qt::Key_MediaPause), C::Pause},
        {QKeySequence(Qt::Key_MediaStop), C::Stop},
        {QKeySequence(Qt::CTRL | Qt::Key_M), C::Mute},
        {QKeySequence(Qt::Key_VolumeMute), C::Mute},
        {QKeySequence(Qt::CTRL | Qt::Key_Up), C::VolumeUp},
        {QKeySequence(Qt::Key_VolumeUp), C::VolumeUp},
        {QKeySequence(Qt::CTRL | Qt::Key_Down), C::VolumeDown},
        {QKeySequence(Qt::Key_VolumeDown), C::VolumeDown},
        {QKeySequence(Qt::Key_F11), C::FullScreen},
        {QKeySequence(Qt::Key_Escape), C::LeaveFullScreen},
    };
}

PlayerKeys::PlayerKeys(QWidget* window, MediaPlayer* player) : QObject(window), m_window(window), m_player(player)
{
    for (const Binding& b : bindings()) {
        auto* shortcut = new QShortcut(b.keys, window);
        shortcut->setContext(Qt::WindowShortcut);
        shortcut->setAutoRepeat(b.command == Command::VolumeUp || b.command == Command::VolumeDown);
        const Command command = b.command;
        connect(shortcut, &QShortcut::activated, this, [this, command] { run(command); });
        if (command == Command::LeaveFullScreen)
            m_escape.push_back(shortcut);
    }
    window->installEventFilter(this);
    updateEscape();
}

void PlayerKeys::setFullScreenActive(bool active)
{
    m_fullScreenActive = active;
    updateEscape();
}

bool PlayerKeys::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_window && event->type() == QEvent::WindowStateChange)
        updateEscape();
    return QObject::eventFilter(watched, event);
}

void PlayerKeys::updateEscape()
{
    const bool full = m_fullScreenActive || m_window->isFullScreen();
    for (QShortcut* s : std::as_const(m_escape))
        s->setEnabled(full);
}

void PlayerKeys::run(Command command)
{
    switch (command) {
    case Command::PlayPause: m_player->togglePause(); break;
    case Command::Pause:
        if (m_player->session()->active() && !m_player->session()->paused())
            m_player->togglePause();
        break;
    case Command::Stop: m_player->stop(); break;
    case Command::Mute: m_player->toggleMute(); break;
    case Command::VolumeUp: m_player->setVolume(m_player->volume() + VolumeStep); break;
    case Command::VolumeDown: m_player->setVolume(m_player->volume() - VolumeStep); break;
    case Command::FullScreen: Q_EMIT fullScreenToggleRequested(); break;
    case Command::LeaveFullScreen: Q_EMIT fullScreenLeaveRequested(); break;
    }
}
