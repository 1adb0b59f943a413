#include "SkinLabel.h"

#include "SkinPictures.h"

#include <QMouseEvent>

SkinLabel::SkinLabel(QWidget* parent) : QLabel(parent)
{
    setMouseTracking(true);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void SkinLabel::showStore(const QString& store)
{
    m_store = store;
    setPixmap(skin::picture(skin::pictureFor(store), devicePixelRatioF()));
}

void SkinLabel::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    m_pressed = true;
    Q_EMIT MouseDown();
}

void SkinLabel::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    const bool click = m_pressed && rect().contains(event->position().toPoint());
    m_pressed = false;
    Q_EMIT MouseUp();
    if (click)
        Q_EMIT Click();
}

void SkinLabel::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The second press of a double click raises DblClick only; its release no Click.
    event->accept();
    m_pressed = false;
    Q_EMIT DblClick();
}

void SkinLabel::mouseMoveEvent(QMouseEvent* event)
{
    event->accept();
    Q_EMIT MouseMove();
}
