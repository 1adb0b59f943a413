#include "LinkLabel.h"

#include <QMouseEvent>

LinkLabel::LinkLabel(const QString& text, QWidget* parent) : QLabel(text, parent) { setMouseTracking(true); }

void LinkLabel::mouseMoveEvent(QMouseEvent* event)
{
    event->accept();
    Q_EMIT MouseMove();
}

void LinkLabel::mousePressEvent(QMouseEvent* event)
{
    m_pressed = event->button() == Qt::LeftButton;
    // A press on a link is the link's own: it never reaches the surface beneath (a drag, a
    // double-click that closes the window).
    event->accept();
    Q_EMIT MouseDown(event->button());
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event)
{
    const bool click = m_pressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    m_pressed = false;
    event->accept();
    if (click)
        Q_EMIT Click();
}
