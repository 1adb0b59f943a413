#include "MprisPlayer.h"

#include "MediaPlayer.h"

#include <QCoreApplication>
#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace {

const QString kPath = QStringLiteral("/org/mpris/MediaPlayer2");
const QString kPlayerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");

// A session bus the desktop set up; never one started on our behalf just to be asked nothing.
bool sessionBusConfigured()
{
    if (!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        return true;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return !runtime.isEmpty() && QFileInfo::exists(runtime + QStringLiteral("/bus"));
}

class RootAdaptor : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2")
    Q_PROPERTY(bool CanQuit READ canQuit)
    Q_PROPERTY(bool CanRaise READ canRaise)
    Q_PROPERTY(bool HasTrackList READ hasTrackList)
    Q_PROPERTY(QString Identity READ identity)
    Q_PROPERTY(QStringList SupportedUriSchemes READ supportedUriSchemes)
    Q_PROPERTY(QStringList SupportedMimeTypes READ supportedMimeTypes)
public:
    explicit RootAdaptor(MprisPlayer* owner) : QDBusAbstractAdaptor(owner), m_owner(owner) {}
    bool canQuit() const { return false; }
    bool canRaise() const { return false; }
    bool hasTrackList() const { return false; }
    QString identity() const { return m_owner->identity(); }
    QStringList supportedUriSchemes() const { return {}; }
    QStringList supportedMimeTypes() const { return {}; }

public Q_SLOTS:
    void Raise() {}
    void Quit() {}

private:
    MprisPlayer* m_owner;
};

class PlayerAdaptor : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2.Player")
    Q_PROPERTY(QString PlaybackStatus READ playbackStatus)
    Q_PROPERTY(double Rate READ rate WRITE setRate)
    Q_PROPERTY(QVariantMap Metadata READ metadata)
    Q_PROPERTY(double Volume READ volume WRITE setVolume)
    Q_PROPERTY(qlonglong Position READ position)
    Q_PROPERTY(double MinimumRate READ rate)
    Q_PROPERTY(double MaximumRate READ rate)
    Q_PROPERTY(bool CanGoNext READ no)
    Q_PROPERTY(bool CanGoPrevious READ no)
    Q_PROPERTY(bool CanPlay READ yes)
    Q_PROPERTY(bool CanPause READ yes)
    Q_PROPERTY(bool CanSeek READ no)
    Q_PROPERTY(bool CanControl READ yes)
public:
    explicit PlayerAdaptor(MprisPlayer* owner) : QDBusAbstractAdaptor(owner), m_owner(owner) {}
    QString playbackStatus() const { return m_owner->playbackStatus(); }
    double rate() const { return 1.0; }
    void setRate(double) {} // live radio plays at its own pace
    QVariantMap metadata() const { return m_owner->metadata(); }
    double volume() const { return m_owner->volume(); }
    void setVolume(double v) { m_owner->setVolume(v); }
    qlonglong position() const { return 0; }
    bool yes() const { return true; }
    bool no() const { return false; }

public Q_SLOTS:
    void PlayPause() { m_owner->playPause(); }
    void Play() { m_owner->play(); }
    void Pause() { m_owner->pause(); }
    void Stop() { m_owner->stop(); }
    // Stations are chosen from the window's menu; the rest of the interface has nothing to do.
    void Next() {}
    void Previous() {}
    void Seek(qlonglong) {}
    void SetPosition(const QDBusObjectPath&, qlonglong) {}
    void OpenUri(const QString&) {}

Q_SIGNALS:
    void Seeked(qlonglong position);

private:
    MprisPlayer* m_owner;
};

} // namespace

MprisPlayer::MprisPlayer(MediaPlayer* player, const QString& identity, QObject* parent)
    : QObject(parent), m_player(player), m_identity(identity)
{
    if (!sessionBusConfigured())
        return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    new RootAdaptor(this);
    new PlayerAdaptor(this);
    const QString name = QStringLiteral("org.mpris.MediaPlayer2.lumivo.instance%1").arg(QCoreApplication::applicationPid());
    if (!bus.registerObject(kPath, this))
        return;
    if (!bus.registerService(name)) {
        bus.unregisterObject(kPath);
        return;
    }
    m_service = name;

    connect(player, &MediaPlayer::stageChanged, this, [this] { announce({QStringLiteral("PlaybackStatus")}); });
    connect(player->session(), &PlaybackSession::pausedChanged, this,
            [this] { announce({QStringLiteral("PlaybackStatus")}); });
    connect(player, &MediaPlayer::volumeChanged, this, [this] { announce({QStringLiteral("Volume")}); });
}

MprisPlayer::~MprisPlayer()
{
    if (m_service.isEmpty())
        return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.unregisterService(m_service);
    bus.unregisterObject(kPath);
}

void MprisPlayer::setTitle(const QString& title)
{
    m_title = title;
    announce({QStringLiteral("Metadata")});
}

QString MprisPlayer::playbackStatus() const
{
    const PlaybackSession* session = m_player->session();
    if (session->paused())
        return QStringLiteral("Paused");
    switch (session->stage()) {
    case PlaybackStage::Connecting:
    case PlaybackStage::Buffering:
    case PlaybackStage::Playing:
    case PlaybackStage::Reconnecting:
        return QStringLiteral("Playing");
    case PlaybackStage::Paused:
        return QStringLiteral("Paused");
    default:
        return QStringLiteral("Stopped");
    }
}

double MprisPlayer::volume() const { return m_player->volume() / 100.0; }

void MprisPlayer::setVolume(double volume) { m_player->setVolume(qRound(qBound(0.0, volume, 1.0) * 100.0)); }

QVariantMap MprisPlayer::metadata() const
{
    QVariantMap map;
    map.insert(QStringLiteral("mpris:trackid"),
               QVariant::fromValue(QDBusObjectPath(QStringLiteral("/org/lumivo/radio/station"))));
    if (!m_title.isEmpty())
        map.insert(QStringLiteral("xesam:title"), m_title);
    return map;
}

void MprisPlayer::playPause() { m_player->session()->togglePause(); }

void MprisPlayer::play()
{
    PlaybackSession* session = m_player->session();
    if (session->paused() || (session->stage() == PlaybackStage::Stopped && !session->URL().isEmpty()))
        session->togglePause();
}

void MprisPlayer::pause()
{
    PlaybackSession* session = m_player->session();
    if (!session->paused() && session->active())
        session->togglePause();
}

void MprisPlayer::stop()
{
    if (m_player->session()->active())
        m_player->session()->stop();
}

void MprisPlayer::announce(const QStringList& names)
{
    if (m_service.isEmpty())
        return;
    QVariantMap changed;
    for (const QString& name : names) {
        if (name == u"PlaybackStatus")
            changed.insert(name, playbackStatus());
        else if (name == u"Volume")
            changed.insert(name, volume());
        else if (name == u"Metadata")
            changed.insert(name, metadata());
    }
    QDBusMessage signal = QDBusMessage::createSignal(kPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                                                     QStringLiteral("PropertiesChanged"));
    signal << kPlayerInterface << changed << QStringList();
    QDBusConnection::sessionBus().send(signal);
}

#include "MprisPlayer.moc"
