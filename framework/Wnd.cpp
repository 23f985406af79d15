// CWnd: the handle map, the window procedure, subclassing, message-map dispatch with
// reflection, and the thin members.
#include "framework/Wnd.h"

#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

#include "framework/AfxSeams.h"
#include "framework/DC.h"
#include "framework/Menu.h"
#include "framework/WinApp.h"

// ============================================================================================
// The handle map
// ============================================================================================
namespace {

std::mutex g_mapMutex;
std::unordered_map<HWND, CWnd*>& PermanentMap()
{
    static auto* map = new std::unordered_map<HWND, CWnd*>(); // outlives static destructors
    return *map;
}

// Borrowed wrappers for windows that have no object of their own. They hold only the handle,
// so one whose window has gone (or whose handle was reused) is harmless.
thread_local std::unordered_map<HWND, std::unique_ptr<CWnd>> t_temporaryWnds;
thread_local std::unordered_map<HMENU, std::unique_ptr<CMenu>> t_temporaryMenus;

thread_local AfxThreadMessage t_currentMessage;
thread_local CWnd* t_pWndInit = nullptr;
thread_local HHOOK t_hHookCbt = nullptr;

} // namespace

CWnd* CWnd::FromHandlePermanent(HWND hWnd)
{
    if (!hWnd)
        return nullptr;
    std::lock_guard<std::mutex> lock(g_mapMutex);
    auto it = PermanentMap().find(hWnd);
    return it == PermanentMap().end() ? nullptr : it->second;
}

CWnd* CWnd::FromHandle(HWND hWnd)
{
    if (!hWnd)
        return nullptr;
    if (CWnd* pWnd = FromHandlePermanent(hWnd))
        return pWnd;
    std::unique_ptr<CWnd>& slot = t_temporaryWnds[hWnd];
    if (!slot) {
        slot = std::make_unique<CWnd>();
        slot->m_hWnd = hWnd;
    }
    return slot.get();
}

BOOL CWnd::Attach(HWND hWndNew)
{
    if (!hWndNew || m_hWnd)
        return FALSE;
    {
        std::lock_guard<std::mutex> lock(g_mapMutex);
        auto [it, inserted] = PermanentMap().emplace(hWndNew, this);
        if (!inserted)
            return FALSE; // another object owns this window already
    }
    m_hWnd = hWndNew;
    return TRUE;
}

HWND CWnd::Detach()
{
    HWND hWnd = m_hWnd;
    if (hWnd) {
        std::lock_guard<std::mutex> lock(g_mapMutex);
        auto it = PermanentMap().find(hWnd);
        if (it != PermanentMap().end() && it->second == this)
            PermanentMap().erase(it);
    }
    m_hWnd = nullptr;
    return hWnd;
}

CWnd::~CWnd()
{
    // An object that dies before its window takes the window with it.
    if (m_hWnd && FromHandlePermanent(m_hWnd) == this)
        DestroyWindow();
    Detach();
}

// ============================================================================================
// The window procedure
// ============================================================================================

const AfxThreadMessage& CWnd::GetCurrentMessage()
{
    return t_currentMessage;
}

LRESULT AfxCallWndProc(CWnd* pWnd, HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    const AfxThreadMessage saved = t_currentMessage;
    t_currentMessage = {hWnd, message, wParam, lParam};
    LRESULT lResult = 0;
    try {
        if (message == WM_NCDESTROY)
            pWnd->OnNcDestroy();
        else
            lResult = pWnd->WindowProc(message, wParam, lParam);
    } catch (...) {
        // Exceptions never unwind through the system's code.
        OutputDebugStringA("Varnello: exception caught in a window procedure\n");
        lResult = 0;
    }
    t_currentMessage = saved;
    return lResult;
}

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
    if (!pWnd)
        return ::DefWindowProcA(hWnd, message, wParam, lParam);
    return AfxCallWndProc(pWnd, hWnd, message, wParam, lParam);
}

LRESULT CALLBACK AfxWndProcW(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
    if (!pWnd)
        return ::DefWindowProcW(hWnd, message, wParam, lParam);
    return AfxCallWndProc(pWnd, hWnd, message, wParam, lParam);
}

