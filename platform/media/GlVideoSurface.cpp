#include "GlVideoSurface.h"

#include "MpvRenderContext.h"

#include <mpv/render_gl.h>

#include <QOpenGLContext>

namespace {
void* procAddress(void*, const char* name)
{
    QOpenGLContext* context = QOpenGLContext::currentContext();
    return context ? reinterpret_cast<void*>(context->getProcAddress(name)) : nullptr;
}
} // namespace

GlVideoSurface::GlVideoSurface(std::shared_ptr<MpvCore> core, QWidget* parent)
    : QOpenGLWidget(parent), m_core(std::move(core))
{
    setMouseTracking(true);
    connect(this, &QOpenGLWidget::frameSwapped, this, [this] {
        if (m_context && *m_context)
            mpv_render_context_report_swap(m_context->get());
    });
}

GlVideoSurface::~GlVideoSurface()
{
    if (!m_context)
        return;
    // The context's GL resources go with the widget's GL context current.
    makeCurrent();
    m_context.reset();
    doneCurrent();
}

void GlVideoSurface::initializeGL()
{
    mpv_opengl_init_params init{procAddress, nullptr};
    mpv_render_param params[] = {
        {MPV_RENDER_PARAM_API_TYPE, const_cast<char*>(MPV_RENDER_API_TYPE_OPENGL)},
        {MPV_RENDER_PARAM_OPENGL_INIT_PARAMS, &init},
        {MPV_RENDER_PARAM_INVALID, nullptr},
    };
    m_context = std::make_unique<MpvRenderContext>(m_core, params, [this] { update(); });
}

void GlVideoSurface::paintGL()
{
    if (!m_context || !*m_context)
        return;
    const qreal dpr = devicePixelRatioF();
    mpv_opengl_fbo fbo{int(defaultFramebufferObject()), qRound(width() * dpr), qRound(height() * dpr), 0};
    int flipY = 1;
    int block = 0; // never wait on the GUI thread for a frame's display time
    mpv_render_param params[] = {
        {MPV_RENDER_PARAM_OPENGL_FBO, &fbo},
        {MPV_RENDER_PARAM_FLIP_Y, &flipY},
        {MPV_RENDER_PARAM_BLOCK_FOR_TARGET_TIME, &block},
        {MPV_RENDER_PARAM_INVALID, nullptr},
    };
    if (mpv_render_context_render(m_context->get(), params) >= 0)
        Q_EMIT m_notifier.frameRendered();
}
