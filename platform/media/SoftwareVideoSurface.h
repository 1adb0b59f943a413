#pragma once

#include "VideoSurfaces.h"

#include <QImage>
#include <QWidget>

#include <atomic>
#include <memory>
#include <vector>

struct mpv_render_context;

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

    std::shared_ptr<MpvCore> m_core;
    mpv_render_context* m_context = nullptr;
    std::atomic<bool> m_renderQueued{false};
    std::vector<unsigned char> m_pixels;
    QImage m_frame;
};
