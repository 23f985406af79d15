// CWnd: a C++ object bound to a window handle. One process-wide hash map takes an HWND to
// its object; the object sees the window's messages through its message map once it is
// created by CreateEx/CDialog or subclassed (SubclassWindow, DDX_Control).
#pragma once

#include <windows.h>

#include "framework/AfxRes.h"
#include "framework/CString.h"
#include "framework/Geometry.h"
#include "framework/MessageMap.h"

class CMenu;
struct AFX_EVENTSINKMAP;

// The message currently being handled on this thread, for CWnd::Default().
struct AfxThreadMessage {
    HWND hwnd = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

class CWnd {
public:
    CWnd() = default;
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;

    operator HWND() const { return m_hWnd; }
    HWND GetSafeHwnd() const { return m_hWnd; }
    bool operator==(const CWnd& other) const { return m_hWnd == other.m_hWnd; }
    bool operator!=(const CWnd& other) const { return m_hWnd != other.m_hWnd; }

    // --- the handle map -------------------------------------------------------------------
    // The object bound to hWnd, or a borrowed wrapper that lives for the rest of the thread
    // (it holds nothing but the handle); null for a null handle.
    static CWnd* FromHandle(HWND hWnd);
    // Only objects bound by Attach/creation/subclassing; null otherwise.
    static CWnd* FromHandlePermanent(HWND hWnd);
    BOOL Attach(HWND hWndNew);
    HWND Detach();

