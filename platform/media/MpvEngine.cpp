#include "MpvEngine.h"

#include "GlVideoSurface.h"
#include "MpvNames.h"
#include "RenderPath.h"
#include "SoftwareVideoSurface.h"

#include <mpv/client.h>

#include <QHostAddress>
#include <QHostInfo>
#include <QMetaObject>

#include <cstring>

namespace {

bool isMms(const QUrl& url) { return url.scheme().compare(u"mms", Qt::CaseInsensitive) == 0; }

bool isRecordedFile(const QUrl& url)
{
    const QString path = url.path().toLower();
    for (const char* ext : {".wmv", ".asf", ".wma", ".mp3", ".mp4", ".flv", ".avi", ".mpg", ".mkv", ".rm", ".rmvb"})
        if (path.endsWith(QLatin1String(ext)))
            return true;
    return false;
}

} // namespace

MpvEngine::MpvEngine(QObject* parent) : MpvEngine(Settings{}, parent) {}

MpvEngine::MpvEngine(const Settings& settings, QObject* parent)
    : PlaybackEngine(parent), m_core(MpvCore::create(settings.core)), m_settings(settings)
{
    m_watchdog.setSingleShot(true);
    connect(&m_watchdog, &QTimer::timeout, this, &MpvEngine::watchdogFired);
    m_reasonDelay.setSingleShot(true);
    m_reasonDelay.setInterval(60);
    connect(&m_reasonDelay, &QTimer::timeout, this, &MpvEngine::reasonDelayElapsed);

    mpv_handle* h = m_core->handle();
    mpv_observe_property(h, mpvnames::ObsPause, mpvnames::Pause, MPV_FORMAT_FLAG);
    mpv_observe_property(h, mpvnames::ObsPausedForCache, mpvnames::PausedForCache, MPV_FORMAT_FLAG);
    mpv_observe_property(h, mpvnames::ObsBufferingState, mpvnames::CacheBufferingState, MPV_FORMAT_INT64);
    mpv_observe_property(h, mpvnames::ObsTimePos, mpvnames::TimePos, MPV_FORMAT_DOUBLE);
    mpv_observe_property(h, mpvnames::ObsDuration, mpvnames::Duration, MPV_FORMAT_DOUBLE);
    // Called on an engine thread: only queue one drain on the GUI thread.
    mpv_set_wakeup_callback(
        h,
        [](void* ctx) {
            auto* engine = static_cast<MpvEngine*>(ctx);
            if (!engine->m_drainQueued.exchange(true))
                QMetaObject::invokeMethod(engine, &MpvEngine::drainEvents, Qt::QueuedConnection);
        },
        this);
}

MpvEngine::~MpvEngine()
{
    // The core may outlive us inside a video surface: it must never call back into this object.
    mpv_set_wakeup_callback(m_core->handle(), nullptr, nullptr);
    mpv_command_string(m_core->handle(), "stop");
}

QWidget* MpvEngine::createVideoSurface(QWidget* parent)
{
    VideoSurface* surface = nullptr;
    QWidget* widget = nullptr;
    if (chosenRenderPath() == RenderPath::OpenGL) {
        auto* gl = new GlVideoSurface(m_core, parent);
        surface = gl;
        widget = gl;
    } else {
        auto* sw = new SoftwareVideoSurface(m_core, parent);
        surface = sw;
        widget = sw;
    }
    // Only pictures of the stream in flight count: right after a switch the surface may still
    // draw what the previous one left.
    connect(surface->notifier(), &VideoSurfaceNotifier::frameRendered, this, [this] {
        if (m_loaded && !m_finished)
            Q_EMIT frameRendered();
    });
    return widget;
}

void MpvEngine::open(const QUrl& url)
{
    abortLookup();
    m_requested = url;
    m_rolledOver = false;
    m_finished = false;
    ++m_attempt;
    // One budget for the whole open, the mms rollover included; the first mms form gets half.
    m_openClock.start();
    m_watchdog.start(isMms(url) ? m_settings.openTimeoutMs / 2 : m_settings.openTimeoutMs);
    // The core looks names up on its own thread and cannot give up on one that never answers: a
    // later load would wait behind it. Names are looked up here first, where an answer nobody
    // waits for any more costs nothing.
    const QString host = url.host();
    if (host.isEmpty() || !QHostAddress(host).isNull()) {
        startAttempt(url);
        return;
    }
    // Whatever plays now is over: none of its reports may pass for the new stream's.
    m_loaded = m_playing = m_pausedForCache = false;
    m_entryId = -1;
    mpv_command_string(m_core->handle(), "stop");
    const quint64 attempt = m_attempt;
    m_lookupId = QHostInfo::lookupHost(host, this, [this, attempt](const QHostInfo& info) {
        m_lookupId = -1;
        if (attempt != m_attempt || m_finished)
            return;
        if (info.error() != QHostInfo::NoError || info.addresses().isEmpty()) {
            m_rolledOver = true; // another form of the address would not resolve either
            attemptFailed(PlaybackFailure::HostNotFound, info.errorString());
            return;
        }
        startAttempt(m_requested);
    });
}

