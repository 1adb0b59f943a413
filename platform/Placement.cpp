#include "Placement.h"

#include "Units.h"

#include <algorithm>

namespace placement {
namespace {

float fromPixels(int px, Unit unit) { return unit == Unit::Twips ? units::twipsFromPixels(float(px)) : float(px); }
int toPixels(float value, Unit unit)
{
    return units::roundCoordinate(unit == Unit::Twips ? units::pixelsFromTwips(value) : value);
}

} // namespace

float left(const QWidget* w, Unit unit) { return fromPixels(w->x(), unit); }
float top(const QWidget* w, Unit unit) { return fromPixels(w->y(), unit); }
float width(const QWidget* w, Unit unit) { return fromPixels(w->width(), unit); }
float height(const QWidget* w, Unit unit) { return fromPixels(w->height(), unit); }

void setLeft(QWidget* w, float value, Unit unit) { w->move(toPixels(value, unit), w->y()); }
void setTop(QWidget* w, float value, Unit unit) { w->move(w->x(), toPixels(value, unit)); }
void setWidth(QWidget* w, float value, Unit unit) { w->resize(std::max(0, toPixels(value, unit)), w->height()); }
void setHeight(QWidget* w, float value, Unit unit) { w->resize(w->width(), std::max(0, toPixels(value, unit))); }

void setRect(QWidget* w, float l, float t, float wd, float h, Unit unit)
{
    w->setGeometry(toPixels(l, unit), toPixels(t, unit), std::max(0, toPixels(wd, unit)),
                   std::max(0, toPixels(h, unit)));
}

} // namespace placement