    // --- creation and subclassing ---------------------------------------------------------
    virtual BOOL CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle,
                          const RECT& rect, CWnd* pParentWnd, UINT nID, LPVOID lpParam = nullptr);
    virtual BOOL Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                        CWnd* pParentWnd, UINT nID);
    virtual BOOL DestroyWindow();
    BOOL SubclassWindow(HWND hWnd);
    BOOL SubclassDlgItem(UINT nID, CWnd* pParent);
    HWND UnsubclassWindow();
    // Called once the object is bound, before it sees the first message through its map.
    virtual void PreSubclassWindow() {}
    // Makes a subclassed window a Unicode one: its messages, typed characters above all, reach
    // it and its control's own procedure in UTF-16 instead of passing through a code page. The
    // object's handlers then see the wide form of each message. For edits people type into:
    // characters typed arrive in the keyboard's code page otherwise, and letters outside it
    // (Greek or Korean on a Western keyboard's code page) become "?".
    void UseUnicodeMessages();
    bool IsUnicode() const { return m_bUnicode; }

    // --- message processing ---------------------------------------------------------------
    // Gives the object a look at a message before it is dispatched; TRUE consumes it.
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    // PreTranslateMessage from pMsg->hwnd's object up through its parents' objects,
    // ending with hWndStop; TRUE when one of them consumed the message.
    static BOOL WalkPreTranslateTree(HWND hWndStop, MSG* pMsg);
    // The default processing of the message being handled (the subclassed window procedure
    // or DefWindowProc).
    LRESULT Default();
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    // Dispatches a command (control notification code nCode from control nID) through the
    // message map; TRUE when a handler took it.
    BOOL OnCmdMsg(UINT nID, UINT nCode, WPARAM wParam, LPARAM lParam);
    // A notification of this control, handed back by its parent; TRUE stops the parent.
    virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    BOOL ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    // Called after the window is gone (WM_NCDESTROY), the object unbound.
    virtual void PostNcDestroy() {}

    // --- thin members -----------------------------------------------------------------------
    CWnd* GetDlgItem(int nID) const;
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
    CWnd* GetParent() const { return FromHandle(::GetParent(m_hWnd)); }
    CWnd* GetTopLevelParent() const;
    CWnd* GetWindow(UINT nCmd) const { return FromHandle(::GetWindow(m_hWnd, nCmd)); }
    BOOL IsChild(const CWnd* pWnd) const { return pWnd && ::IsChild(m_hWnd, pWnd->m_hWnd); }
    DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongPtrA(m_hWnd, GWL_STYLE)); }
    DWORD GetExStyle() const { return static_cast<DWORD>(::GetWindowLongPtrA(m_hWnd, GWL_EXSTYLE)); }
    BOOL ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
    BOOL ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);

    void MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint = TRUE) { ::MoveWindow(m_hWnd, x, y, nWidth, nHeight, bRepaint); }
    void MoveWindow(LPCRECT lpRect, BOOL bRepaint = TRUE);
    BOOL SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags);
    BOOL ShowWindow(int nCmdShow) { return ::ShowWindow(m_hWnd, nCmdShow); }
    BOOL EnableWindow(BOOL bEnable = TRUE) { return ::EnableWindow(m_hWnd, bEnable); }
    BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
    void Invalidate(BOOL bErase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, bErase); }
    void InvalidateRect(LPCRECT lpRect, BOOL bErase = TRUE) { ::InvalidateRect(m_hWnd, lpRect, bErase); }
    void ValidateRect(LPCRECT lpRect) { ::ValidateRect(m_hWnd, lpRect); }
    void UpdateWindow() { ::UpdateWindow(m_hWnd); }
    BOOL RedrawWindow(LPCRECT lpRectUpdate = nullptr, HRGN hrgn = nullptr, UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE)
    { return ::RedrawWindow(m_hWnd, lpRectUpdate, hrgn, flags); }
    void SetRedraw(BOOL bRedraw = TRUE) { SendMessage(WM_SETREDRAW, bRedraw, 0); }
    void GetClientRect(LPRECT lpRect) const { ::GetClientRect(m_hWnd, lpRect); }
    void GetWindowRect(LPRECT lpRect) const { ::GetWindowRect(m_hWnd, lpRect); }
    void ScreenToClient(LPPOINT lpPoint) const { ::ScreenToClient(m_hWnd, lpPoint); }
    void ScreenToClient(LPRECT lpRect) const;
    void ClientToScreen(LPPOINT lpPoint) const { ::ClientToScreen(m_hWnd, lpPoint); }
    void ClientToScreen(LPRECT lpRect) const;
    void CenterWindow(CWnd* pAlternateOwner = nullptr);

    CWnd* SetFocus() { return FromHandle(::SetFocus(m_hWnd)); }
    static CWnd* GetFocus() { return FromHandle(::GetFocus()); }
    CWnd* SetCapture() { return FromHandle(::SetCapture(m_hWnd)); }
    static CWnd* GetCapture() { return FromHandle(::GetCapture()); }
    BOOL SetForegroundWindow() { return ::SetForegroundWindow(m_hWnd); }
    CWnd* SetActiveWindow() { return FromHandle(::SetActiveWindow(m_hWnd)); }

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const { return ::SendMessageA(m_hWnd, message, wParam, lParam); }
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const { return ::PostMessageA(m_hWnd, message, wParam, lParam); }
    LRESULT SendDlgItemMessage(int nID, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    { return ::SendDlgItemMessageA(m_hWnd, nID, message, wParam, lParam); }

    void SetWindowText(LPCSTR lpszString) { ::SetWindowTextA(m_hWnd, lpszString); }
    int GetWindowText(LPSTR lpszStringBuf, int nMaxCount) const { return ::GetWindowTextA(m_hWnd, lpszStringBuf, nMaxCount); }
    void GetWindowText(CString& rString) const;
    int GetWindowTextLength() const { return ::GetWindowTextLengthA(m_hWnd); }
    void SetDlgItemText(int nID, LPCSTR lpszString) { ::SetDlgItemTextA(m_hWnd, nID, lpszString); }
    int GetDlgItemText(int nID, CString& rString) const;
    void SetFont(HFONT hFont, BOOL bRedraw = TRUE) { SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(hFont), bRedraw); }
    HFONT GetFont() const { return reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)); }
    HICON SetIcon(HICON hIcon, BOOL bBigIcon) { return reinterpret_cast<HICON>(SendMessage(WM_SETICON, bBigIcon, reinterpret_cast<LPARAM>(hIcon))); }
    CMenu* GetSystemMenu(BOOL bRevert) const;
    UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse) { return ::SetTimer(m_hWnd, nIDEvent, nElapse, nullptr); }
    BOOL KillTimer(UINT_PTR nIDEvent) { return ::KillTimer(m_hWnd, nIDEvent); }
    // Through the program's message-box seam (tests answer it). A null caption is the
    // application's name.
    int MessageBox(LPCSTR lpszText, LPCSTR lpszCaption = nullptr, UINT nType = MB_OK);

    // --- message maps -----------------------------------------------------------------------
    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;
    // Event sink maps of hosted ActiveX controls' events (OleEventSink.h); none by default.
    static const AFX_EVENTSINKMAP* GetThisEventSinkMap() { return nullptr; }
    virtual const AFX_EVENTSINKMAP* GetEventSinkMap() const { return nullptr; }

    // The thread's current message; set by the window procedure around each call.
    static const AfxThreadMessage& GetCurrentMessage();

