#pragma once

#include <QWidget>

// Left/Top/Width/Height of a child in its container's unit, as the windows' handlers read and
// write them. Values arrive single-precision and are rounded when applied; a negative size is
// applied as zero (the widget cannot be smaller) but the caller's arithmetic is left alone.
namespace placement {

enum class Unit { Pixels, Twips };

float left(const QWidget* w, Unit unit = Unit::Pixels);
float top(const QWidget* w, Unit unit = Unit::Pixels);
float width(const QWidget* w, Unit unit = Unit::Pixels);
float height(const QWidget* w, Unit unit = Unit::Pixels);

void setLeft(QWidget* w, float value, Unit unit = Unit::Pixels);
void setTop(QWidget* w, float value, Unit unit = Unit::Pixels);
void setWidth(QWidget* w, float value, Unit unit = Unit::Pixels);
void setHeight(QWidget* w, float value, Unit unit = Unit::Pixels);
void setRect(QWidget* w, float left, float top, float width, float height, Unit unit = Unit::Pixels);

// A design rectangle: Left, Top, Width, Height in the container's unit.
struct Rect
{
    float left, top, width, height;
};

// Names a new child as the window's design names it and puts it at its design rectangle, so a
// window's layout reads as a table of controls.
template <class T> T* place(T* child, const char* name, Rect r, Unit unit = Unit::Pixels)
{
    child->setObjectName(QLatin1String(name));
    setRect(child, r.left, r.top, r.width, r.height, unit);
    return child;
}

// A control's own visibility flag, not whether it is on screen right now.
inline bool visible(const QWidget* w) { return !w->isHidden(); }

} // namespace placement