void CWnd::OnNcDestroy()
{
    // Default processing first, then give the window its old procedure back and unbind.
    const WNDPROC pfnOurs = m_bUnicode ? AfxWndProcW : AfxWndProc;
    const WNDPROC pfnCurrent = reinterpret_cast<WNDPROC>(
        m_bUnicode ? ::GetWindowLongPtrW(m_hWnd, GWLP_WNDPROC) : ::GetWindowLongPtrA(m_hWnd, GWLP_WNDPROC));
    Default();
    if (m_pfnSuper && pfnCurrent == pfnOurs) {
        if (m_bUnicode)
            ::SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
        else
            ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    }
    m_pfnSuper = nullptr;
    m_bUnicode = false;
    Detach();
    PostNcDestroy();
}

LRESULT CWnd::Default()
{
    const AfxThreadMessage& msg = t_currentMessage;
    return DefWindowProc(msg.message, msg.wParam, msg.lParam);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_bUnicode)
        return m_pfnSuper ? ::CallWindowProcW(m_pfnSuper, m_hWnd, message, wParam, lParam)
                          : ::DefWindowProcW(m_hWnd, message, wParam, lParam);
    if (m_pfnSuper)
        return ::CallWindowProcA(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT lResult = 0;
    if (!OnWndMsg(message, wParam, lParam, &lResult))
        lResult = DefWindowProc(message, wParam, lParam);
    return lResult;
}

namespace {

bool IsCtlColor(UINT message) { return message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC; }

// The object of a child control that sent a notification, if it is a child of hWndParent
// and has an object: only a child is asked, so nothing is handled twice.
CWnd* ReflectionTarget(HWND hWndParent, HWND hWndChild)
{
    if (!hWndChild || hWndChild == hWndParent || !::IsChild(hWndParent, hWndChild))
        return nullptr;
    return CWnd::FromHandlePermanent(hWndChild);
}

} // namespace

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    LRESULT lResult = 0;
    switch (message) {
    case WM_COMMAND:
        if (OnCommand(wParam, lParam)) {
            *pResult = 1;
            return TRUE;
        }
        return FALSE;
    case WM_NOTIFY: {
        const NMHDR* pNMHDR = reinterpret_cast<const NMHDR*>(lParam);
        if (pNMHDR && pNMHDR->hwndFrom && OnNotify(wParam, lParam, &lResult)) {
            *pResult = lResult;
            return TRUE;
        }
        return FALSE;
    }
    case WM_HELP:
        *pResult = OnHelpInfo(reinterpret_cast<HELPINFO*>(lParam));
        return TRUE;
    default:
        break;
    }

    // Owner-draw and colour requests go to the control's own object first.
    HWND hWndChild = nullptr;
    if (message == WM_DRAWITEM)
        hWndChild = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)->hwndItem;
    else if (message == WM_DELETEITEM)
        hWndChild = reinterpret_cast<const DELETEITEMSTRUCT*>(lParam)->hwndItem;
    else if (message == WM_COMPAREITEM)
        hWndChild = reinterpret_cast<const COMPAREITEMSTRUCT*>(lParam)->hwndItem;
    else if (message == WM_MEASUREITEM)
        hWndChild = ::GetDlgItem(m_hWnd, static_cast<int>(reinterpret_cast<const MEASUREITEMSTRUCT*>(lParam)->CtlID));
    else if (IsCtlColor(message) || ((message == WM_HSCROLL || message == WM_VSCROLL) && lParam))
        hWndChild = reinterpret_cast<HWND>(lParam);
    if (CWnd* pChild = ReflectionTarget(m_hWnd, hWndChild)) {
        if (pChild->OnChildNotify(message, wParam, lParam, &lResult)) {
            *pResult = lResult;
            return TRUE;
        }
    }

    const UINT nKey = IsCtlColor(message) ? static_cast<UINT>(WM_CTLCOLORSTATIC) : message;
    return DispatchToMap(nKey, message, wParam, lParam, pResult);
}

