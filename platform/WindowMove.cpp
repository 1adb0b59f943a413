#include "WindowMove.h"

#include <QApplication>
#include <QCoreApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>
#include <QWindow>

namespace {

// Without a window manager nobody moves the window for us: follow the pointer by hand.
class PointerFollower : public QObject
{
public:
    PointerFollower(QWidget* window, const QPointF& globalPos)
        : m_window(window), m_offset(globalPos.toPoint() - window->frameGeometry().topLeft())
    {
        QCoreApplication::instance()->installEventFilter(this);
    }

    void follow(const QPoint& globalPos) { m_window->move(globalPos - m_offset); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (!m_window) {
            finish();
            return false;
        }
        if (event->type() == QEvent::MouseMove) {
            const auto* me = static_cast<QMouseEvent*>(event);
            if (me->buttons() == Qt::NoButton) {
                finish();
                return false;
            }
            follow(me->globalPosition().toPoint());
            return true;
        }
        if (event->type() == QEvent::MouseButtonRelease) {
            finish();
            return true;
        }
        return QObject::eventFilter(watched, event);
    }

    // Stops at once; the object itself goes when the event loop next runs.
    void finish()
    {
        QCoreApplication::instance()->removeEventFilter(this);
        deleteLater();
    }

private:
    QPointer<QWidget> m_window;
    QPoint m_offset;
};

// Waits until the pointer has gone the drag distance with a button held before the move starts:
// a window manager's move loop takes the pointer, and would swallow the second press of a double
// click and the release of a click that started on the same spot.
class PendingMove : public QObject
{
public:
    PendingMove(QWidget* window, const QPointF& globalPos) : m_window(window), m_start(globalPos)
    {
        QCoreApplication::instance()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (!m_window) {
            finish();
            return false;
        }
        const auto type = event->type();
        if (type == QEvent::MouseButtonRelease) {
            finish();
            return false;
        }
        if (type == QEvent::MouseMove) {
            const auto* me = static_cast<QMouseEvent*>(event);
            if (me->buttons() == Qt::NoButton) {
                finish();
                return false;
            }
            const QPoint now = me->globalPosition().toPoint();
            if ((now - m_start.toPoint()).manhattanLength() < QApplication::startDragDistance())
                return false;
            finish();
            // Catch up on the way so far, then hand the rest to the window manager's loop, or
            // follow the pointer by hand where there is none.
            m_window->move(m_window->pos() + (now - m_start.toPoint()));
            if (QWindow* handle = m_window->windowHandle(); handle && handle->startSystemMove())
                return true;
            new PointerFollower(m_window, now);
            return true;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    void finish()
    {
        QCoreApplication::instance()->removeEventFilter(this);
        deleteLater();
    }

    QPointer<QWidget> m_window;
    QPointF m_start;
};

} // namespace

void beginWindowMove(QWidget* window, const QPointF& globalPos)
{
    new PendingMove(window->window(), globalPos);
}
