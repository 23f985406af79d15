// Display scale arithmetic (see DpiScale.h).
#include "framework/DpiScale.h"

#include <cstdint>

namespace dpiscale {

namespace {

// a * b / c rounded to the nearest integer, halves away from zero; c is never 0 here.
int MulDivRounded(int a, int b, int c)
{
    const std::int64_t product = static_cast<std::int64_t>(a) * b;
    const std::int64_t half = c / 2;
    const bool negative = (product < 0) != (c < 0);
    return static_cast<int>(negative ? (product - half) / c : (product + half) / c);
}

} // namespace

int Usable(int dpi)
{
    return dpi > 0 ? dpi : kLayoutDpi;
}

int Scale(int value, int dpi)
{
    return MulDivRounded(value, Usable(dpi), kLayoutDpi);
}

int FontHeight(int points, int dpi)
{
    return -MulDivRounded(points, Usable(dpi), 72);
}

Box ScaleBox(const Box& box, int dpi)
{
    return Box{Scale(box.x, dpi), Scale(box.y, dpi), Scale(box.cx, dpi), Scale(box.cy, dpi)};
}

} // namespace dpiscale