BOOL CWnd::DispatchToMap(UINT nKey, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    for (const AFX_MSGMAP* pMap = GetMessageMap(); pMap; pMap = pMap->pfnGetBaseMap ? pMap->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* e = pMap->pEntries; e->pfnThunk; ++e) {
            const bool bMatch = e->pnRegistered ? (*e->pnRegistered == message && message != 0)
                                                : (e->nMessage == nKey && nKey != WM_COMMAND && nKey != WM_NOTIFY);
            if (!bMatch)
                continue;
            AfxMessage m{message, wParam, lParam, 0};
            if (e->pfnThunk(this, m)) {
                *pResult = m.result;
                return TRUE;
            }
        }
    }
    return FALSE;
}

BOOL CWnd::OnCmdMsg(UINT nID, UINT nCode, WPARAM wParam, LPARAM lParam)
{
    for (const AFX_MSGMAP* pMap = GetMessageMap(); pMap; pMap = pMap->pfnGetBaseMap ? pMap->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* e = pMap->pEntries; e->pfnThunk; ++e) {
            if (e->pnRegistered || e->nMessage != WM_COMMAND || e->nCode != nCode || nID < e->nID || nID > e->nLastID)
                continue;
            AfxMessage m{WM_COMMAND, wParam, lParam, 0};
            if (e->pfnThunk(this, m))
                return TRUE;
        }
    }
    return FALSE;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const UINT nID = LOWORD(wParam);
    HWND hWndCtrl = reinterpret_cast<HWND>(lParam);
    UINT nCode = HIWORD(wParam);
    if (hWndCtrl) {
        LRESULT lResult = 0;
        if (CWnd* pChild = ReflectionTarget(m_hWnd, hWndCtrl))
            if (pChild->OnChildNotify(WM_COMMAND, wParam, lParam, &lResult))
                return TRUE;
    } else {
        nCode = 0; // menu items and accelerators are plain commands
    }
    return OnCmdMsg(nID, nCode, wParam, lParam);
}

BOOL CWnd::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    const NMHDR* pNMHDR = reinterpret_cast<const NMHDR*>(lParam);
    if (CWnd* pChild = ReflectionTarget(m_hWnd, pNMHDR->hwndFrom))
        if (pChild->OnChildNotify(WM_NOTIFY, wParam, lParam, pResult))
            return TRUE;
    const UINT nID = static_cast<UINT>(pNMHDR->idFrom);
    for (const AFX_MSGMAP* pMap = GetMessageMap(); pMap; pMap = pMap->pfnGetBaseMap ? pMap->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* e = pMap->pEntries; e->pfnThunk; ++e) {
            if (e->pnRegistered || e->nMessage != WM_NOTIFY || e->nCode != pNMHDR->code || nID < e->nID || nID > e->nLastID)
                continue;
            AfxMessage m{WM_NOTIFY, wParam, lParam, 0};
            if (e->pfnThunk(this, m)) {
                *pResult = m.result;
                return TRUE;
            }
        }
    }
    return FALSE;
}

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    return ReflectChildNotify(message, wParam, lParam, pResult);
}

BOOL CWnd::ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    UINT nKey = WM_REFLECT_BASE + (IsCtlColor(message) ? static_cast<UINT>(WM_CTLCOLORSTATIC) : message);
    UINT nCode = 0;
    if (message == WM_COMMAND)
        nCode = HIWORD(wParam);
    else if (message == WM_NOTIFY)
        nCode = reinterpret_cast<const NMHDR*>(lParam)->code;
    for (const AFX_MSGMAP* pMap = GetMessageMap(); pMap; pMap = pMap->pfnGetBaseMap ? pMap->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* e = pMap->pEntries; e->pfnThunk; ++e) {
            if (e->pnRegistered || e->nMessage != nKey || e->nCode != nCode)
                continue;
            AfxMessage m{message, wParam, lParam, 0};
            if (e->pfnThunk(this, m)) {
                if (pResult)
                    *pResult = (message == WM_COMMAND) ? 1 : m.result;
                return TRUE;
            }
            return FALSE; // an _EX handler let the parent have it
        }
    }
    return FALSE;
}

