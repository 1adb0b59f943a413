#include "VideoSurfaces.h"

#include "GlVideoSurface.h"
#include "RenderPath.h"
#include "SoftwareVideoSurface.h"

MadeSurface makeVideoSurface(const std::shared_ptr<MpvCore>& core, QWidget* parent)
{
    if (chosenRenderPath() == RenderPath::OpenGL) {
        auto* gl = new GlVideoSurface(core, parent);
        return {gl, gl->notifier()};
    }
    auto* sw = new SoftwareVideoSurface(core, parent);
    return {sw, sw->notifier()};
}