void MpvEngine::abortLookup()
{
    if (m_lookupId >= 0)
        QHostInfo::abortHostLookup(std::exchange(m_lookupId, -1));
}

void MpvEngine::startAttempt(const QUrl& url)
{
    m_attemptUrl = url;
    ++m_attempt;
    m_reasonDelay.stop();
    Q_EMIT attemptStarted(url);
    m_loaded = m_playing = m_pausedForCache = false;
    m_duration = 0;
    m_finished = false;
    m_log.clear();
    // The reason an open fails (refused, unresolvable host...) is only told at the verbose level.
    mpv_request_log_messages(m_core->handle(), "v");

    const QByteArray target = url.toString(QUrl::FullyEncoded).toUtf8();
    const char* args[] = {"loadfile", target.constData(), "replace", nullptr};
    mpv_node result{};
    // The reply names the new playlist entry; events of any other entry are stale.
    if (mpv_command_ret(m_core->handle(), args, &result) >= 0 && result.format == MPV_FORMAT_NODE_MAP) {
        for (int i = 0; i < result.u.list->num; ++i)
            if (qstrcmp(result.u.list->keys[i], "playlist_entry_id") == 0
                && result.u.list->values[i].format == MPV_FORMAT_INT64)
                m_entryId = result.u.list->values[i].u.int64;
        mpv_free_node_contents(&result);
    } else {
        m_entryId = -1;
        // Reported from the event loop, as every other outcome, never inside open().
        const quint64 attempt = m_attempt;
        QMetaObject::invokeMethod(
            this,
            [this, attempt] {
                if (attempt == m_attempt && !m_finished)
                    attemptFailed(PlaybackFailure::Other, QStringLiteral("the engine refused the address"));
            },
            Qt::QueuedConnection);
        return;
    }
}

void MpvEngine::stop()
{
    abortLookup();
    ++m_attempt;
    m_watchdog.stop();
    m_reasonDelay.stop();
    m_finished = true;
    m_entryId = -1;
    mpv_command_string(m_core->handle(), "stop");
}

void MpvEngine::setFlag(const char* name, bool value)
{
    int flag = value ? 1 : 0;
    mpv_set_property_async(m_core->handle(), 0, name, MPV_FORMAT_FLAG, &flag);
}

void MpvEngine::setPaused(bool paused) { setFlag(mpvnames::Pause, paused); }
void MpvEngine::setMute(bool mute) { setFlag(mpvnames::Mute, mute); }
void MpvEngine::setStretchToFit(bool stretch) { setFlag(mpvnames::KeepAspect, !stretch); }

void MpvEngine::seek(double seconds)
{
    const QByteArray target = QByteArray::number(qMax(0.0, seconds), 'f', 3);
    const char* args[] = {"seek", target.constData(), "absolute", nullptr};
    mpv_command_async(m_core->handle(), 0, args);
}

void MpvEngine::setVolume(int volume)
{
    double v = qBound(0, volume, 100);
    mpv_set_property_async(m_core->handle(), 0, mpvnames::Volume, MPV_FORMAT_DOUBLE, &v);
}

void MpvEngine::drainEvents()
{
    m_drainQueued = false;
    while (true) {
        const mpv_event* event = mpv_wait_event(m_core->handle(), 0);
        if (event->event_id == MPV_EVENT_NONE)
            break;
        handleEvent(*event);
    }
}

