// The skinned button's arithmetic: where its image and caption go, which image and colours
// it uses in which state, and how it rewrites its button style. No window calls here.
#pragma once

#include <cstdint>

namespace skinbutton {

struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    void Offset(int dx, int dy)
    {
        left += dx;
        right += dx;
        top += dy;
        bottom += dy;
    }
    bool operator==(const Rect& o) const
    {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
};

// Image alignments: 0 image left of the caption, 1 image above it. Both centre the image
// when there is no caption. 2 and 3 are accepted and drawn like 0 and 1.
enum Align : std::uint8_t { ALIGN_HORIZ = 0, ALIGN_VERT = 1, ALIGN_MAX = 3 };

// Colour slots.
enum ColorIndex {
    COLOR_BK_HOVER = 0,
    COLOR_FG_HOVER = 1,
    COLOR_BK_NORMAL = 2,
    COLOR_FG_NORMAL = 3,
    COLOR_BK_FOCUS = 4,
    COLOR_FG_FOCUS = 5,
    COLOR_COUNT = 6,
};

// Image slots: 0 is shown while hovered or pressed, 1 at rest.
enum ImageSlot { SLOT_HOVER = 0, SLOT_NORMAL = 1 };

struct Placement {
    int imageOffset = 3;  // image distance from the left edge, alignment 0 with a caption
    int imageTop = 3;     // image distance from the top edge, alignment 1 with a caption
    int pressedDx = 1;    // how far image and caption move while pressed
    int pressedDy = 1;
};

// The placement of a button drawn at `dpi`: every distance scaled from the 96-dpi one.
Placement PlacementForDpi(int dpi);

struct ImageAndCaption {
    Rect image;   // its top-left corner is where the image is drawn
    Rect caption; // the area the caption is centred in
};

// Places an image of w × h on the item rectangle. The caption area starts as the item
// rectangle and gives up the room the image takes.
ImageAndCaption PlaceImage(const Rect& item, int w, int h, bool hasCaption, int align,
                           bool pressed, const Placement& p = Placement());

// Centres a measured text rectangle inside the caption area.
Rect CentreText(const Rect& area, const Rect& measured);

// Which slot to draw: the hover image while pressed or hovered, else the normal image if
// set, else the hover image.
int ImageSlotFor(bool pressed, bool hovered, bool normalSet);

// Caption colour slot and matching background slot for a state.
int TextColorIndex(bool pressed, bool hovered, bool focused);
int TextBackColorIndex(bool pressed, bool hovered, bool focused);

// Icons report their size through the hotspot: twice its coordinates.
inline int IconExtentFromHotspot(unsigned long hotspot) { return static_cast<int>(hotspot * 2); }

// Button style arithmetic.
constexpr std::uint32_t kTypeMask = 0x1F;
constexpr std::uint32_t kPushButton = 0x0;
constexpr std::uint32_t kDefPushButton = 0x1;
constexpr std::uint32_t kOwnerDraw = 0xB;
constexpr std::uint32_t kDlgCodeDefPush = 0x10;
constexpr std::uint32_t kDlgCodeUndefPush = 0x20;

enum class DefaultChange { Becomes, Stops, Unchanged };

// What BM_SETSTYLE does to the default flag, and the style passed on to the real button.
DefaultChange DefaultChangeForStyle(std::uint32_t style);
std::uint32_t OwnerDrawStyleFor(std::uint32_t style);
// WM_GETDLGCODE: the default code with the push-button bits for the default flag.
std::uint32_t DialogCode(std::uint32_t defaultCode, bool isDefault);

} // namespace skinbutton
