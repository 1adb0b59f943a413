#include "WindowMove.h"

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
            m_window->move(me->globalPosition().toPoint() - m_offset);
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

} // namespace

void beginWindowMove(QWidget* window, const QPointF& globalPos)
{
    QWidget* top = window->window();
    if (QWindow* handle = top->windowHandle(); handle && handle->startSystemMove())
        return;
    new PointerFollower(top, globalPos);
}
