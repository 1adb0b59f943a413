#pragma once

#include <QPointF>

class QWidget;

// Starts the user's move of `window` from a button press at `globalPos` (screen pixels): once the
// pointer has gone the drag distance with the button held, the window manager's own move loop
// where there is one, otherwise the window follows the pointer until the button is released.
// A press released on the spot stays a click (or half of a double click). Any button may start it.
void beginWindowMove(QWidget* window, const QPointF& globalPos);
