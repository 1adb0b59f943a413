// The player as the desktop's media keys see it. The bus cases need a session bus of their own
// (the test is also registered under dbus-run-session); without one they skip.
#include "FakeEngines.h"
#include "MediaPlayer.h"
#include "MprisPlayer.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusVariant>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString kPath = QStringLiteral("/org/mpris/MediaPlayer2");
const QString kPlayer = QStringLiteral("org.mpris.MediaPlayer2.Player");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");

// Restores an environment variable when it goes.
class EnvOverride
{
public:
    EnvOverride(const char* name, const QByteArray& value) : m_name(name), m_had(qEnvironmentVariableIsSet(name))
    {
        m_old = qgetenv(name);
        qputenv(name, value);
    }
    ~EnvOverride()
    {
        if (m_had)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }

private:
    const char* m_name;
    bool m_had;
    QByteArray m_old;
};

} // namespace

class TestMprisPlayer : public QObject
{
    Q_OBJECT
public Q_SLOTS:
    void propertiesChanged(const QString& interface, const QVariantMap& changed, const QStringList&)
    {
        if (interface == kPlayer)
            m_changes << changed;
    }

private Q_SLOTS:
    void init();
    void cleanup();
    void withoutBusStaysQuiet();
    void registersWhileAlive();
    void transportFromTheBus_data();
    void transportFromTheBus();
    void volumeBothWays();
    void titleAndStatusAnnounced();

private:
    QDBusMessage call(const QString& interface, const QString& method, const QVariantList& args = {});
    QVariant property(const QString& interface, const QString& name);
    bool startOnBus();

    FakeEngines* m_engines = nullptr;
    MediaPlayer* m_player = nullptr;
    MprisPlayer* m_mpris = nullptr;
    QList<QVariantMap> m_changes;
};

void TestMprisPlayer::init()
{
    m_engines = new FakeEngines;
    m_player = new MediaPlayer(MediaPlayer::Settings{});
    m_changes.clear();
}

void TestMprisPlayer::cleanup()
{
    delete m_mpris;
    m_mpris = nullptr;
    delete m_player;
    delete m_engines;
}

#define REQUIRE_BUS()                                                                                          \
    do {                                                                                                       \
        if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))                                           \
            QSKIP("no session bus of the test's own");                                                         \
        QVERIFY(startOnBus());                                                                                 \
    } while (false)

bool TestMprisPlayer::startOnBus()
{
    m_mpris = new MprisPlayer(m_player, QStringLiteral("Lumivo网络收音机"));
    QDBusConnection client = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("client"));
    if (!m_mpris->registered() || !client.isConnected())
        return false;
    // Once for the whole run: the same name comes back in every test.
    static const bool listening = client.connect(m_mpris->serviceName(), kPath, kProperties,
                                                 QStringLiteral("PropertiesChanged"), this,
                                                 SLOT(propertiesChanged(QString, QVariantMap, QStringList)));
    return listening;
}

QDBusMessage TestMprisPlayer::call(const QString& interface, const QString& method, const QVariantList& args)
{
    // Asynchronous, so this thread keeps serving the player while the call is out.
    QDBusMessage message = QDBusMessage::createMethodCall(m_mpris->serviceName(), kPath, interface, method);
    message.setArguments(args);
    QDBusPendingCall pending = QDBusConnection(QStringLiteral("client")).asyncCall(message);
    QDeadlineTimer deadline(10000);
    while (!pending.isFinished() && !deadline.hasExpired())
        QTest::qWait(10);
    return pending.reply();
}

QVariant TestMprisPlayer::property(const QString& interface, const QString& name)
{
    const QDBusMessage reply = call(kProperties, QStringLiteral("Get"), {interface, name});
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return {};
    return reply.arguments().first().value<QDBusVariant>().variant();
}

