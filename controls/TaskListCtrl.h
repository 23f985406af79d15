// CTaskListCtrl: the conversion list. An owner-data report list that stores nothing: for
// every cell it shows, it asks its parent (WM_LIST_GETCELLINFO) for the text, colours and
// progress bar, and draws the cell itself, with the text over a bar in two colours.
#pragma once

#include <memory>

#include "framework/CellDisplayInfo.h"
#include "controls/TaskListCellRules.h"
#include "framework/DC.h"
#include "framework/ListCtrl.h"

class CTaskListCtrl : public CListCtrl {
public:
    CTaskListCtrl();
    ~CTaskListCtrl() override;

    // The display data of one cell: the control's single record, reset, with row, column,
    // selection and hot state filled in, then completed by the parent. Valid until the next
    // request. A derived class may supply the data itself.
    virtual CellDisplayInfo* GetCellInfo(int nRow, int nColumn);

    // Repaints column nColumn of rows nFirstRow..nLastRow, as far as they are on screen.
    void InvalidateCells(int nFirstRow, int nLastRow, int nColumn, BOOL bErase);

    // The cell's rectangle in client coordinates; false for a row or column out of range.
    // Column 0 ends where column 1 begins.
    bool GetCellRect(int nRow, int nColumn, CRect& rect) const;

protected:
    // Custom draw, one override per stage; each answers the list view's CDRF_ result.
    virtual LRESULT OnPrePaint(NMLVCUSTOMDRAW* pDraw);
    virtual LRESULT OnItemPrePaint(NMLVCUSTOMDRAW* pDraw);
    virtual LRESULT OnSubItemPrePaint(NMLVCUSTOMDRAW* pDraw);

    void OnCustomDraw(NMHDR* pNMHDR, LRESULT* pResult);
    void OnGetDispInfo(NMHDR* pNMHDR, LRESULT* pResult);
    void OnGetDispInfoW(NMHDR* pNMHDR, LRESULT* pResult);
    void OnHotTrack(NMHDR* pNMHDR, LRESULT* pResult);
    void OnMouseMove(UINT nFlags, CPoint point);
    BOOL OnItemChanged(NMHDR* pNMHDR, LRESULT* pResult);
    void OnSetFocus(CWnd* pOldWnd);
    void OnKillFocus(CWnd* pNewWnd);

    DECLARE_MESSAGE_MAP()

private:
    void DrawCell(CDC& dc, int nRow, int nColumn);
    void DrawBar(CDC& dc, const CellDisplayInfo& info, const CellColours& colours, const CRect& textRect,
                 const CRect& barRect, const CRect& innerRect);
    UINT ColumnAlignment(int nColumn) const;
    bool HasFocus() const;
    // Marks a whole row for repainting, from the client's left edge to its right.
    void InvalidateRow(int nRow);
    void InvalidateSelectedRows();

    std::unique_ptr<CellDisplayInfo> m_pCellInfo;
};
