// Display scale arithmetic. The program is laid out in pixels of a 96-dpi screen; at any
// other scale each position, size and font is that layout times dpi / 96. No window calls
// here.
#pragma once

namespace dpiscale {

// The screen the layout's pixels were chosen for: 100 %.
constexpr int kLayoutDpi = 96;

// value * dpi / 96, rounded to the nearest pixel with halves away from zero (as MulDiv).
int Scale(int value, int dpi);

// A dpi to lay out with: a failed query (0 or less) counts as the layout's own 96.
int Usable(int dpi);

// The height to create a font of `points` with at `dpi`: negative, so that the font
// mapper matches the character height, as a dialog's DS_SETFONT font is made.
int FontHeight(int points, int dpi);

// A rectangle as left, top, width and height.
struct Box {
    int x = 0, y = 0, cx = 0, cy = 0;
    bool operator==(const Box& o) const { return x == o.x && y == o.y && cx == o.cx && cy == o.cy; }
};

// Each of the four measures scaled on its own, so that every control has exactly the
// 96-dpi size times the scale.
Box ScaleBox(const Box& box, int dpi);

} // namespace dpiscale
