#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QRegion>
#include <QString>

// The pixel work of the push button, apart from the widget so that any size can be drawn and
// checked, including sizes the control itself never takes. Coordinates are logical pixels; an
// image with a device pixel ratio gets every logical pixel as a solid block, so the look stays
// crisp on HiDPI screens while the caption is rendered at full resolution.
namespace xpbutton {

QColor colorFromBgr(quint32 bgr);

// Clears to the back colour, then frame lines, face (gradients and row lines, or the flat face)
// and corner pixels of the given state.
void paintBody(QImage& image, int state, const QColor& back);

// Vertical gradient over (left, top, right, bottom): `topColor` on row `top`, `bottomColor` on
// row `bottom` (one row below the nominal rectangle). Skipped when top == bottom.
void paintGradient(QImage& image, int left, int top, int right, int bottom, quint32 topColor, quint32 bottomColor);

// The window shape: the full rectangle less its four corner pixels.
QRegion windowRegion(const QSize& size);

// Single line, centred in (3, 3, W-3, H-3); "&x" underlines x, "&&" draws one ampersand.
void paintCaption(QImage& image, const QString& caption, const QFont& font, const QColor& color);

// The dotted inverting frame on (3, 3, W-3, H-3).
void paintFocusRect(QImage& image);

} // namespace xpbutton
