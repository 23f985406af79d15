#include "controls/TaskListCtrl.h"

#include <cwchar>
#include <string>

#include "framework/TextBytes.h"

BEGIN_MESSAGE_MAP(CTaskListCtrl, CListCtrl)
    ON_NOTIFY_REFLECT(NM_CUSTOMDRAW, OnCustomDraw)
    ON_NOTIFY_REFLECT(LVN_GETDISPINFOA, OnGetDispInfo)
    ON_NOTIFY_REFLECT(LVN_GETDISPINFOW, OnGetDispInfoW)
    ON_NOTIFY_REFLECT(LVN_HOTTRACK, OnHotTrack)
    ON_NOTIFY_REFLECT_EX(LVN_ITEMCHANGED, OnItemChanged)
    ON_WM_MOUSEMOVE()
    ON_WM_SETFOCUS()
    ON_WM_KILLFOCUS()
END_MESSAGE_MAP()

namespace {

CellBox ToBox(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }
CRect ToRect(const CellBox& b) { return CRect(b.left, b.top, b.right, b.bottom); }

SystemColours CurrentSystemColours()
{
    return {GetSysColor(COLOR_WINDOW),    GetSysColor(COLOR_WINDOWTEXT), GetSysColor(COLOR_HIGHLIGHT),
            GetSysColor(COLOR_HIGHLIGHTTEXT), GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_HOTLIGHT)};
}

void FillUnlessNone(CDC& dc, const CRect& rect, ColorRef colour)
{
    if (colour != kColorNone)
        dc.FillSolidRect(rect, colour);
}

} // namespace

CTaskListCtrl::CTaskListCtrl() : m_pCellInfo(std::make_unique<CellDisplayInfo>()) {}

CTaskListCtrl::~CTaskListCtrl() = default;

bool CTaskListCtrl::HasFocus() const { return m_hWnd && ::GetFocus() == m_hWnd; }

CellDisplayInfo* CTaskListCtrl::GetCellInfo(int nRow, int nColumn)
{
    CellDisplayInfo& info = *m_pCellInfo;
    info.Reset();
    info.nRow = nRow;
    info.nColumn = nColumn;
    if (!m_hWnd)
        return &info;
    const bool rowSelected = (GetItemState(nRow, LVIS_SELECTED) & LVIS_SELECTED) != 0;
    const bool fullRow = (GetExtendedStyle() & LVS_EX_FULLROWSELECT) != 0;
    info.bSelected = IsCellSelected(rowSelected, nColumn, fullRow, HasFocus(), (GetStyle() & LVS_SHOWSELALWAYS) != 0);
    info.bHot = GetHotItem() == nRow;
    if (HWND parent = ::GetParent(m_hWnd))
        ::SendMessageA(parent, WM_LIST_GETCELLINFO, reinterpret_cast<WPARAM>(m_hWnd), reinterpret_cast<LPARAM>(&info));
    return &info;
}

bool CTaskListCtrl::GetCellRect(int nRow, int nColumn, CRect& rect) const
{
    CHeaderCtrl* header = GetHeaderCtrl();
    const int columns = header ? header->GetItemCount() : 0;
    if (nRow < 0 || nRow >= GetItemCount() || nColumn < 0 || nColumn >= columns)
        return false;
    CRect bounds;
    if (!GetSubItemRect(nRow, nColumn, LVIR_BOUNDS, bounds))
        return false;
    if (nColumn == 0) {
        // The list view answers the whole row for column 0.
        CRect second;
        if (columns >= 2 && GetSubItemRect(nRow, 1, LVIR_BOUNDS, second))
            bounds = ToRect(CutFirstColumn(ToBox(bounds), columns, second.left));
    }
    rect = bounds;
    return true;
}

void CTaskListCtrl::InvalidateCells(int nFirstRow, int nLastRow, int nColumn, BOOL bErase)
{
    int first = 0, last = 0;
    if (!VisibleRows(nFirstRow, nLastRow, GetTopIndex(), GetCountPerPage(), GetItemCount(), first, last))
        return;
    CRect top, bottom;
    if (!GetCellRect(first, nColumn, top) || !GetCellRect(last, nColumn, bottom))
        return;
    RECT both;
    ::UnionRect(&both, top, bottom);
    ::InvalidateRect(m_hWnd, &both, bErase);
}