BOOL CWnd::OnHelpInfo(HELPINFO*)
{
    // A top-level window asks the application's main window for its help command; a child
    // lets the default processing hand WM_HELP on to its parent.
    if (!(GetStyle() & WS_CHILD)) {
        CWnd* pMainWnd = AfxGetMainWnd();
        HWND hTarget = pMainWnd && pMainWnd->m_hWnd ? pMainWnd->m_hWnd : m_hWnd;
        ::SendMessageA(hTarget, WM_COMMAND, ID_HELP, 0);
        return TRUE;
    }
    return static_cast<BOOL>(Default());
}

const AFX_MSGMAP* CWnd::GetThisMessageMap()
{
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, nullptr, nullptr}};
    static const AFX_MSGMAP map = {nullptr, entries};
    return &map;
}

const AFX_MSGMAP* CWnd::GetMessageMap() const
{
    return GetThisMessageMap();
}

BOOL CWnd::PreTranslateMessage(MSG*)
{
    return FALSE;
}

BOOL CWnd::WalkPreTranslateTree(HWND hWndStop, MSG* pMsg)
{
    for (HWND hWnd = pMsg->hwnd; hWnd; hWnd = ::GetParent(hWnd)) {
        if (CWnd* pWnd = FromHandlePermanent(hWnd))
            if (pWnd->PreTranslateMessage(pMsg))
                return TRUE;
        if (hWnd == hWndStop)
            break;
    }
    return FALSE;
}

// ============================================================================================
// Creation and subclassing
// ============================================================================================

LRESULT CALLBACK AfxCbtFilterHook(int nCode, WPARAM wParam, LPARAM lParam)
{
    if (nCode == HCBT_CREATEWND && t_pWndInit) {
        CWnd* pWnd = t_pWndInit;
        t_pWndInit = nullptr;
        HWND hWnd = reinterpret_cast<HWND>(wParam);
        if (pWnd->Attach(hWnd)) {
            pWnd->PreSubclassWindow();
            const WNDPROC pfnOld = reinterpret_cast<WNDPROC>(
                ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc)));
            if (pfnOld != &AfxWndProc)
                pWnd->m_pfnSuper = pfnOld;
        }
    }
    return ::CallNextHookEx(t_hHookCbt, nCode, wParam, lParam);
}

void AfxHookWindowCreate(CWnd* pWnd)
{
    if (!t_hHookCbt)
        t_hHookCbt = ::SetWindowsHookExA(WH_CBT, AfxCbtFilterHook, nullptr, ::GetCurrentThreadId());
    t_pWndInit = pWnd;
}

bool AfxUnhookWindowCreate()
{
    if (t_hHookCbt) {
        ::UnhookWindowsHookEx(t_hHookCbt);
        t_hHookCbt = nullptr;
    }
    const bool bBound = t_pWndInit == nullptr;
    t_pWndInit = nullptr;
    return bBound;
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle,
                    const RECT& rect, CWnd* pParentWnd, UINT nID, LPVOID lpParam)
{
    if (m_hWnd)
        return FALSE;
    HWND hWndParent = pParentWnd ? pParentWnd->m_hWnd : nullptr;
    HMENU hMenuOrId = (dwStyle & WS_CHILD) ? reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)) : nullptr;
    AfxHookWindowCreate(this);
    HWND hWnd = ::CreateWindowExA(dwExStyle, lpszClassName, lpszWindowName, dwStyle, rect.left, rect.top,
                                  rect.right - rect.left, rect.bottom - rect.top, hWndParent, hMenuOrId,
                                  AfxGetInstanceHandle(), lpParam);
    AfxUnhookWindowCreate();
    if (!hWnd) {
        // Creation failed after binding (WM_CREATE returned -1): the window is gone.
        Detach();
        m_pfnSuper = nullptr;
        return FALSE;
    }
    return m_hWnd == hWnd;
}

BOOL CWnd::Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                  CWnd* pParentWnd, UINT nID)
{
    return CreateEx(0, lpszClassName, lpszWindowName, dwStyle | WS_CHILD, rect, pParentWnd, nID);
}

