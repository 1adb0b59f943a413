#include "RenderPath.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions>

#include <unistd.h>

RenderPath renderPathForRenderer(const QString& glRenderer)
{
    if (glRenderer.trimmed().isEmpty())
        return RenderPath::Software;
    for (const char* software : {"llvmpipe", "softpipe", "software rasterizer", "swrast", "swr"})
        if (glRenderer.contains(QLatin1String(software), Qt::CaseInsensitive))
            return RenderPath::Software;
    return RenderPath::OpenGL;
}

bool gpuDevicePossible(const QStringList& driNodes, bool nvidiaControl)
{
    if (nvidiaControl)
        return true;
    for (const QString& node : driNodes)
        if (node.startsWith(u"card") || node.startsWith(u"renderD"))
            return true;
    return false;
}

bool machineHasGpuDevice()
{
    static const bool present = [] {
        // Only nodes this user may open count: GL falls back to software on the others too.
        const QDir dri(QStringLiteral("/dev/dri"));
        QStringList usable;
        for (const QString& node : dri.entryList(QDir::System | QDir::Files | QDir::NoDotAndDotDot))
            if (::access(QFile::encodeName(dri.filePath(node)).constData(), R_OK | W_OK) == 0)
                usable << node;
        return gpuDevicePossible(usable, ::access("/dev/nvidiactl", R_OK | W_OK) == 0);
    }();
    return present;
}

RenderPath chosenRenderPath()
{
    static const RenderPath path = [] {
        if (!machineHasGpuDevice())
            return RenderPath::Software;
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
