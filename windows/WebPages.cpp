#include "WebPages.h"

#include "LumivoBuildValues.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace webpages {

QString cntvAdPage() { return QString::fromUtf8(buildvalues::ContentServer) + QStringLiteral("/ad/cntvad.html"); }
QString portalPage() { return QString::fromUtf8(buildvalues::PortalServer) + QStringLiteral("/3tv/"); }
QString chatRoom() { return QString::fromUtf8(buildvalues::ChatRoomUrl); }
QString musicBox() { return QString::fromUtf8(buildvalues::MusicBoxUrl); }
QString yishiLive() { return QString::fromUtf8(buildvalues::YishiUrl); }

void centreOnScreen(QWidget* window)
{
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    // The frame is not known before the window is mapped; its client size is what we set.
    const QRect area = screen->availableGeometry();
    window->move(area.center() - QPoint(window->width() / 2, window->height() / 2));
}

} // namespace webpages