BOOL CWnd::DestroyWindow()
{
    if (!m_hWnd)
        return FALSE;
    HWND hWnd = m_hWnd;
    const bool bPermanent = FromHandlePermanent(hWnd) == this;
    const BOOL bResult = ::DestroyWindow(hWnd);
    // A borrowed wrapper gets no WM_NCDESTROY through us: forget the handle here.
    if (!bPermanent)
        m_hWnd = nullptr;
    return bResult;
}

BOOL CWnd::SubclassWindow(HWND hWnd)
{
    if (!Attach(hWnd))
        return FALSE;
    PreSubclassWindow();
    const WNDPROC pfnOld = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc)));
    if (pfnOld != &AfxWndProc)
        m_pfnSuper = pfnOld;
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent)
{
    HWND hWndControl = ::GetDlgItem(pParent->m_hWnd, static_cast<int>(nID));
    return hWndControl && SubclassWindow(hWndControl);
}

void CWnd::UseUnicodeMessages()
{
    if (!m_hWnd || m_bUnicode || !m_pfnSuper || FromHandlePermanent(m_hWnd) != this)
        return;
    // The control's own procedure back first, so that the wide call below hands it over in
    // its wide form, the one CallWindowProcW then reaches without conversion.
    ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    m_pfnSuper = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProcW)));
    m_bUnicode = true;
}

HWND CWnd::UnsubclassWindow()
{
    if (m_pfnSuper) {
        if (m_bUnicode)
            ::SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
        else
            ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    }
    m_pfnSuper = nullptr;
    m_bUnicode = false;
    return Detach();
}

BOOL AfxRegisterClass(WNDCLASSA* lpWndClass)
{
    WNDCLASSA existing;
    if (::GetClassInfoA(lpWndClass->hInstance, lpWndClass->lpszClassName, &existing))
        return TRUE;
    return ::RegisterClassA(lpWndClass) != 0;
}

void AfxThrowResourceException()
{
    throw CResourceException();
}

// ============================================================================================
// Thin members
// ============================================================================================

CWnd* CWnd::GetDlgItem(int nID) const
{
    return FromHandle(::GetDlgItem(m_hWnd, nID));
}

CWnd* CWnd::GetTopLevelParent() const
{
    HWND hWnd = m_hWnd;
    while (hWnd && (::GetWindowLongPtrA(hWnd, GWL_STYLE) & WS_CHILD))
        hWnd = ::GetParent(hWnd);
    return FromHandle(hWnd);
}

namespace {

BOOL ModifyLong(HWND hWnd, int nIndex, DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    const DWORD dwStyle = static_cast<DWORD>(::GetWindowLongPtrA(hWnd, nIndex));
    const DWORD dwNew = (dwStyle & ~dwRemove) | dwAdd;
    if (dwStyle == dwNew)
        return FALSE;
    ::SetWindowLongPtrA(hWnd, nIndex, static_cast<LONG_PTR>(dwNew));
    if (nFlags)
        ::SetWindowPos(hWnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
    return TRUE;
}

} // namespace

BOOL CWnd::ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    return ModifyLong(m_hWnd, GWL_STYLE, dwRemove, dwAdd, nFlags);
}

BOOL CWnd::ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    return ModifyLong(m_hWnd, GWL_EXSTYLE, dwRemove, dwAdd, nFlags);
}

void CWnd::MoveWindow(LPCRECT lpRect, BOOL bRepaint)
{
    MoveWindow(lpRect->left, lpRect->top, lpRect->right - lpRect->left, lpRect->bottom - lpRect->top, bRepaint);
}

BOOL CWnd::SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags)
{
    return ::SetWindowPos(m_hWnd, pWndInsertAfter ? pWndInsertAfter->m_hWnd : nullptr, x, y, cx, cy, nFlags);
}

void CWnd::ScreenToClient(LPRECT lpRect) const
{
    ::ScreenToClient(m_hWnd, reinterpret_cast<LPPOINT>(lpRect));
    ::ScreenToClient(m_hWnd, reinterpret_cast<LPPOINT>(lpRect) + 1);
}

