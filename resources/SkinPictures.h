#pragma once

#include <QCursor>
#include <QPixmap>
#include <QPoint>
#include <QString>

#include <span>

// The main window's skin pictures, compiled in. Each picture exists at 1x and at 2x
// ("name@2x.png"); a plain QPixmap load would always take the 1x file, so load them here.
namespace skin {

// The picture `name` (file name without ".png") for a screen of the given device pixel ratio:
// the 2x drawing above 1x, with its ratio set so it paints at its logical size. Null when no
// picture has that name.
QPixmap picture(const QString& name, qreal devicePixelRatio = 1);

// Where the pointing hand of the menu titles and link labels points (its hot spot), in the
// picture's logical pixels.
inline constexpr QPoint LinkCursorHotSpot{9, 1};
QCursor linkCursor(qreal devicePixelRatio = 1);

// Which picture an element of the main window shows. Strips by their names, the window's
// background as "Form1", the state pictures by the names of their stores (Bi0 … Image4).
struct Assignment
{
    const char* element;
    const char* picture;
};
std::span<const Assignment> mainWindow();
// The picture name assigned to `element` (matched exactly), or an empty string.
QString pictureFor(const QString& element);

} // namespace skin
