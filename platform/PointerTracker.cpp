#include "PointerTracker.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>

namespace pointertracker {
namespace {

class Tracker : public QObject
{
public:
    Tracker(QWidget* window, std::function<Step(const QPoint&)> moved, bool consumeRelease)
        : m_window(window), m_moved(std::move(moved)), m_consumeRelease(consumeRelease)
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
        if (event->type() == QEvent::MouseButtonRelease) {
            finish();
            return m_consumeRelease;
        }
        if (event->type() == QEvent::MouseMove) {
            const auto* me = static_cast<QMouseEvent*>(event);
            if (me->buttons() == Qt::NoButton) {
                finish();
                return false;
            }
            switch (m_moved(me->globalPosition().toPoint())) {
            case Step::Pass:
                return false;
            case Step::Consume:
                return true;
            case Step::Stop:
                finish();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    // Stops at once; the object itself goes when the event loop next runs.
    void finish()
    {
        QCoreApplication::instance()->removeEventFilter(this);
        deleteLater();
    }

    QPointer<QWidget> m_window;
    std::function<Step(const QPoint&)> m_moved;
    bool m_consumeRelease;
};

} // namespace

void track(QWidget* window, std::function<Step(const QPoint& globalPos)> moved, bool consumeRelease)
{
    new Tracker(window, std::move(moved), consumeRelease);
}

} // namespace pointertracker