UINT CTaskListCtrl::ColumnAlignment(int nColumn) const
{
    CHeaderCtrl* header = GetHeaderCtrl();
    if (!header)
        return DT_LEFT;
    HDITEMA item{};
    item.mask = HDI_FORMAT;
    if (!header->GetItem(nColumn, &item))
        return DT_LEFT;
    if (item.fmt & HDF_CENTER)
        return DT_CENTER;
    if (item.fmt & HDF_RIGHT)
        return DT_RIGHT;
    return DT_LEFT;
}

// --- drawing ---------------------------------------------------------------------------------

void CTaskListCtrl::DrawBar(CDC& dc, const CellDisplayInfo& info, const CellColours& colours,
                            const CRect& textRect, const CRect& barRect, const CRect& innerRect)
{
    // The margin around the bar.
    int saved = dc.SaveDC();
    dc.ExcludeClipRect(barRect);
    FillUnlessNone(dc, textRect, colours.fillBack);
    dc.RestoreDC(saved);

    if (info.nProgressEdge != 0) {
        CRect edge = barRect;
        dc.DrawEdge(edge, info.nProgressEdge, BF_RECT);
    }
    FillUnlessNone(dc, innerRect, colours.unselectedBack);
    if (info.nProgressPos > 0) {
        CRect filled = innerRect;
        filled.right = filled.left + FilledWidth(innerRect.Width(), info.nProgressPos, info.nProgressMax);
        FillUnlessNone(dc, filled, colours.progressBar);
    }
}

void CTaskListCtrl::DrawCell(CDC& dc, int nRow, int nColumn)
{
    CRect textRect;
    if (!GetCellRect(nRow, nColumn, textRect))
        return;
    // The list view offers every cell of a row it repaints, even when only one cell was
    // invalidated (a progress update): cells outside the area being painted cost nothing.
    if (!dc.RectVisible(textRect))
        return;
    const CellDisplayInfo info = *GetCellInfo(nRow, nColumn); // a copy: the record is reused
    const CellColours colours = ResolveCellColours(info, HasFocus(), (GetExtendedStyle() & LVS_EX_FULLROWSELECT) != 0,
                                                   CurrentSystemColours());

    const bool hasBar = info.nProgressMax > 0;
    CRect barRect, innerRect;
    if (hasBar) {
        barRect = ToRect(BarBox(ToBox(textRect)));
        innerRect = ToRect(InnerBarBox(ToBox(barRect), info.nProgressEdge));
        DrawBar(dc, info, colours, textRect, barRect, innerRect);
    }

    if (info.strText.IsEmpty()) {
        if (!hasBar)
            FillUnlessNone(dc, textRect, colours.fillBack);
        return;
    }

    const UINT format = DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | ColumnAlignment(nColumn);
    const CString text = DoubleAmpersands(info.strText);
    CRect area = hasBar ? innerRect : textRect;

    if (!hasBar) {
        area.left += 2;
        dc.SetTextColor(colours.text);
        FillUnlessNone(dc, textRect, colours.fillBack);
        if (colours.back == kColorNone) {
            dc.SetBkMode(TRANSPARENT);
        } else {
            dc.SetBkMode(OPAQUE);
            dc.SetBkColor(colours.back);
        }
        dc.DrawText(text, area, format);
        return;
    }

    // Over the bar: one colour on the filled part, another on the rest.
    dc.SetBkMode(TRANSPARENT);
    CRect filled = area;
    filled.right = filled.left + FilledWidth(area.Width(), info.nProgressPos, info.nProgressMax);

    int saved = dc.SaveDC();
    dc.IntersectClipRect(filled);
    dc.SetTextColor(colours.progressText);
    CRect drawArea = area;
    dc.DrawText(text, drawArea, format);
    dc.RestoreDC(saved);

    saved = dc.SaveDC();
    dc.ExcludeClipRect(filled);
    dc.SetTextColor(colours.unselectedText);
    drawArea = area;
    dc.DrawText(text, drawArea, format);
    dc.RestoreDC(saved);
}

// --- notifications ---------------------------------------------------------------------------

LRESULT CTaskListCtrl::OnPrePaint(NMLVCUSTOMDRAW*) { return CDRF_NOTIFYITEMDRAW; }

LRESULT CTaskListCtrl::OnItemPrePaint(NMLVCUSTOMDRAW*) { return CDRF_NOTIFYSUBITEMDRAW; }

LRESULT CTaskListCtrl::OnSubItemPrePaint(NMLVCUSTOMDRAW* pDraw)
{
    CDC dc;
    dc.Attach(pDraw->nmcd.hdc); // borrowed from the list view
    DrawCell(dc, static_cast<int>(pDraw->nmcd.dwItemSpec), pDraw->iSubItem);
    dc.Detach();
    return CDRF_SKIPDEFAULT;
}

