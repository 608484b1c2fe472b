// Colour numbers as the window's settings give them (0x00BBGGRR, low byte
// red), the named fixed colours, and the system colours, which map to fixed
// values here so that the program looks the same on every desktop.
#pragma once

#include <QColor>
#include <cstdint>

using ColorNumber = uint32_t;

// System colours carry 0x80000000 plus their index.
inline constexpr ColorNumber clWindowText = 0x80000008;
inline constexpr ColorNumber clBtnFace = 0x8000000F;
inline constexpr ColorNumber clBtnShadow = 0x80000010;
inline constexpr ColorNumber clBtnHighlight = 0x80000014;

inline constexpr ColorNumber clBlack = 0x000000;
inline constexpr ColorNumber clWhite = 0xFFFFFF;
inline constexpr ColorNumber clGray = 0x808080;
inline constexpr ColorNumber clSilver = 0xC0C0C0;
inline constexpr ColorNumber clRed = 0x0000FF;
inline constexpr ColorNumber clLime = 0x00FF00;
inline constexpr ColorNumber clAqua = 0xFFFF00;
inline constexpr ColorNumber clOlive = 0x008080;
inline constexpr ColorNumber clYellow = 0x00FFFF;
// "No colour": a part that is not drawn.
inline constexpr ColorNumber clNone = 0x1FFFFFFF;

QColor ToQColor(ColorNumber color);