protected:
    // Default handlers for the message-map entries: each is the default processing.
    void OnPaint() { Default(); }
    BOOL OnEraseBkgnd(CDC*) { return static_cast<BOOL>(Default()); }
    HBRUSH OnCtlColor(CDC*, CWnd*, UINT) { return reinterpret_cast<HBRUSH>(Default()); }
    void OnDestroy() { Default(); }
    void OnClose() { Default(); }
    int OnCreate(LPCREATESTRUCT) { return static_cast<int>(Default()); }
    void OnSize(UINT, int, int) { Default(); }
    void OnTimer(UINT_PTR) { Default(); }
    void OnSysCommand(UINT, LPARAM) { Default(); }
    HCURSOR OnQueryDragIcon() { return reinterpret_cast<HCURSOR>(Default()); }
    UINT OnGetDlgCode() { return static_cast<UINT>(Default()); }
    void OnSysColorChange() { Default(); }
    void OnCancelMode() { Default(); }
    void OnMouseLeave() { Default(); }
    void OnSetFocus(CWnd*) { Default(); }
    void OnKillFocus(CWnd*) { Default(); }
    void OnShowWindow(BOOL, UINT) { Default(); }
    BOOL OnSetCursor(CWnd*, UINT, UINT) { return static_cast<BOOL>(Default()); }
    void OnDrawItem(int, LPDRAWITEMSTRUCT) { Default(); }
    void OnMouseMove(UINT, CPoint) { Default(); }
    void OnLButtonDown(UINT, CPoint) { Default(); }
    void OnLButtonUp(UINT, CPoint) { Default(); }
    void OnLButtonDblClk(UINT, CPoint) { Default(); }
    void OnRButtonDown(UINT, CPoint) { Default(); }
    void OnRButtonUp(UINT, CPoint) { Default(); }
    void OnKeyDown(UINT, UINT, UINT) { Default(); }
    void OnKeyUp(UINT, UINT, UINT) { Default(); }
    void OnChar(UINT, UINT, UINT) { Default(); }
    void OnSysKeyDown(UINT, UINT, UINT) { Default(); }

    // F1: WM_HELP climbs from the focused control to the top-level window, which turns it
    // into the ID_HELP command of the application's main window.
    BOOL OnHelpInfo(HELPINFO* pHelpInfo);

    // Looks up message in this object's map chain (window messages and registered ones).
    BOOL DispatchToMap(UINT nKey, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

private:
    friend LRESULT CALLBACK AfxWndProc(HWND, UINT, WPARAM, LPARAM);
    friend LRESULT CALLBACK AfxWndProcW(HWND, UINT, WPARAM, LPARAM);
    friend LRESULT CALLBACK AfxCbtFilterHook(int, WPARAM, LPARAM);
    friend LRESULT AfxCallWndProc(CWnd*, HWND, UINT, WPARAM, LPARAM);
    void OnNcDestroy();
    // The window procedure that was in place before the object subclassed the window.
    WNDPROC m_pfnSuper = nullptr;
    bool m_bUnicode = false; // subclassed with AfxWndProcW (UseUnicodeMessages)
};

// The window procedure of every window bound to an object.
LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
// The same for a window that takes its messages in UTF-16 (CWnd::UseUnicodeMessages).
LRESULT CALLBACK AfxWndProcW(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

// Creation hook: the next window this thread creates is bound to pWnd as it is born, so
// the object sees WM_NCCREATE, WM_CREATE and (for dialogs) WM_INITDIALOG.
void AfxHookWindowCreate(CWnd* pWnd);
// Ends the hook; false when no window was bound.
bool AfxUnhookWindowCreate();

// Registers a window class unless the module already has one of that name.
BOOL AfxRegisterClass(WNDCLASSA* lpWndClass);

// Thrown when a resource (window class, template) cannot be had; never crosses Win32.
struct CResourceException {};
[[noreturn]] void AfxThrowResourceException();
