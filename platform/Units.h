#pragma once

#include <cmath>

// Secondary windows and the insides of controls measure in twips; the main window in pixels.
// The conversion factor is fixed at 15 (96 dots per inch), whatever the screen's real density:
// Qt already works in device-independent pixels, so HiDPI scaling happens below this layer.
namespace units {

inline constexpr int TwipsPerPixel = 15;

inline constexpr float pixelsFromTwips(float twips) { return twips / TwipsPerPixel; }
inline constexpr float twipsFromPixels(float pixels) { return pixels * TwipsPerPixel; }

// The platform rounds a single-precision coordinate when it applies it: half away from zero.
inline int roundCoordinate(float value) { return static_cast<int>(std::lround(value)); }

} // namespace units
