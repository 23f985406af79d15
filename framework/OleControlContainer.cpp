// Finding a dialog's ActiveX placeholders and putting hosted controls in their place.
#include "framework/OleControlContainer.h"

#include <vector>

#include "framework/OleControlSite.h"
#include "framework/OleVariant.h"

namespace {

bool g_bControlContainerEnabled = false;

// The CLSID a placeholder names, if hChild is one: a static whose text is "{...}".
bool PlaceholderClsid(HWND hChild, CLSID& clsid)
{
    char szClass[16] = {};
    GetClassNameA(hChild, szClass, sizeof(szClass));
    if (lstrcmpiA(szClass, "Static") != 0)
        return false;
    char szText[64] = {};
    GetWindowTextA(hChild, szText, sizeof(szText));
    if (szText[0] != '{')
        return false;
    OleBstr wide(szText);
    return SUCCEEDED(CLSIDFromString(wide.Get(), &clsid));
}

} // namespace

void AfxEnableControlContainer()
{
    g_bControlContainerEnabled = true;
}

bool AfxControlContainerEnabled()
{
    return g_bControlContainerEnabled;
}

int OleReplaceControlPlaceholders(HWND hDialog, CWnd* pOwner, const AFX_EVENTSINKMAP* pMap)
{
    // Collect first: replacing changes the child list being walked.
    std::vector<HWND> placeholders;
    for (HWND hChild = GetWindow(hDialog, GW_CHILD); hChild; hChild = GetWindow(hChild, GW_HWNDNEXT)) {
        CLSID clsid;
        if (PlaceholderClsid(hChild, clsid))
            placeholders.push_back(hChild);
    }

    int nReplaced = 0;
    for (HWND hPlaceholder : placeholders) {
        CLSID clsid;
        PlaceholderClsid(hPlaceholder, clsid);
        RECT rect;
        GetWindowRect(hPlaceholder, &rect);
        MapWindowPoints(nullptr, hDialog, reinterpret_cast<POINT*>(&rect), 2);
        const UINT nID = static_cast<UINT>(GetDlgCtrlID(hPlaceholder));
        const DWORD dwKeptStyles = WS_VISIBLE | WS_DISABLED | WS_TABSTOP | WS_GROUP | WS_BORDER;
        const DWORD dwStyle = static_cast<DWORD>(GetWindowLongPtrA(hPlaceholder, GWL_STYLE)) & dwKeptStyles;
        const DWORD dwExStyle = static_cast<DWORD>(GetWindowLongPtrA(hPlaceholder, GWL_EXSTYLE));

        // Right after the placeholder in the Z order, which is the dialog's tab order.
        HWND hHost = COleControlSite::CreateControl(clsid, hDialog, nID, rect, dwStyle, dwExStyle, hPlaceholder);
        if (!hHost)
            continue; // the placeholder stays: an empty static, nothing else breaks
        DestroyWindow(hPlaceholder);
        if (pMap)
            COleControlSite::ConnectEvents(hHost, pOwner, pMap);
        ++nReplaced;
    }
    return nReplaced;
}

void AfxCreateDialogControls(HWND hDialog, CWnd* pOwner, const AFX_EVENTSINKMAP* pMap)
{
    if (g_bControlContainerEnabled && hDialog)
        OleReplaceControlPlaceholders(hDialog, pOwner, pMap);
}
