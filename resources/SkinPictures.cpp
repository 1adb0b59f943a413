#include "SkinPictures.h"

#include <array>

namespace skin {
namespace {

constexpr std::array<Assignment, 33> kMainWindow{{
    // strips: the 15 skin pieces
    {"Bd1", "strip-caption"},
    {"Bd2", "strip-caption-buttons"},
    {"Bd3", "strip-bottom-accent"},
    {"Bd4", "strip-edge-left"},
    {"Bd5", "strip-divider"},
    {"Bd6", "strip-bottom"},
    {"Bd7", "strip-corner-bottom-left"},
    {"Bd8", "strip-corner-bottom-right"},
    {"Bd9", "strip-player-top"},
    {"Bd10", "strip-player-bottom"},
    {"Bd13", "strip-corner-top-right"},
    {"Rc", "strip-edge-right"},
    {"Tr", "strip-caption-mark"},
    {"Br", "strip-bottom-mark"},
    {"Mnu", "strip-menu"},
    // the window's own background, under the caption bar
    {"Form1", "window-background"},
    // caption buttons: normal, hover, pressed
    {"Bi0", "btn-minimize-normal"},
    {"Bi1", "btn-minimize-hover"},
    {"Bi2", "btn-minimize-pressed"},
    {"ba0", "btn-fullscreen-normal"},
    {"ba1", "btn-fullscreen-hover"},
    {"Ba2", "btn-fullscreen-pressed"},
    {"Bc0", "btn-close-normal"},
    {"Bc1", "btn-close-hover"},
    {"bc2", "btn-close-pressed"},
    // floating buttons of compact mode
    {"Pt1", "float-restore-normal"},
    {"Pt2", "float-restore-hover"},
    {"Pt4", "float-minimize-normal"},
    {"Pt3", "float-minimize-hover"},
    // list handles
    {"Image1", "handle-hide-normal"},
    {"Image2", "handle-hide-hover"},
    {"Image4", "handle-show-normal"},
    {"Image3", "handle-show-hover"},
}};

} // namespace

QPixmap picture(const QString& name, qreal devicePixelRatio)
{
    const QString base = QStringLiteral(":/skin/") + name;
    if (devicePixelRatio > 1) {
        QPixmap sharp(base + QStringLiteral("@2x.png"));
        if (!sharp.isNull()) {
            sharp.setDevicePixelRatio(2);
            return sharp;
        }
    }
    return QPixmap(base + QStringLiteral(".png"));
}

QCursor linkCursor(qreal devicePixelRatio)
{
    return QCursor(picture(QStringLiteral("cursor-link"), devicePixelRatio), LinkCursorHotSpot.x(), LinkCursorHotSpot.y());
}

std::span<const Assignment> mainWindow() { return kMainWindow; }

QString pictureFor(const QString& element)
{
    for (const Assignment& a : kMainWindow) {
        if (element == QLatin1String(a.element))
            return QLatin1String(a.picture);
    }
    return {};
}

} // namespace skin
