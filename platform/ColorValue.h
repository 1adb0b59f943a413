#pragma once

#include <QColor>
#include <QPalette>

// The controls' stored colour values: 0x00BBGGRR, or, with the high bit set, a system colour by
// its index (0x80000012 is button text). System colours follow the desktop palette.
namespace colorvalue {

constexpr bool isSystem(quint32 value) { return (value & 0x80000000u) != 0; }

QColor toColor(quint32 value, const QPalette& palette);

} // namespace colorvalue