void CWnd::ClientToScreen(LPRECT lpRect) const
{
    ::ClientToScreen(m_hWnd, reinterpret_cast<LPPOINT>(lpRect));
    ::ClientToScreen(m_hWnd, reinterpret_cast<LPPOINT>(lpRect) + 1);
}

void CWnd::CenterWindow(CWnd* pAlternateOwner)
{
    // Over the owner when there is a visible one, else in the work area of the screen.
    HWND hWndCenter = pAlternateOwner ? pAlternateOwner->m_hWnd
                                      : ((GetStyle() & WS_CHILD) ? ::GetParent(m_hWnd) : ::GetWindow(m_hWnd, GW_OWNER));
    CRect rcArea;
    if (GetStyle() & WS_CHILD) {
        ::GetClientRect(::GetParent(m_hWnd), rcArea);
    } else {
        ::SystemParametersInfoA(SPI_GETWORKAREA, 0, static_cast<LPRECT>(rcArea), 0);
    }
    CRect rcCenter = rcArea;
    if (hWndCenter && ::IsWindowVisible(hWndCenter) && !::IsIconic(hWndCenter)) {
        ::GetWindowRect(hWndCenter, rcCenter);
        if (GetStyle() & WS_CHILD)
            ::MapWindowPoints(nullptr, ::GetParent(m_hWnd), reinterpret_cast<LPPOINT>(static_cast<LPRECT>(rcCenter)), 2);
    }
    CRect rcWindow;
    GetWindowRect(rcWindow);
    if (GetStyle() & WS_CHILD)
        ::MapWindowPoints(nullptr, ::GetParent(m_hWnd), reinterpret_cast<LPPOINT>(static_cast<LPRECT>(rcWindow)), 2);
    int x = (rcCenter.left + rcCenter.right) / 2 - rcWindow.Width() / 2;
    int y = (rcCenter.top + rcCenter.bottom) / 2 - rcWindow.Height() / 2;
    // Keep the window inside the area.
    if (x + rcWindow.Width() > rcArea.right) x = rcArea.right - rcWindow.Width();
    if (x < rcArea.left) x = rcArea.left;
    if (y + rcWindow.Height() > rcArea.bottom) y = rcArea.bottom - rcWindow.Height();
    if (y < rcArea.top) y = rcArea.top;
    SetWindowPos(nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CWnd::GetWindowText(CString& rString) const
{
    if (m_bUnicode) {
        // Read as the window holds it, then put into the program's code page (UTF-8 where
        // the manifest is honoured) here, not by the system's conversion of the message.
        std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(m_hWnd)) + 1, L'\0');
        text.resize(static_cast<size_t>(::GetWindowTextW(m_hWnd, &text[0], static_cast<int>(text.size()))));
        std::string bytes;
        if (const int nBytes = ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                                     nullptr, nullptr)) {
            bytes.resize(static_cast<size_t>(nBytes));
            ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &bytes[0], nBytes, nullptr,
                                  nullptr);
        }
        rString = CString(bytes.c_str());
        return;
    }
    const int nLength = ::GetWindowTextLengthA(m_hWnd);
    ::GetWindowTextA(m_hWnd, rString.GetBuffer(nLength), nLength + 1);
    rString.ReleaseBuffer();
}

int CWnd::GetDlgItemText(int nID, CString& rString) const
{
    HWND hWndItem = ::GetDlgItem(m_hWnd, nID);
    rString.Empty();
    if (hWndItem)
        FromHandle(hWndItem)->GetWindowText(rString);
    return rString.GetLength();
}

CMenu* CWnd::GetSystemMenu(BOOL bRevert) const
{
    HMENU hMenu = ::GetSystemMenu(m_hWnd, bRevert);
    if (!hMenu)
        return nullptr;
    std::unique_ptr<CMenu>& slot = t_temporaryMenus[hMenu];
    if (!slot)
        slot = std::make_unique<CMenu>(hMenu);
    return slot.get();
}

int CWnd::MessageBox(LPCSTR lpszText, LPCSTR lpszCaption, UINT nType)
{
    return AfxSeamMessageBox(m_hWnd, lpszText, lpszCaption ? lpszCaption : AfxGetAppName(), nType);
}
