#pragma once

#include <QtGlobal>

// A colour value: 32 bits, the low byte red, then green, then blue; the top byte is 0.
// Written in hexadecimal the blue byte comes first: 0x0000FF is pure red.
using ColorValue = quint32;

constexpr ColorValue rgbColor(int r, int g, int b)
{
    return ColorValue(r & 0xFF) | (ColorValue(g & 0xFF) << 8) | (ColorValue(b & 0xFF) << 16);
}
constexpr int redOf(ColorValue c)
{
    return int(c & 0xFF);
}
constexpr int greenOf(ColorValue c)
{
    return int((c >> 8) & 0xFF);
}
constexpr int blueOf(ColorValue c)
{
    return int((c >> 16) & 0xFF);
}