void MpvEngine::handleEvent(const mpv_event& event)
{
    switch (event.event_id) {
    case MPV_EVENT_LOG_MESSAGE: {
        const auto* msg = static_cast<const mpv_event_log_message*>(event.data);
        // Said once per load when no output could be opened; the sound stays off either way, so
        // the rest of the process skips the probing.
        if (std::strstr(msg->text, "Could not open/initialize audio device") && !MpvCore::audioDeviceMissing()) {
            MpvCore::noAudioDeviceFound();
            mpv_set_option_string(m_core->handle(), "ao", "null");
        }
        if (!m_finished) {
            m_log << QString::fromUtf8(msg->prefix) + QStringLiteral(": ") + QString::fromUtf8(msg->text).trimmed();
            if (m_log.size() > 40)
                m_log.removeFirst();
        }
        break;
    }
    case MPV_EVENT_FILE_LOADED:
        if (!m_finished && !m_loaded) {
            m_loaded = true;
            Q_EMIT connected();
            Q_EMIT buffering(0);
        }
        break;
    case MPV_EVENT_PLAYBACK_RESTART:
        if (!m_finished && m_loaded && !m_playing) {
            m_playing = true;
            m_watchdog.stop();
            mpv_request_log_messages(m_core->handle(), "warn");
            Q_EMIT playing();
        }
        break;
    case MPV_EVENT_END_FILE: {
        const auto* end = static_cast<const mpv_event_end_file*>(event.data);
        if (m_finished || end->playlist_entry_id != m_entryId)
            break; // an earlier stream, already replaced or stopped
        if (end->reason == MPV_END_FILE_REASON_ERROR || end->reason == MPV_END_FILE_REASON_EOF) {
            if (m_playing) {
                m_finished = true;
                // A recorded file played to its end has finished; a live stream never ends by itself,
                // and one cut off early looks the same to the engine.
                Q_EMIT ended(end->reason == MPV_END_FILE_REASON_EOF && isRecordedFile(m_attemptUrl)
                                 ? PlaybackFailure::None
                                 : PlaybackFailure::Interrupted);
            } else {
                // The log lines that tell why can arrive just after the event: wait for them briefly.
                m_watchdog.stop();
                m_endError = end->reason == MPV_END_FILE_REASON_EOF ? MPV_ERROR_UNKNOWN_FORMAT : end->error;
                m_reasonDelay.start();
            }
        }
        break;
    }
    case MPV_EVENT_PROPERTY_CHANGE: {
        const auto* prop = static_cast<const mpv_event_property*>(event.data);
        if (prop->format == MPV_FORMAT_NONE || !prop->data)
            break;
        if (event.reply_userdata == mpvnames::ObsDuration)
            m_duration = *static_cast<double*>(prop->data);
        else if (event.reply_userdata == mpvnames::ObsTimePos && !m_finished && m_playing)
            Q_EMIT positionChanged(*static_cast<double*>(prop->data), m_duration);
        else if (event.reply_userdata == mpvnames::ObsPause)
            Q_EMIT pausedChanged(*static_cast<int*>(prop->data) != 0);
        else if (event.reply_userdata == mpvnames::ObsBufferingState && !m_finished && m_loaded
                 && (!m_playing || m_pausedForCache))
            Q_EMIT buffering(int(*static_cast<int64_t*>(prop->data)));
        else if (event.reply_userdata == mpvnames::ObsPausedForCache && !m_finished && m_playing) {
            m_pausedForCache = *static_cast<int*>(prop->data) != 0;
            if (!m_pausedForCache)
                Q_EMIT playing();
        }
        break;
    }
    default:
        break;
    }
}

void MpvEngine::reasonDelayElapsed()
{
    if (m_finished)
        return;
    attemptFailed(classify(m_endError, m_log),
                  QString::fromUtf8(mpv_error_string(m_endError)) + QStringLiteral("; ") + m_log.join(QStringLiteral(" | ")));
}

void MpvEngine::attemptFailed(PlaybackFailure failure, const QString& detail)
{
    m_watchdog.stop();
    // MMS over HTTP failed: the same address may still answer MMS over TCP.
    if (isMms(m_requested) && !m_rolledOver) {
        m_rolledOver = true;
        QUrl tcp = m_requested;
        tcp.setScheme(QStringLiteral("mmst"));
        const qint64 left = m_settings.openTimeoutMs - m_openClock.elapsed();
        if (left > 0) {
            m_watchdog.start(int(left));
            startAttempt(tcp);
            return;
        }
    }
    m_finished = true;
    Q_EMIT openFailed(failure, detail);
}

void MpvEngine::watchdogFired()
{
    if (m_finished)
        return;
    if (m_lookupId >= 0) {
        abortLookup();
        m_rolledOver = true; // the name never answered: no other form of the address will do better
    }
    // Some servers accept and never answer; the engine would wait for ever.
    mpv_command_string(m_core->handle(), "stop");
    m_entryId = -1;
    attemptFailed(PlaybackFailure::TimedOut, QStringLiteral("no answer in time"));
}

PlaybackFailure MpvEngine::classify(int errorCode, const QStringList& log)
{
    const QString text = log.join(u'\n');
    const auto has = [&text](const char* needle) { return text.contains(QLatin1String(needle), Qt::CaseInsensitive); };
    if (has("resolve") || has("name or service not known") || has("no address associated")
        || has("temporary failure in name resolution"))
        return PlaybackFailure::HostNotFound;
    // The TLS library's own words; a bare "certificate" also appears in option lines of the log.
    if (has("certificate verify failed") || has("self signed certificate") || has("self-signed certificate")
        || has("unable to get local issuer certificate") || has("certificate has expired"))
        return PlaybackFailure::Certificate;
    if (has("connection refused"))
        return PlaybackFailure::Refused;
    if (has("404") || has("410 gone") || has("not found"))
        return PlaybackFailure::NotFound;
    // Not a bare "timeout": verbose open logs name the option ("not setting timeout", "?timeout=0").
    if (has("timed out"))
        return PlaybackFailure::TimedOut;
    if (has("forbidden") || has("403") || has("401"))
        return PlaybackFailure::Refused;
    if (errorCode == MPV_ERROR_UNKNOWN_FORMAT || has("failed to recognize file format"))
        return PlaybackFailure::NotAStream;
    return PlaybackFailure::Other;
}