void CTaskListCtrl::OnCustomDraw(NMHDR* pNMHDR, LRESULT* pResult)
{
    auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(pNMHDR);
    switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        *pResult = OnPrePaint(draw);
        break;
    case CDDS_ITEMPREPAINT:
        *pResult = OnItemPrePaint(draw);
        break;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM:
        *pResult = OnSubItemPrePaint(draw);
        break;
    default:
        *pResult = CDRF_DODEFAULT;
        break;
    }
}

void CTaskListCtrl::OnGetDispInfo(NMHDR* pNMHDR, LRESULT* pResult)
{
    LVITEMA& item = reinterpret_cast<NMLVDISPINFOA*>(pNMHDR)->item;
    const CellDisplayInfo* info = GetCellInfo(item.iItem, item.iSubItem);
    if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0)
        textbytes::CopyToBuffer(item.pszText, static_cast<size_t>(item.cchTextMax), info->strText);
    if (item.mask & LVIF_IMAGE)
        item.iImage = -1;
    *pResult = 0;
}

// Sent instead of the ANSI form when the parent asks for Unicode notifications.
void CTaskListCtrl::OnGetDispInfoW(NMHDR* pNMHDR, LRESULT* pResult)
{
    LVITEMW& item = reinterpret_cast<NMLVDISPINFOW*>(pNMHDR)->item;
    const CellDisplayInfo* info = GetCellInfo(item.iItem, item.iSubItem);
    if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0) {
        // Converted whole, then cut to the buffer without splitting a surrogate pair.
        const int n = MultiByteToWideChar(CP_ACP, 0, info->strText, -1, nullptr, 0);
        std::wstring wide(n > 0 ? static_cast<size_t>(n) : 1, L'\0');
        if (n > 0)
            MultiByteToWideChar(CP_ACP, 0, info->strText, -1, &wide[0], n);
        size_t length = wcslen(wide.c_str());
        if (length > static_cast<size_t>(item.cchTextMax) - 1) {
            length = static_cast<size_t>(item.cchTextMax) - 1;
            if (length > 0 && IS_HIGH_SURROGATE(wide[length - 1]))
                --length;
        }
        wmemcpy(item.pszText, wide.c_str(), length);
        item.pszText[length] = L'\0';
    }
    if (item.mask & LVIF_IMAGE)
        item.iImage = -1;
    *pResult = 0;
}

// The list view repaints a row whose selection or focus look changed from its item box,
// which in report view begins a margin to the right of column 0's left edge, while the
// cells are drawn from that edge: the margin would keep the row's old colours. So the
// control repaints such rows whole itself.

void CTaskListCtrl::InvalidateRow(int nRow)
{
    CRect row;
    if (nRow < 0 || nRow >= GetItemCount() || !GetItemRect(nRow, row, LVIR_BOUNDS))
        return;
    CRect client;
    GetClientRect(client);
    row.left = client.left;
    row.right = client.right;
    ::InvalidateRect(m_hWnd, row, FALSE);
}

void CTaskListCtrl::InvalidateSelectedRows()
{
    for (int nRow = GetNextItem(-1, LVNI_SELECTED); nRow >= 0; nRow = GetNextItem(nRow, LVNI_SELECTED))
        InvalidateRow(nRow);
}

BOOL CTaskListCtrl::OnItemChanged(NMHDR* pNMHDR, LRESULT* pResult)
{
    const auto* change = reinterpret_cast<const NMLISTVIEW*>(pNMHDR);
    if ((change->uChanged & LVIF_STATE) && ((change->uOldState ^ change->uNewState) & LVIS_SELECTED)) {
        if (change->iItem < 0)
            Invalidate(FALSE); // every row at once
        else
            InvalidateRow(change->iItem);
    }
    *pResult = 0;
    return FALSE; // the parent hears of the change too
}

// The selected row's background follows the list's focus.
void CTaskListCtrl::OnSetFocus(CWnd*)
{
    Default();
    InvalidateSelectedRows();
}

void CTaskListCtrl::OnKillFocus(CWnd*)
{
    Default();
    InvalidateSelectedRows();
}

// Resting the mouse on a row never selects it.
void CTaskListCtrl::OnHotTrack(NMHDR*, LRESULT* pResult) { *pResult = -1; }

// Consumed: the list view's own hot tracking never starts.
void CTaskListCtrl::OnMouseMove(UINT, CPoint) {}
