#pragma once

#include <QtGlobal>

#include <array>

// The button's palette, held the way the control's colour values are: 0x00BBGGRR. Kept out of
// QPalette on purpose: the look is fixed and must not follow the desktop theme.
namespace xpbutton {

constexpr quint32 bgr(quint32 rgb)
{
    return ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF);
}

struct StateColors
{
    quint32 frame;
    quint32 cornerEdge;
    quint32 cornerNeighbour;
    quint32 cornerInner;
    quint32 flatFace;   // Disabled and Pressed only
    quint32 bandTop;    // side band, Normal/Focused/Hot only
    quint32 bandBottom;
    quint32 row1;
    quint32 row2;
    quint32 rowHm3;     // row H-3
    quint32 rowHm2;     // row H-2
};

// Indexed by the state value: Disabled, Normal, Focused, Hot, Pressed. Zero marks a colour the
// drawing never uses in that state.
inline constexpr std::array<StateColors, 5> StateTable{{
    {bgr(0xC9C7BA), bgr(0xC4B18C), bgr(0xCEC7BD), bgr(0xC4B18C), bgr(0xF5F4EA), 0, 0, 0, 0, 0, 0},
    {bgr(0x003C74), bgr(0x215584), bgr(0x7B96AD), bgr(0x527DA5), 0, bgr(0xFCFCFB), bgr(0xECEBE6),
     bgr(0xFFFFFF), bgr(0xFEFEFE), bgr(0xE2DFD6), bgr(0xD6D0C5)},
    {bgr(0x003C74), bgr(0x215584), bgr(0x7B96AD), bgr(0x527DA5), 0, bgr(0xBDD3F7), bgr(0x8CAEE7),
     bgr(0xCEE7FF), bgr(0xBDD7F7), bgr(0x8CAEE7), bgr(0x6B82EF)},
    {bgr(0x003C74), bgr(0x215584), bgr(0x7B96AD), bgr(0x527DA5), 0, bgr(0xE1DF9C), bgr(0xFFB630),
     bgr(0xFFF3CE), bgr(0xFFDB8C), bgr(0xFFB231), bgr(0xE69600)},
    {bgr(0x003C74), bgr(0x215584), bgr(0x7B96AD), bgr(0x527DA5), bgr(0xE7E3DE), 0, 0, 0, 0, 0, 0},
}};

inline constexpr quint32 FaceTop = bgr(0xFCFCFB);
inline constexpr quint32 FaceBottom = bgr(0xECEBE6);
inline constexpr quint32 DisabledText = bgr(0xA1A192);

} // namespace xpbutton
