// CellDisplayInfo: what an owner-data list needs to draw one cell, filled by the list's parent
// on request. The list control draws it and the code behind the page fills it; neither knows the
// other. Pure data, no windows.h, so the code that fills it is tested without a window.
#pragma once

#include <cstdint>

#include "framework/CString.h"

// A COLORREF (0x00BBGGRR) without windows.h.
using ColorRef = std::uint32_t;

constexpr ColorRef MakeColorRef(unsigned red, unsigned green, unsigned blue)
{
    return static_cast<ColorRef>((red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16));
}

// Sentinels with the values of commctrl's CLR_DEFAULT and CLR_NONE.
constexpr ColorRef kColorDefault = 0xFF000000u; // use the system colour of the field
constexpr ColorRef kColorNone = 0xFFFFFFFFu;    // paint nothing there

// The private message by which such a list asks its parent for a cell:
// wParam = the list's window handle, lParam = CellDisplayInfo*. Sent, never posted.
constexpr unsigned WM_LIST_GETCELLINFO = 0x0BBB;

// The frame edge drawn around a progress bar by default (EDGE_SUNKEN).
constexpr std::uint32_t kProgressEdgeSunken = 10;

struct CellDisplayInfo {
    CString strText;
    std::int32_t nProgressMax = -1; // 0 or less: the cell has no bar
    std::int32_t nProgressPos = 0;
    ColorRef crProgressBar = kColorDefault;
    ColorRef crProgressText = kColorDefault;
    std::uint32_t nProgressEdge = kProgressEdgeSunken; // 0: no frame
    ColorRef crText = kColorDefault;
    ColorRef crBack = kColorDefault;
    ColorRef crTextHot = kColorDefault;
    ColorRef crTextSelected = kColorDefault;
    ColorRef crBackSelected = kColorDefault;
    ColorRef crBackSelectedNoFocus = kColorDefault;
    std::int32_t nRow = 0;
    std::int32_t nColumn = 0;
    bool bSelected = false;
    bool bHot = false;

    // Back to the defaults above, keeping the text's storage for the next request.
    void Reset()
    {
        strText.Empty();
        nProgressMax = -1;
        nProgressPos = 0;
        crProgressBar = kColorDefault;
        crProgressText = kColorDefault;
        nProgressEdge = kProgressEdgeSunken;
        crText = kColorDefault;
        crBack = kColorDefault;
        crTextHot = kColorDefault;
        crTextSelected = kColorDefault;
        crBackSelected = kColorDefault;
        crBackSelectedNoFocus = kColorDefault;
        nRow = 0;
        nColumn = 0;
        bSelected = false;
        bHot = false;
    }
};
