#include "SkinStrip.h"

#include <QPalette>

SkinStrip::SkinStrip(QWidget* parent, const QColor& colour) : QWidget(parent)
{
    QPalette p = palette();
    p.setColor(QPalette::Window, colour);
    setPalette(p);
    setAutoFillBackground(true);
}
