#include "MediaPlayer.h"

#include "MouseMasks.h"
#include "MpvEngine.h"
#include "Playlist.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLoggingCategory>
#include <QMouseEvent>
#include <QNetworkAccessManager>
#include <QSlider>
#include <QStyle>
#include <QToolButton>

Q_LOGGING_CATEGORY(lcPlayer, "lumivo.player", QtWarningMsg)

namespace {

PlaybackEngineFactory& engineFactory()
{
    static PlaybackEngineFactory factory;
    return factory;
}

bool isHttp(const QUrl& url)
{
    const QString s = url.scheme().toLower();
    return s == u"http" || s == u"https";
}

// A playlist may not lead the player through more than this many fetches for one URL.
constexpr int kMaxResolves = 16;
// Reopens of a dropped stream before giving up; a stream that then ran this long earns them anew.
constexpr int kMaxReconnects = 2;
constexpr int kReconnectDelayMs = 1000;
constexpr qint64 kStableRunMs = 30000;
constexpr int kBarHeight = 26;

} // namespace

void MediaPlayer::setEngineFactory(PlaybackEngineFactory factory) { engineFactory() = std::move(factory); }

MediaPlayer::MediaPlayer(const Settings& settings, QWidget* parent) : QWidget(parent), m_settings(settings)
{
    m_engine = engineFactory() ? engineFactory()() : std::make_unique<MpvEngine>();
    m_network = new QNetworkAccessManager(this);
    m_network->setCookieJar(nullptr);
    m_resolver = new PlaylistResolver(m_network, this);
    connect(m_resolver, &PlaylistResolver::finished, this, &MediaPlayer::resolverFinished);

    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::black);
    setPalette(p);
    if (!m_settings.enableContextMenu)
        setContextMenuPolicy(Qt::PreventContextMenu);

    m_video = m_engine->createVideoSurface(this);
    m_video->setMouseTracking(true);
    m_video->installEventFilter(this);
    buildControls();

    m_muted = m_settings.mute;
    m_engine->setVolume(m_settings.volume);
    m_engine->setMute(m_settings.mute);
    m_engine->setStretchToFit(m_settings.stretchToFit);

    PlaybackEngine* e = m_engine.get();
    connect(e, &PlaybackEngine::connected, this, [this] { setStage(PlaybackStage::Buffering, 0); });
    connect(e, &PlaybackEngine::buffering, this, [this](int percent) {
        if (m_stage == PlaybackStage::Connecting || m_stage == PlaybackStage::Buffering || m_stage == PlaybackStage::Playing
            || m_stage == PlaybackStage::Reconnecting)
            setStage(PlaybackStage::Buffering, percent);
    });
    connect(e, &PlaybackEngine::playing, this, [this] {
        m_reconnecting = false;
        m_playingSince.start();
        setStage(m_paused ? PlaybackStage::Paused : PlaybackStage::Playing);
    });
    connect(e, &PlaybackEngine::pausedChanged, this, [this](bool paused) {
        m_paused = paused;
        if (m_stage == PlaybackStage::Playing || m_stage == PlaybackStage::Paused)
            setStage(paused ? PlaybackStage::Paused : PlaybackStage::Playing);
        updateControls();
    });
    connect(e, &PlaybackEngine::frameRendered, this, [this] {
        if (!m_frameSeen && m_stage != PlaybackStage::Idle && m_stage != PlaybackStage::Stopped) {
            m_frameSeen = true;
            Q_EMIT firstFrame();
        }
    });
    connect(e, &PlaybackEngine::openFailed, this, [this](PlaybackFailure failure, const QString& detail) {
        qCDebug(lcPlayer) << "open failed:" << m_currentStream << int(failure) << detail;
        if (m_reconnecting) {
            m_reconnecting = false;
            fail(PlaybackFailure::Interrupted); // the stream was playing: that it dropped is the news
            return;
        }
        m_failure = failure;
        tryNext();
    });
    connect(e, &PlaybackEngine::ended, this, &MediaPlayer::streamEnded);
    m_reconnectTimer.setSingleShot(true);
    m_reconnectTimer.setInterval(kReconnectDelayMs);
    connect(&m_reconnectTimer, &QTimer::timeout, this, &MediaPlayer::reconnect);

    setStage(PlaybackStage::Idle);
}

MediaPlayer::~MediaPlayer()
{
    m_resolver->cancel();
    if (m_engine)
        m_engine->stop();
}

void MediaPlayer::setResolverLimits(const PlaylistResolver::Limits& limits) { m_resolver->setLimits(limits); }

