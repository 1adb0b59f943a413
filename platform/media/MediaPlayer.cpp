#include "MediaPlayer.h"

#include "MouseMasks.h"
#include "PlaybackEngineFactory.h"
#include "VideoOutput.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QSlider>
#include <QStyle>
#include <QToolButton>

namespace {

constexpr int kBarHeight = 26;

} // namespace

MediaPlayer::MediaPlayer(const Settings& settings, QWidget* parent) : QWidget(parent), m_settings(settings)
{
    std::unique_ptr<PlaybackEngine> made = createPlaybackEngine();
    auto* output = dynamic_cast<VideoOutput*>(made.get());
    m_session = new PlaybackSession(std::move(made), this);
    m_session->setAutoStart(m_settings.autoStart);

    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::black);
    setPalette(p);
    if (!m_settings.enableContextMenu)
        setContextMenuPolicy(Qt::PreventContextMenu);

    // An engine without pictures still gets a black area, so the control looks and reacts the same.
    m_video = output ? output->createVideoSurface(this) : new QWidget(this);
    m_video->setMouseTracking(true);
    m_video->installEventFilter(this);
    buildControls();

    PlaybackEngine* e = engine();
    m_muted = m_settings.mute;
    e->setVolume(m_settings.volume);
    e->setMute(m_settings.mute);
    e->setStretchToFit(m_settings.stretchToFit);

    connect(m_session, &PlaybackSession::stageChanged, this, [this](PlaybackStage stage) {
        showStage();
        Q_EMIT stageChanged(stage);
    });
    connect(m_session, &PlaybackSession::pausedChanged, this, &MediaPlayer::updateControls);
    connect(m_session, &PlaybackSession::firstFrame, this, &MediaPlayer::firstFrame);
    showStage();
}

// The session goes first (it is a child), while the surface it may still draw into exists.
MediaPlayer::~MediaPlayer() { delete m_session; }

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
        connect(m_position, &QSlider::sliderReleased, this, [this] { engine()->seek(m_position->value()); });
        connect(engine(), &PlaybackEngine::positionChanged, this, &MediaPlayer::showPosition);
    }
    m_status = new QLabel(m_bar);
    m_status->setTextFormat(Qt::PlainText);
    m_status->setMinimumWidth(0);
    m_status->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    row->addWidget(m_status, 1);

    connect(m_playPause, &QToolButton::clicked, m_session, &PlaybackSession::togglePause);
    connect(m_stop, &QToolButton::clicked, m_session, &PlaybackSession::stop);
    connect(m_muteButton, &QToolButton::clicked, this, &MediaPlayer::toggleMute);
    connect(m_volume, &QSlider::valueChanged, this, [this](int v) {
        engine()->setVolume(v);
        Q_EMIT volumeChanged(v);
    });
}

int MediaPlayer::volume() const { return m_volume->value(); }

void MediaPlayer::setVolume(int volume) { m_volume->setValue(qBound(0, volume, 100)); }

void MediaPlayer::showStage()
{
    m_status->setText(statusText());
    m_status->setToolTip(m_status->text());
    updateControls();
}

void MediaPlayer::updateControls()
{
    const PlaybackStage stage = m_session->stage();
    m_playPause->setEnabled(m_session->active() || (stage == PlaybackStage::Stopped && !URL().isEmpty()));
    const bool showPlay = m_session->paused() || stage == PlaybackStage::Stopped;
    m_playPause->setIcon(style()->standardIcon(showPlay ? QStyle::SP_MediaPlay : QStyle::SP_MediaPause));
    m_playPause->setToolTip(showPlay ? QStringLiteral("播放") : QStringLiteral("暂停"));
    m_stop->setEnabled(m_session->active());
    m_muteButton->setIcon(style()->standardIcon(m_muted ? QStyle::SP_MediaVolumeMuted : QStyle::SP_MediaVolume));
}

void MediaPlayer::setMuted(bool muted)
{
    m_muted = muted;
    engine()->setMute(m_muted);
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
