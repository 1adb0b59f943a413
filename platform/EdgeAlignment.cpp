#include "EdgeAlignment.h"

#include <QEvent>

#include <algorithm>

EdgeAlignment::EdgeAlignment(QWidget* container) : QObject(container), m_container(container)
{
    container->installEventFilter(this);
}

void EdgeAlignment::align(QWidget* child, Edge edge)
{
    m_children.emplace_back(child, edge);
    child->installEventFilter(this); // a strip shown or hidden frees or takes its edge; a moved one goes back
    apply();
}

void EdgeAlignment::apply()
{
    const int w = m_container->width();
    const int h = m_container->height();
    int top = 0;
    int bottom = h;
    // Top and bottom strips first: the side strips fit between them.
    for (const auto& [child, edge] : m_children) {
        if (!child || child->isHidden())
            continue;
        if (edge == Edge::Top) {
            child->setGeometry(0, top, w, child->height());
            top += child->height();
        } else if (edge == Edge::Bottom) {
            bottom -= child->height();
            child->setGeometry(0, bottom, w, child->height());
        }
    }
    for (const auto& [child, edge] : m_children) {
        if (!child || child->isHidden())
            continue;
        if (edge == Edge::Left)
            child->setGeometry(0, top, child->width(), std::max(0, bottom - top));
        else if (edge == Edge::Right)
            child->setGeometry(w - child->width(), top, child->width(), std::max(0, bottom - top));
    }
}

bool EdgeAlignment::eventFilter(QObject* watched, QEvent* event)
{
    const auto type = event->type();
    if ((watched == m_container && (type == QEvent::Resize || type == QEvent::Show))
        || (watched != m_container
            && (type == QEvent::ShowToParent || type == QEvent::HideToParent || type == QEvent::Move)))
        apply();
    return QObject::eventFilter(watched, event);
}
