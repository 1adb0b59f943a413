#pragma once

#include <QObject>
#include <QString>

class MediaPlayer;

// Offers one media-player control to the desktop's media keys and sound applets (MPRIS 2 on the
// session bus) for as long as it lives: play/pause, stop, volume, and a title. Without a session
// bus, or when the bus refuses the name, it stays quiet and does nothing.
class MprisPlayer : public QObject
{
    Q_OBJECT
public:
    MprisPlayer(MediaPlayer* player, const QString& identity, QObject* parent = nullptr);
    ~MprisPlayer() override;

    bool registered() const { return !m_service.isEmpty(); }
    // The bus name taken, e.g. "org.mpris.MediaPlayer2.lumivo.instance1234"; empty when none.
    QString serviceName() const { return m_service; }

    // What the desktop shows as the playing title (the station's caption).
    void setTitle(const QString& title);
    QString title() const { return m_title; }

    MediaPlayer* player() const { return m_player; }
    QString identity() const { return m_identity; }
    QString playbackStatus() const;
    double volume() const;
    void setVolume(double volume);
    QVariantMap metadata() const;

    void playPause();
    void play();
    void pause();
    void stop();

private:
    void announce(const QStringList& names);

    MediaPlayer* m_player;
    QString m_identity;
    QString m_title;
    QString m_service;
};
