// The skinned button's arithmetic (see SkinButtonLayout.h).
#include "controls/SkinButtonLayout.h"

#include "framework/DpiScale.h"

namespace skinbutton {

Placement PlacementForDpi(int dpi)
{
    const Placement base;
    Placement p;
    p.imageOffset = dpiscale::Scale(base.imageOffset, dpi);
    p.imageTop = dpiscale::Scale(base.imageTop, dpi);
    p.pressedDx = dpiscale::Scale(base.pressedDx, dpi);
    p.pressedDy = dpiscale::Scale(base.pressedDy, dpi);
    return p;
}

ImageAndCaption PlaceImage(const Rect& item, int w, int h, bool hasCaption, int align,
                           bool pressed, const Placement& p)
{
    ImageAndCaption out{item, item};
    Rect& image = out.image;
    const int centredLeft = item.left + (item.Width() - w) / 2;
    const int centredTop = item.top + (item.Height() - h) / 2;

    if (align == ALIGN_HORIZ || align == 2) {
        if (hasCaption) {
            image.left = item.left + p.imageOffset;
            out.caption.left += w + p.imageOffset;
        } else {
            image.left = centredLeft;
        }
        image.top = centredTop;
    } else {
        image.left = centredLeft;
        if (hasCaption) {
            image.top = item.top + p.imageTop;
            out.caption.top += h;
        } else {
            image.top = centredTop;
        }
    }
    image.right = image.left + w;
    image.bottom = image.top + h;
    if (pressed)
        image.Offset(p.pressedDx, p.pressedDy);
    return out;
}

Rect CentreText(const Rect& area, const Rect& measured)
{
    Rect out;
    out.left = area.left + (area.Width() - measured.Width()) / 2;
    out.top = area.top + (area.Height() - measured.Height()) / 2;
    out.right = out.left + measured.Width();
    out.bottom = out.top + measured.Height();
    return out;
}

int ImageSlotFor(bool pressed, bool hovered, bool normalSet)
{
    if (pressed || hovered)
        return SLOT_HOVER;
    return normalSet ? SLOT_NORMAL : SLOT_HOVER;
}

int TextColorIndex(bool pressed, bool hovered, bool focused)
{
    if (hovered || pressed)
        return COLOR_FG_HOVER;
    return focused ? COLOR_FG_FOCUS : COLOR_FG_NORMAL;
}

int TextBackColorIndex(bool pressed, bool hovered, bool focused)
{
    if (hovered || pressed)
        return COLOR_BK_HOVER;
    return focused ? COLOR_BK_FOCUS : COLOR_BK_NORMAL;
}

DefaultChange DefaultChangeForStyle(std::uint32_t style)
{
    switch (style & kTypeMask) {
    case kDefPushButton:
        return DefaultChange::Becomes;
    case kPushButton:
        return DefaultChange::Stops;
    default:
        return DefaultChange::Unchanged;
    }
}

std::uint32_t OwnerDrawStyleFor(std::uint32_t style)
{
    // Whatever push-button type was asked for, the button stays owner-drawn.
    return (style & ~static_cast<std::uint32_t>(0x14)) | kOwnerDraw;
}

std::uint32_t DialogCode(std::uint32_t defaultCode, bool isDefault)
{
    return defaultCode | (isDefault ? kDlgCodeDefPush : kDlgCodeUndefPush);
}

} // namespace skinbutton
