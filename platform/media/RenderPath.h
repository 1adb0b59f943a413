#pragma once

#include <QString>
#include <QStringList>

// Where the picture is drawn: through OpenGL when the GL is a real GPU, otherwise by the engine's
// software renderer into an image (GL on a software rasteriser costs several times the CPU).
enum class RenderPath { OpenGL, Software };

RenderPath renderPathForRenderer(const QString& glRenderer);
// Whether a hardware GL could run at all: a DRM node (/dev/dri: "cardN", "renderDN") or the
// NVIDIA control device the user may open. Without one every GL is a software rasteriser.
bool gpuDevicePossible(const QStringList& driNodes, bool nvidiaControl);
bool machineHasGpuDevice();
// Decided once per process. Without a GPU device: software, and no GL driver is loaded at all
// (loading the software GL alone took about 30 % of the start and 50 MB). Otherwise probes the GL
// of the current platform.
RenderPath chosenRenderPath();