void TestMprisPlayer::withoutBusStaysQuiet()
{
    QTemporaryDir runtime; // no bus socket in it
    EnvOverride address("DBUS_SESSION_BUS_ADDRESS", {});
    EnvOverride dir("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    MprisPlayer mpris(m_player, QStringLiteral("Lumivo网络收音机"));
    QVERIFY(!mpris.registered());
    QVERIFY(mpris.serviceName().isEmpty());
    // Everything still works locally; nothing is sent anywhere.
    mpris.setTitle(QStringLiteral("北京电台音乐台"));
    m_player->setURL(QStringLiteral("mms://radio.example.invalid/live"));
    QCOMPARE(mpris.playbackStatus(), QStringLiteral("Playing"));
}

void TestMprisPlayer::registersWhileAlive()
{
    REQUIRE_BUS();
    const QString name = m_mpris->serviceName();
    QVERIFY(name.startsWith(u"org.mpris.MediaPlayer2.lumivo."));
    QDBusConnectionInterface* bus = QDBusConnection(QStringLiteral("client")).interface();
    QVERIFY(bus->isServiceRegistered(name));
    QCOMPARE(property(QStringLiteral("org.mpris.MediaPlayer2"), QStringLiteral("Identity")).toString(),
             QStringLiteral("Lumivo网络收音机"));
    QCOMPARE(property(kPlayer, QStringLiteral("CanGoNext")).toBool(), false);
    QCOMPARE(property(kPlayer, QStringLiteral("PlaybackStatus")).toString(), QStringLiteral("Stopped"));

    delete m_mpris;
    m_mpris = nullptr;
    QTRY_VERIFY(!bus->isServiceRegistered(name));
}

void TestMprisPlayer::transportFromTheBus_data()
{
    QTest::addColumn<QStringList>("methods");
    QTest::addColumn<QString>("status");
    QTest::addColumn<bool>("enginePaused");
    QTest::addColumn<int>("engineStops");
    QTest::newRow("pause") << QStringList{"Pause"} << "Paused" << true << 0;
    QTest::newRow("play/pause twice") << QStringList{"PlayPause", "PlayPause"} << "Playing" << false << 0;
    QTest::newRow("pause, play") << QStringList{"Pause", "Play"} << "Playing" << false << 0;
    QTest::newRow("play while playing") << QStringList{"Play"} << "Playing" << false << 0;
    QTest::newRow("stop") << QStringList{"Stop"} << "Stopped" << false << 1;
    QTest::newRow("next has nothing to do") << QStringList{"Next"} << "Playing" << false << 0;
}

void TestMprisPlayer::transportFromTheBus()
{
    QFETCH(QStringList, methods);
    QFETCH(QString, status);
    QFETCH(bool, enginePaused);
    QFETCH(int, engineStops);
    REQUIRE_BUS();
    m_player->setURL(QStringLiteral("mms://radio.example.invalid/live"));
    FakeVideoEngine* engine = m_engines->last();
    Q_EMIT engine->connected();
    Q_EMIT engine->playing();
    for (const QString& method : methods)
        QCOMPARE(call(kPlayer, method).type(), QDBusMessage::ReplyMessage);
    QCOMPARE(property(kPlayer, QStringLiteral("PlaybackStatus")).toString(), status);
    QCOMPARE(engine->paused, enginePaused);
    QCOMPARE(engine->stops, engineStops);
}

void TestMprisPlayer::volumeBothWays()
{
    REQUIRE_BUS();
    QCOMPARE(property(kPlayer, QStringLiteral("Volume")).toDouble(), 0.5);
    const QDBusMessage set = call(kProperties, QStringLiteral("Set"),
                                  {kPlayer, QStringLiteral("Volume"), QVariant::fromValue(QDBusVariant(0.3))});
    QCOMPARE(set.type(), QDBusMessage::ReplyMessage);
    QCOMPARE(m_player->volume(), 30);
    QCOMPARE(m_engines->last()->volume, 30);
    // Out of range from the bus is held to the control's range.
    call(kProperties, QStringLiteral("Set"), {kPlayer, QStringLiteral("Volume"), QVariant::fromValue(QDBusVariant(7.0))});
    QCOMPARE(m_player->volume(), 100);
    // The user's own control is seen on the bus.
    m_player->setVolume(20);
    QCOMPARE(property(kPlayer, QStringLiteral("Volume")).toDouble(), 0.2);
}

void TestMprisPlayer::titleAndStatusAnnounced()
{
    REQUIRE_BUS();
    m_mpris->setTitle(QStringLiteral("来宾桂中之声 "));
    m_player->setURL(QStringLiteral("mms://radio.example.invalid/live"));
    QTRY_VERIFY(m_changes.size() >= 2);
    QVariantMap metadata;
    bool playing = false;
    for (const QVariantMap& change : m_changes) {
        if (change.contains(QStringLiteral("Metadata")))
            metadata = qdbus_cast<QVariantMap>(change.value(QStringLiteral("Metadata")));
        playing |= change.value(QStringLiteral("PlaybackStatus")).toString() == u"Playing";
    }
    QCOMPARE(metadata.value(QStringLiteral("xesam:title")).toString(), QStringLiteral("来宾桂中之声 "));
    QVERIFY(playing);
    const QVariant asked = property(kPlayer, QStringLiteral("Metadata"));
    QCOMPARE(qdbus_cast<QVariantMap>(asked).value(QStringLiteral("xesam:title")).toString(),
             QStringLiteral("来宾桂中之声 "));
}

QTEST_MAIN(TestMprisPlayer)
#include "tst_mprisplayer.moc"
