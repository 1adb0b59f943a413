#include "WindowResize.h"

#include "PointerTracker.h"

#include <QEvent>
#include <QMouseEvent>
#include <QWindow>

#include <algorithm>

namespace {

// Without a window manager nobody resizes the window for us: move its edges with the pointer. The
// opposite edge stays put; an edge stops where the window would get too small.
void followEdges(QWidget* window, Qt::Edges edges, const QPoint& start)
{
    const QRect geometry = window->geometry();
    pointertracker::track(
        window,
        [window, edges, start, geometry](const QPoint& now) {
            const QPoint delta = now - start;
            QRect g = geometry;
            const QSize min = window->minimumSize().expandedTo(QSize(1, 1));
            if (edges & Qt::LeftEdge)
                g.setLeft(std::min(g.left() + delta.x(), g.right() + 1 - min.width()));
            if (edges & Qt::RightEdge)
                g.setRight(std::max(g.right() + delta.x(), g.left() + min.width() - 1));
            if (edges & Qt::TopEdge)
                g.setTop(std::min(g.top() + delta.y(), g.bottom() + 1 - min.height()));
            if (edges & Qt::BottomEdge)
                g.setBottom(std::max(g.bottom() + delta.y(), g.top() + min.height() - 1));
            window->setGeometry(g);
            return pointertracker::Step::Consume;
        },
        /*consumeRelease=*/true);
}

class Grip : public QWidget
{
public:
    Grip(QWidget* window, Qt::Edges edges) : QWidget(window), m_edges(edges)
    {
        setObjectName(QStringLiteral("resizeGrip"));
        const bool horizontal = edges == Qt::LeftEdge || edges == Qt::RightEdge;
        const bool vertical = edges == Qt::TopEdge || edges == Qt::BottomEdge;
        const bool mainDiagonal = edges == (Qt::TopEdge | Qt::LeftEdge) || edges == (Qt::BottomEdge | Qt::RightEdge);
        setCursor(horizontal ? Qt::SizeHorCursor
                  : vertical ? Qt::SizeVerCursor
                  : mainDiagonal ? Qt::SizeFDiagCursor
                                 : Qt::SizeBDiagCursor);
    }

    Qt::Edges edges() const { return m_edges; }

protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        event->accept();
        beginWindowResize(window(), m_edges, event->globalPosition());
    }

private:
    Qt::Edges m_edges;
};

} // namespace

void beginWindowResize(QWidget* window, Qt::Edges edges, const QPointF& globalPos)
{
    QWidget* top = window->window();
    if (QWindow* handle = top->windowHandle(); handle && handle->startSystemResize(edges))
        return;
    followEdges(top, edges, globalPos.toPoint());
}

ResizeGrips::ResizeGrips(QWidget* window) : QObject(window), m_window(window)
{
    for (Qt::Edges e : {Qt::Edges(Qt::TopEdge), Qt::Edges(Qt::BottomEdge), Qt::Edges(Qt::LeftEdge),
                        Qt::Edges(Qt::RightEdge), Qt::TopEdge | Qt::LeftEdge, Qt::TopEdge | Qt::RightEdge,
                        Qt::BottomEdge | Qt::LeftEdge, Qt::BottomEdge | Qt::RightEdge})
        m_grips << new Grip(window, e);
    window->installEventFilter(this);
    apply();
}

void ResizeGrips::apply()
{
    const int w = m_window->width();
    const int h = m_window->height();
    const int t = Thickness;
    const int c = 3 * Thickness;
    for (QWidget* grip : m_grips) {
        const Qt::Edges e = static_cast<Grip*>(grip)->edges();
        QRect r;
        if (e == Qt::TopEdge)
            r = QRect(c, 0, w - 2 * c, t);
        else if (e == Qt::BottomEdge)
            r = QRect(c, h - t, w - 2 * c, t);
        else if (e == Qt::LeftEdge)
            r = QRect(0, c, t, h - 2 * c);
        else if (e == Qt::RightEdge)
            r = QRect(w - t, c, t, h - 2 * c);
        else
            r = QRect((e & Qt::LeftEdge) ? 0 : w - c, (e & Qt::TopEdge) ? 0 : h - c, c, c);
        grip->setGeometry(r.normalized().intersected(QRect(0, 0, w, h)));
        grip->raise(); // above whatever the window placed since
    }
}

bool ResizeGrips::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_window && (event->type() == QEvent::Resize || event->type() == QEvent::Show))
        apply();
    return QObject::eventFilter(watched, event);
}
