#pragma once

#include "VideoSurfaces.h"

#include <QOpenGLWidget>

#include <memory>

class MpvCore;

class MpvRenderContext;

// The engine renders straight into the widget's framebuffer, sized in device pixels.
class GlVideoSurface : public QOpenGLWidget, public VideoSurface
{
    Q_OBJECT
public:
    GlVideoSurface(std::shared_ptr<MpvCore> core, QWidget* parent);
    ~GlVideoSurface() override;

protected:
    void initializeGL() override;
    void paintGL() override;

private:
    std::shared_ptr<MpvCore> m_core; // until the GL context exists and the render context is made
    std::unique_ptr<MpvRenderContext> m_context;
};