void MediaPlayer::buildControls()
{
    m_bar = new QWidget(this);
    m_bar->setAutoFillBackground(true);
    QPalette p = m_bar->palette();
    // A light bar, so the standard media icons and the status text read well.
    p.setColor(QPalette::Window, QColor(0xe4, 0xe9, 0xf1));
    p.setColor(QPalette::WindowText, QColor(0x1c, 0x2a, 0x3e));
    p.setColor(QPalette::ButtonText, QColor(0x1c, 0x2a, 0x3e));
    m_bar->setPalette(p);
    auto* row = new QHBoxLayout(m_bar);
    row->setContentsMargins(4, 1, 4, 1);
    row->setSpacing(2);

    const auto makeButton = [this, row](QStyle::StandardPixmap icon, const QString& tip) {
        auto* b = new QToolButton(m_bar);
        b->setIcon(style()->standardIcon(icon));
        b->setToolTip(tip);
        b->setAutoRaise(true);
        b->setFocusPolicy(Qt::TabFocus);
        row->addWidget(b);
        return b;
    };
    m_playPause = makeButton(QStyle::SP_MediaPause, QStringLiteral("暂停"));
    m_stop = makeButton(QStyle::SP_MediaStop, QStringLiteral("停止"));
    m_muteButton = makeButton(QStyle::SP_MediaVolume, QStringLiteral("静音"));
    m_volume = new QSlider(Qt::Horizontal, m_bar);
    m_volume->setRange(0, 100);
    m_volume->setValue(m_settings.volume);
    m_volume->setToolTip(QStringLiteral("音量"));
    m_volume->setFixedWidth(m_settings.uiMode == UiMode::Full ? 90 : 60);
    row->addWidget(m_volume);
    if (m_settings.uiMode == UiMode::Full) {
        // The full bar adds the play position: a seek bar for recorded files, elapsed time for live.
        m_position = new QSlider(Qt::Horizontal, m_bar);
        m_position->setRange(0, 0);
        m_position->setEnabled(false);
        m_position->setToolTip(QStringLiteral("播放进度"));
        row->insertWidget(0, m_position, 2);
        m_time = new QLabel(QStringLiteral("00:00"), m_bar);
        row->insertWidget(1, m_time);
        connect(m_position, &QSlider::sliderReleased, this, [this] { m_engine->seek(m_position->value()); });
        connect(m_engine.get(), &PlaybackEngine::positionChanged, this, &MediaPlayer::showPosition);
    }
    m_status = new QLabel(m_bar);
    m_status->setTextFormat(Qt::PlainText);
    m_status->setMinimumWidth(0);
    m_status->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    row->addWidget(m_status, 1);

    connect(m_playPause, &QToolButton::clicked, this, &MediaPlayer::playPauseClicked);
    connect(m_stop, &QToolButton::clicked, this, &MediaPlayer::stopClicked);
    connect(m_muteButton, &QToolButton::clicked, this, &MediaPlayer::muteClicked);
    connect(m_volume, &QSlider::valueChanged, this, [this](int v) { m_engine->setVolume(v); });
    updateControls();
}

void MediaPlayer::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layoutChildren();
}

void MediaPlayer::layoutChildren()
{
    const int bar = qMin(kBarHeight, height());
    m_video->setGeometry(0, 0, width(), height() - bar);
    m_bar->setGeometry(0, height() - bar, width(), bar);
}

void MediaPlayer::streamEnded(PlaybackFailure failure)
{
    if (failure == PlaybackFailure::None) {
        setStage(PlaybackStage::Stopped);
        return;
    }
    if (m_playingSince.isValid() && m_playingSince.elapsed() >= kStableRunMs)
        m_reconnects = 0;
    if (failure != PlaybackFailure::Interrupted || m_reconnects >= kMaxReconnects || !m_currentStream.isValid()) {
        fail(failure);
        return;
    }
    ++m_reconnects;
    m_playingSince.invalidate();
    m_reconnecting = true;
    setStage(PlaybackStage::Reconnecting);
    m_reconnectTimer.start();
}

void MediaPlayer::reconnect()
{
    m_frameSeen = false;
    m_engine->open(m_currentStream);
}

void MediaPlayer::setURL(const QString& url)
{
    m_url = url;
    m_reconnectTimer.stop();
    m_reconnects = 0;
    m_reconnecting = false;
    m_playingSince.invalidate();
    m_resolver->cancel();
    m_queue.clear();
    m_seen.clear();
    m_resolves = 0;
    m_failure = PlaybackFailure::None;
    m_frameSeen = false;
    m_currentStream = QUrl();
    if (url.trimmed().isEmpty()) {
        m_engine->stop();
        setStage(PlaybackStage::Idle);
        return;
    }
    if (!m_settings.autoStart)
        return;
    m_queue.push_back(QUrl::fromUserInput(url.trimmed()));
    m_stage = PlaybackStage::Idle; // every write starts afresh, also while connecting
    setStage(PlaybackStage::Connecting);
    tryNext();
}

void MediaPlayer::tryNext()
{
    while (!m_queue.isEmpty()) {
        const QUrl next = m_queue.takeFirst();
        if (isHttp(next)) {
            if (m_seen.contains(next)) {
                m_failure = PlaybackFailure::Loop;
                continue;
            }
            if (++m_resolves > kMaxResolves) {
                m_failure = PlaybackFailure::Loop;
                break;
            }
            m_seen.insert(next);
            m_resolver->resolve(next);
            return;
        }
        openInEngine(next);
        return;
    }
    m_engine->stop();
    fail(m_failure == PlaybackFailure::None ? PlaybackFailure::Other : m_failure);
}

