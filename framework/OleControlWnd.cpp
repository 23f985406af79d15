// COleControlWnd: binding a wrapper object to a hosted control's window and IDispatch.
#include "framework/OleControlWnd.h"

#include "framework/OleControlSite.h"

BOOL COleControlWnd::CreateControl(REFCLSID clsid, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    HWND hParent = pParentWnd ? pParentWnd->GetSafeHwnd() : nullptr;
    HWND hHost = COleControlSite::CreateControl(clsid, hParent, nID, rect, dwStyle);
    if (!hHost)
        return FALSE;
    if (!COleControlSite::GetControlDispatch(hHost) || !SubclassWindow(hHost)) {
        ::DestroyWindow(hHost);
        return FALSE;
    }
    if (pParentWnd && pParentWnd->GetEventSinkMap())
        COleControlSite::ConnectEvents(hHost, pParentWnd, pParentWnd->GetEventSinkMap());
    return TRUE;
}

void COleControlWnd::PreSubclassWindow()
{
    CWnd::PreSubclassWindow();
    AttachDispatch(COleControlSite::GetControlDispatch(m_hWnd), FALSE); // the host keeps its own
}

void COleControlWnd::PostNcDestroy()
{
    ReleaseDispatch();
    CWnd::PostNcDestroy();
}
