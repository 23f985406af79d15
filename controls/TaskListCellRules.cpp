#include "controls/TaskListCellRules.h"

#include <cstdint>

CellBox CutFirstColumn(CellBox rowBounds, int nColumnCount, int nColumn1Left)
{
    if (nColumnCount >= 2)
        rowBounds.right = nColumn1Left;
    return rowBounds;
}

CellBox BarBox(const CellBox& textBox)
{
    return {textBox.left + 1, textBox.top + 1, textBox.right - 2, textBox.bottom - 1};
}

CellBox InnerBarBox(const CellBox& barBox, unsigned nEdge)
{
    if (nEdge == 0)
        return barBox;
    return {barBox.left + 2, barBox.top + 2, barBox.right - 2, barBox.bottom - 2};
}

int FilledWidth(int w, int nPos, int nMax)
{
    if (nPos >= nMax)
        return w;
    if (nMax <= 0)
        return 0;
    // 64-bit product: a large width times a large position must not overflow.
    return static_cast<int>(static_cast<std::int64_t>(w) * nPos / nMax);
}

namespace {
ColorRef Or(ColorRef value, ColorRef fallback) { return value == kColorDefault ? fallback : value; }
} // namespace

CellColours ResolveCellColours(const CellDisplayInfo& info, bool bListHasFocus,
                               bool bFullRowSelect, const SystemColours& system)
{
    CellColours c{};
    c.unselectedText = info.bHot ? Or(info.crTextHot, system.hotLight) : Or(info.crText, system.windowText);
    if (info.bSelected)
        c.text = Or(info.crTextSelected, bListHasFocus ? system.highlightText : system.windowText);
    else
        c.text = c.unselectedText;

    c.unselectedBack = Or(info.crBack, system.window);
    if (info.bSelected) {
        // A hot row shows the hot colour where the selection would use a system colour.
        const ColorRef selectedDefault =
            info.bHot ? system.hotLight : (bListHasFocus ? system.highlight : system.btnFace);
        c.back = Or(bListHasFocus ? info.crBackSelected : info.crBackSelectedNoFocus, selectedDefault);
    } else {
        c.back = c.unselectedBack;
    }
    // Without full-row selection only the text carries the selection colour.
    c.fillBack = bFullRowSelect ? c.back : c.unselectedBack;
    c.progressBar = Or(info.crProgressBar, system.highlight);
    c.progressText = Or(info.crProgressText, system.highlightText);
    return c;
}

bool IsCellSelected(bool bRowSelected, int nColumn, bool bFullRowSelect, bool bListHasFocus,
                    bool bShowSelAlways)
{
    return bRowSelected && (nColumn == 0 || bFullRowSelect) && (bListHasFocus || bShowSelAlways);
}

bool VisibleRows(int nFirst, int nLast, int nTopRow, int nPerPage, int nCount, int& nVisibleFirst,
                 int& nVisibleLast)
{
    if (nCount <= 0)
        return false;
    const int firstVisible = nTopRow;
    int lastVisible = nTopRow + nPerPage;
    if (lastVisible > nCount - 1)
        lastVisible = nCount - 1;
    if ((nFirst < firstVisible && nLast < firstVisible) || (nFirst > lastVisible && nLast > lastVisible))
        return false;
    nVisibleFirst = nFirst < firstVisible ? firstVisible : nFirst;
    nVisibleLast = nLast > lastVisible ? lastVisible : nLast;
    return true;
}

CString DoubleAmpersands(const char* pszText)
{
    CString out;
    for (const char* p = pszText ? pszText : ""; *p; ++p) {
        out += *p;
        if (*p == '&')
            out += '&';
    }
    return out;
}
