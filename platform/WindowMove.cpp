#include "WindowMove.h"

#include "PointerTracker.h"

#include <QApplication>
#include <QWidget>
#include <QWindow>

namespace {

using pointertracker::Step;

// Without a window manager nobody moves the window for us: follow the pointer by hand.
void followPointer(QWidget* window, const QPoint& globalPos)
{
    const QPoint offset = globalPos - window->frameGeometry().topLeft();
    pointertracker::track(
        window,
        [window, offset](const QPoint& now) {
            window->move(now - offset);
            return Step::Consume;
        },
        /*consumeRelease=*/true);
}

} // namespace

// Waits until the pointer has gone the drag distance with a button held before the move starts:
// a window manager's move loop takes the pointer, and would swallow the second press of a double
// click and the release of a click that started on the same spot.
void beginWindowMove(QWidget* window, const QPointF& globalPos)
{
    QWidget* top = window->window();
    const QPoint start = globalPos.toPoint();
    pointertracker::track(
        top,
        [top, start](const QPoint& now) {
            if ((now - start).manhattanLength() < QApplication::startDragDistance())
                return Step::Pass;
            // Catch up on the way so far, then hand the rest to the window manager's loop, or
            // follow the pointer by hand where there is none.
            top->move(top->pos() + (now - start));
            if (QWindow* handle = top->windowHandle(); !handle || !handle->startSystemMove())
                followPointer(top, now);
            return Step::Stop;
        },
        /*consumeRelease=*/false);
}
