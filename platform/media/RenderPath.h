#pragma once

#include <QString>

// Where the picture is drawn: through OpenGL when the GL is a real GPU, otherwise by the engine's
// software renderer into an image (GL on a software rasteriser costs several times the CPU).
enum class RenderPath { OpenGL, Software };

RenderPath renderPathForRenderer(const QString& glRenderer);
// Decided once per process: probes the GL of the current platform.
RenderPath chosenRenderPath();
