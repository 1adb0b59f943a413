#pragma once

#include <QPointF>

class QWidget;

// Starts the user's move of `window` from a button press at `globalPos` (screen pixels): the
// window manager's own move loop where there is one, otherwise the window follows the pointer
// until the button is released. Any button may start it.
void beginWindowMove(QWidget* window, const QPointF& globalPos);
