#pragma once

#include "VideoSurfaces.h"

#include <QImage>
#include <QWidget>

#include <memory>

class MpvCore;
#include <vector>

class MpvRenderContext;

// The engine renders each new frame into an image at the widget's device-pixel size; the widget
// paints that image. No GL involved.
class SoftwareVideoSurface : public QWidget, public VideoSurface
{
    Q_OBJECT
public:
    SoftwareVideoSurface(std::shared_ptr<MpvCore> core, QWidget* parent);
    ~SoftwareVideoSurface() override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void renderFrame();

    std::unique_ptr<MpvRenderContext> m_context;
    std::vector<unsigned char> m_pixels;
    QImage m_frame;
};
