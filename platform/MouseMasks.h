#pragma once

#include <Qt>

// Button mask 1 left, 2 right, 4 middle; shift mask 1 Shift, 2 Ctrl, 4 Alt.
namespace mousemasks {

inline int buttonMask(Qt::MouseButtons buttons)
{
    return (buttons & Qt::LeftButton ? 1 : 0) | (buttons & Qt::RightButton ? 2 : 0) | (buttons & Qt::MiddleButton ? 4 : 0);
}

inline int shiftMask(Qt::KeyboardModifiers mods)
{
    return (mods & Qt::ShiftModifier ? 1 : 0) | (mods & Qt::ControlModifier ? 2 : 0) | (mods & Qt::AltModifier ? 4 : 0);
}

} // namespace mousemasks