void MediaPlayer::resolverFinished(const PlaylistResolver::Outcome& outcome)
{
    switch (outcome.type) {
    case PlaylistResolver::Outcome::Type::Stream:
        openInEngine(outcome.url);
        return;
    case PlaylistResolver::Outcome::Type::Playlist: {
        // The playlist's streams go first, in order, before anything queued after the playlist;
        // tryNext skips (and reports as a loop) any playlist already fetched.
        m_queue = outcome.candidates + m_queue;
        tryNext();
        return;
    }
    case PlaylistResolver::Outcome::Type::Failed:
        qCDebug(lcPlayer) << "playlist failed:" << outcome.url << int(outcome.failure) << outcome.detail;
        m_failure = outcome.failure;
        tryNext();
        return;
    }
}

void MediaPlayer::openInEngine(const QUrl& url)
{
    m_currentStream = url;
    if (m_stage != PlaybackStage::Connecting)
        setStage(PlaybackStage::Connecting);
    m_engine->open(url);
}

void MediaPlayer::fail(PlaybackFailure failure)
{
    m_failure = failure;
    setStage(PlaybackStage::Failed);
}

void MediaPlayer::setStage(PlaybackStage stage, int percent)
{
    const bool changed = stage != m_stage || percent != m_percent;
    m_stage = stage;
    m_percent = percent;
    m_status->setText(statusText());
    m_status->setToolTip(m_status->text());
    updateControls();
    if (changed)
        Q_EMIT stageChanged(stage);
}

QString MediaPlayer::statusText() const { return playbackStatusText(m_stage, m_percent, m_failure); }

void MediaPlayer::updateControls()
{
    const bool active = m_stage == PlaybackStage::Playing || m_stage == PlaybackStage::Paused
                        || m_stage == PlaybackStage::Buffering || m_stage == PlaybackStage::Connecting
                        || m_stage == PlaybackStage::Reconnecting;
    m_playPause->setEnabled(active || (m_stage == PlaybackStage::Stopped && !m_url.isEmpty()));
    const bool showPlay = m_paused || m_stage == PlaybackStage::Stopped;
    m_playPause->setIcon(style()->standardIcon(showPlay ? QStyle::SP_MediaPlay : QStyle::SP_MediaPause));
    m_playPause->setToolTip(showPlay ? QStringLiteral("播放") : QStringLiteral("暂停"));
    m_stop->setEnabled(active);
    m_muteButton->setIcon(style()->standardIcon(m_muted ? QStyle::SP_MediaVolumeMuted : QStyle::SP_MediaVolume));
}

void MediaPlayer::playPauseClicked()
{
    if (m_stage == PlaybackStage::Stopped) {
        setURL(m_url); // live streams restart from now
        return;
    }
    m_paused = !m_paused;
    m_engine->setPaused(m_paused);
    updateControls();
}

void MediaPlayer::stopClicked()
{
    m_reconnectTimer.stop();
    m_reconnecting = false;
    m_resolver->cancel();
    m_queue.clear();
    m_engine->stop();
    m_paused = false;
    m_engine->setPaused(false);
    setStage(PlaybackStage::Stopped);
}

void MediaPlayer::showPosition(double seconds, double duration)
{
    const auto clock = [](double s) {
        const int total = qMax(0, int(s));
        return QStringLiteral("%1:%2").arg(total / 60, 2, 10, QLatin1Char('0')).arg(total % 60, 2, 10, QLatin1Char('0'));
    };
    const bool seekable = duration > 0;
    m_time->setText(seekable ? clock(seconds) + QStringLiteral(" / ") + clock(duration) : clock(seconds));
    m_position->setEnabled(seekable);
    if (!m_position->isSliderDown()) {
        m_position->setRange(0, seekable ? int(duration) : 0);
        m_position->setValue(int(seconds));
    }
}

void MediaPlayer::muteClicked()
{
    m_muted = !m_muted;
    m_engine->setMute(m_muted);
    updateControls();
}

bool MediaPlayer::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_video) {
        if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick) {
            const auto* me = static_cast<QMouseEvent*>(event);
            const QPointF p = m_video->mapTo(this, me->position().toPoint());
            Q_EMIT MouseDown(mousemasks::buttonMask(me->button()), mousemasks::shiftMask(me->modifiers()),
                             float(p.x()), float(p.y()));
        } else if (event->type() == QEvent::MouseMove) {
            const auto* me = static_cast<QMouseEvent*>(event);
            const QPointF p = m_video->mapTo(this, me->position().toPoint());
            Q_EMIT MouseMove(mousemasks::buttonMask(me->buttons()), mousemasks::shiftMask(me->modifiers()),
                             float(p.x()), float(p.y()));
        }
    }
    return QWidget::eventFilter(watched, event);
}
