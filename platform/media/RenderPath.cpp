#include "RenderPath.h"

#include <QGuiApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions>

RenderPath renderPathForRenderer(const QString& glRenderer)
{
    if (glRenderer.trimmed().isEmpty())
        return RenderPath::Software;
    for (const char* software : {"llvmpipe", "softpipe", "software rasterizer", "swrast", "swr"})
        if (glRenderer.contains(QLatin1String(software), Qt::CaseInsensitive))
            return RenderPath::Software;
    return RenderPath::OpenGL;
}

RenderPath chosenRenderPath()
{
    static const RenderPath path = [] {
        const QString platform = QGuiApplication::platformName();
        // These platforms have no GL window to draw into.
        if (platform == u"offscreen" || platform == u"minimal" || platform == u"vnc")
            return RenderPath::Software;
        QOpenGLContext context;
        if (!context.create())
            return RenderPath::Software;
        QOffscreenSurface surface;
        surface.setFormat(context.format());
        surface.create();
        if (!context.makeCurrent(&surface))
            return RenderPath::Software;
        const auto* renderer = reinterpret_cast<const char*>(context.functions()->glGetString(GL_RENDERER));
        const RenderPath chosen = renderPathForRenderer(QString::fromLatin1(renderer ? renderer : ""));
        context.doneCurrent();
        return chosen;
    }();
    return path;
}
