// CHeaderCtrl: the header of a report-view list (HDM_ messages).
#pragma once

#include <commctrl.h>

#include "framework/Wnd.h"

class CHeaderCtrl : public CWnd {
public:
    int GetItemCount() const { return static_cast<int>(SendMessage(HDM_GETITEMCOUNT)); }
    BOOL GetItemRect(int nIndex, LPRECT lpRect) const
    { return static_cast<BOOL>(SendMessage(HDM_GETITEMRECT, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(lpRect))); }
    BOOL GetItem(int nPos, HDITEMA* pHeaderItem) const
    { return static_cast<BOOL>(SendMessage(HDM_GETITEMA, static_cast<WPARAM>(nPos), reinterpret_cast<LPARAM>(pHeaderItem))); }
    BOOL SetItem(int nPos, HDITEMA* pHeaderItem)
    { return static_cast<BOOL>(SendMessage(HDM_SETITEMA, static_cast<WPARAM>(nPos), reinterpret_cast<LPARAM>(pHeaderItem))); }
    int OrderToIndex(int nOrder) const { return static_cast<int>(SendMessage(HDM_ORDERTOINDEX, static_cast<WPARAM>(nOrder))); }
};
