#include "SoftwareVideoSurface.h"

#include "MpvCore.h"

#include <mpv/render.h>

#include <QMetaObject>
#include <QPainter>

SoftwareVideoSurface::SoftwareVideoSurface(std::shared_ptr<MpvCore> core, QWidget* parent)
    : QWidget(parent), m_core(std::move(core))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    mpv_render_param params[] = {
        {MPV_RENDER_PARAM_API_TYPE, const_cast<char*>(MPV_RENDER_API_TYPE_SW)},
        {MPV_RENDER_PARAM_INVALID, nullptr},
    };
    if (mpv_render_context_create(&m_context, m_core->handle(), params) < 0) {
        m_context = nullptr;
        return;
    }
    // Called on an engine thread: only queue one render on the GUI thread.
    mpv_render_context_set_update_callback(
        m_context,
        [](void* ctx) {
            auto* self = static_cast<SoftwareVideoSurface*>(ctx);
            if (!self->m_renderQueued.exchange(true))
                QMetaObject::invokeMethod(self, &SoftwareVideoSurface::renderFrame, Qt::QueuedConnection);
        },
        this);
}

SoftwareVideoSurface::~SoftwareVideoSurface()
{
    if (m_context) {
        mpv_render_context_set_update_callback(m_context, nullptr, nullptr);
        mpv_render_context_free(m_context);
    }
}

void SoftwareVideoSurface::renderFrame()
{
    m_renderQueued = false;
    if (!m_context)
        return;
    if (!(mpv_render_context_update(m_context) & MPV_RENDER_UPDATE_FRAME))
        return;
    const qreal dpr = devicePixelRatioF();
    int size[2] = {qMax(1, qRound(width() * dpr)), qMax(1, qRound(height() * dpr))};
    // The renderer wants rows aligned to 64 bytes.
    size_t stride = (size_t(size[0]) * 4 + 63) & ~size_t(63);
    if (m_frame.width() != size[0] || m_frame.height() != size[1]) {
        m_pixels.assign(stride * size_t(size[1]), 0);
        m_frame = QImage(m_pixels.data(), size[0], size[1], qsizetype(stride), QImage::Format_RGB32);
        m_frame.setDevicePixelRatio(dpr);
    }
    char format[] = "bgr0";
    int block = 0;
    mpv_render_param params[] = {
        {MPV_RENDER_PARAM_SW_SIZE, size},
        {MPV_RENDER_PARAM_SW_FORMAT, format},
        {MPV_RENDER_PARAM_SW_STRIDE, &stride},
        {MPV_RENDER_PARAM_SW_POINTER, m_pixels.data()},
        {MPV_RENDER_PARAM_BLOCK_FOR_TARGET_TIME, &block},
        {MPV_RENDER_PARAM_INVALID, nullptr},
    };
    if (mpv_render_context_render(m_context, params) < 0)
        return;
    update();
    Q_EMIT m_notifier.frameRendered();
}

void SoftwareVideoSurface::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (m_frame.isNull())
        painter.fillRect(rect(), Qt::black);
    else
        painter.drawImage(rect(), m_frame);
}
