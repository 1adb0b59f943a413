#include "SoftwareVideoSurface.h"

#include "MpvRenderContext.h"

#include <mpv/render.h>

#include <QPainter>

SoftwareVideoSurface::SoftwareVideoSurface(std::shared_ptr<MpvCore> core, QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    mpv_render_param params[] = {
        {MPV_RENDER_PARAM_API_TYPE, const_cast<char*>(MPV_RENDER_API_TYPE_SW)},
        {MPV_RENDER_PARAM_INVALID, nullptr},
    };
    m_context = std::make_unique<MpvRenderContext>(std::move(core), params, [this] { renderFrame(); });
}

SoftwareVideoSurface::~SoftwareVideoSurface() = default;

void SoftwareVideoSurface::renderFrame()
{
    if (!*m_context)
        return;
    if (!(mpv_render_context_update(m_context->get()) & MPV_RENDER_UPDATE_FRAME))
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
    if (mpv_render_context_render(m_context->get(), params) < 0)
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
