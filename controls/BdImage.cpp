#include "BdImage.h"

#include <QPainter>

BdImage::BdImage(QWidget* parent) : QWidget(parent) {}

void BdImage::setPicture(const QPixmap& picture)
{
    m_picture = picture;
    update();
}

void BdImage::paintEvent(QPaintEvent*)
{
    if (m_picture.isNull())
        return;
    QPainter p(this);
    // Skin strips are stretched along their length, where smoothing changes nothing; any other
    // picture stretched this way looks better smoothed than with doubled pixels.
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawPixmap(rect(), m_picture);
}
