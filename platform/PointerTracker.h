#pragma once

#include <QPoint>

#include <functional>

class QWidget;

// Follows the pointer across the whole application while a mouse button is held, for window moves
// and resizes made by hand. `moved` gets each global pointer position and says what to do with the
// event; tracking ends when the button is released, when a move arrives with no button down, when
// `window` goes, or when `moved` says Stop.
namespace pointertracker {

enum class Step {
    Pass,    // keep tracking; the event goes on to its widget
    Consume, // keep tracking; the event stops here
    Stop,    // stop tracking; the event stops here
};

void track(QWidget* window, std::function<Step(const QPoint& globalPos)> moved, bool consumeRelease);

} // namespace pointertracker
