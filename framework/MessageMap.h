// Message maps: per-class tables of (message, notification code, control id range) ->
// typed handler, chained to the base class's table. Each entry's thunk unpacks wParam and
// lParam into the handler's own parameter types; a handler with the wrong signature fails
// to compile because its address must convert to the exact member-pointer type.
//
// Handlers written by hand with the same signature as the comment above each macro. A
// handler that wants the default processing calls its base class's handler (CWnd's call
// Default()).
#pragma once

#include <windows.h>
#include <commctrl.h>

class CWnd;
class CDC;
class CPoint;

// The message a handler was found for, and the place for its result.
struct AfxMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    LRESULT result;
};

// Returns true when the entry's handler took the message; false passes it on (the _EX
// reflection forms return the handler's answer here).
using AfxThunk = bool (*)(CWnd* pWnd, AfxMessage& msg);

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;            // window message; WM_COMMAND/WM_NOTIFY; or a reflected message
    UINT nCode;               // notification code for WM_COMMAND/WM_NOTIFY entries
    UINT nID;                 // first control id
    UINT nLastID;             // last control id (same as nID except for ranges)
    const UINT* pnRegistered; // for registered messages: the variable holding the number
    AfxThunk pfnThunk;
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* pEntries;
};

// Reflected messages: the parent hands a child control's notification back to the child's
// own object under this offset first.
constexpr UINT WM_REFLECT_BASE = 0xBC00;

// Convert a handler's address to exactly the given member-pointer type (compile-time check).
template <class Pmf>
constexpr Pmf AfxCheckedHandler(Pmf pmf) { return pmf; }
#define AFX_HANDLER(sig, fn) (static_cast<ThisClass*>(pWnd)->*AfxCheckedHandler<sig>(&ThisClass::fn))

#define DECLARE_MESSAGE_MAP()                                     \
protected:                                                        \
    static const AFX_MSGMAP* GetThisMessageMap();                 \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                         \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const AFX_MSGMAP* theClass::GetThisMessageMap()                                    \
    {                                                                                  \
        using ThisClass = theClass;                                                    \
        using TheBaseClass = baseClass;                                                \
        static const AFX_MSGMAP_ENTRY entries[] = {

#define END_MESSAGE_MAP()                                                \
            {0, 0, 0, 0, nullptr, nullptr}                               \
        };                                                               \
        static const AFX_MSGMAP map = {&TheBaseClass::GetThisMessageMap, entries}; \
        return &map;                                                     \
    }

#define AFX_ENTRY(msg, code, id, lastId, ...) \
    {msg, code, id, lastId, nullptr, [](CWnd* pWnd, AfxMessage& m) -> bool { (void)pWnd; (void)m; __VA_ARGS__ }},

// --- commands ---------------------------------------------------------------------------

// void OnCommand()
#define ON_COMMAND(id, fn) \
    AFX_ENTRY(WM_COMMAND, 0, id, id, AFX_HANDLER(void (ThisClass::*)(), fn)(); return true;)
// void OnNotification()
#define ON_CONTROL(code, id, fn) \
    AFX_ENTRY(WM_COMMAND, code, id, id, AFX_HANDLER(void (ThisClass::*)(), fn)(); return true;)
// void OnNotification(UINT nID)
#define ON_CONTROL_RANGE(code, idFirst, idLast, fn) \
    AFX_ENTRY(WM_COMMAND, code, idFirst, idLast, AFX_HANDLER(void (ThisClass::*)(UINT), fn)(LOWORD(m.wParam)); return true;)

#define ON_BN_CLICKED(id, fn) ON_CONTROL(BN_CLICKED, id, fn)
#define ON_BN_DOUBLECLICKED(id, fn) ON_CONTROL(BN_DOUBLECLICKED, id, fn)
#define ON_EN_CHANGE(id, fn) ON_CONTROL(EN_CHANGE, id, fn)
#define ON_CBN_SELCHANGE(id, fn) ON_CONTROL(CBN_SELCHANGE, id, fn)

// --- WM_NOTIFY ---------------------------------------------------------------------------

// void OnNotify(NMHDR* pNMHDR, LRESULT* pResult)
#define ON_NOTIFY(code, id, fn)                                                                   \
    AFX_ENTRY(WM_NOTIFY, static_cast<UINT>(code), id, id,                                         \
              m.result = 0;                                                                       \
              AFX_HANDLER(void (ThisClass::*)(NMHDR*, LRESULT*), fn)(reinterpret_cast<NMHDR*>(m.lParam), &m.result); \
              return true;)

// --- private and registered messages ------------------------------------------------------

// LRESULT OnMyMessage(WPARAM wParam, LPARAM lParam)
#define ON_MESSAGE(message, fn) \
    AFX_ENTRY(message, 0, 0, 0, m.result = AFX_HANDLER(LRESULT (ThisClass::*)(WPARAM, LPARAM), fn)(m.wParam, m.lParam); return true;)
// LRESULT OnMyMessage(WPARAM wParam, LPARAM lParam); nMessageVariable holds RegisterWindowMessage's answer
#define ON_REGISTERED_MESSAGE(nMessageVariable, fn)                                                   \
    {0xC000, 0, 0, 0, &nMessageVariable, [](CWnd* pWnd, AfxMessage& m) -> bool {                      \
         m.result = AFX_HANDLER(LRESULT (ThisClass::*)(WPARAM, LPARAM), fn)(m.wParam, m.lParam);      \
         return true; }},

// --- reflected notifications, handled by the control's own object -------------------------

// void OnReflectedNotify(NMHDR* pNMHDR, LRESULT* pResult); the parent does not see it
#define ON_NOTIFY_REFLECT(code, fn)                                                               \
    AFX_ENTRY(WM_REFLECT_BASE + WM_NOTIFY, static_cast<UINT>(code), 0, 0,                         \
              m.result = 0;                                                                       \
              AFX_HANDLER(void (ThisClass::*)(NMHDR*, LRESULT*), fn)(reinterpret_cast<NMHDR*>(m.lParam), &m.result); \
              return true;)
// BOOL OnReflectedNotify(NMHDR* pNMHDR, LRESULT* pResult); FALSE lets the parent see it too
#define ON_NOTIFY_REFLECT_EX(code, fn)                                                            \
    AFX_ENTRY(WM_REFLECT_BASE + WM_NOTIFY, static_cast<UINT>(code), 0, 0,                         \
              m.result = 0;                                                                       \
              return AFX_HANDLER(BOOL (ThisClass::*)(NMHDR*, LRESULT*), fn)(reinterpret_cast<NMHDR*>(m.lParam), &m.result) != FALSE;)
// void OnReflectedCommand(); the parent does not see it
#define ON_CONTROL_REFLECT(code, fn) \
    AFX_ENTRY(WM_REFLECT_BASE + WM_COMMAND, code, 0, 0, AFX_HANDLER(void (ThisClass::*)(), fn)(); return true;)
// BOOL OnReflectedCommand(); FALSE lets the parent see it too
#define ON_CONTROL_REFLECT_EX(code, fn) \
    AFX_ENTRY(WM_REFLECT_BASE + WM_COMMAND, code, 0, 0, return AFX_HANDLER(BOOL (ThisClass::*)(), fn)() != FALSE;)
// HBRUSH CtlColor(CDC* pDC, UINT nCtlColor); a null brush lets the parent answer
#define ON_WM_CTLCOLOR_REFLECT()                                                                   \
    AFX_ENTRY(WM_REFLECT_BASE + WM_CTLCOLORSTATIC, 0, 0, 0,                                        \
              m.result = reinterpret_cast<LRESULT>(AfxCallCtlColor(pWnd, m,                        \
                  AfxCheckedHandler<HBRUSH (ThisClass::*)(CDC*, UINT)>(&ThisClass::CtlColor)));   \
              return m.result != 0;)

// --- window messages ------------------------------------------------------------------------

// void OnPaint()
#define ON_WM_PAINT() AFX_ENTRY(WM_PAINT, 0, 0, 0, AFX_HANDLER(void (ThisClass::*)(), OnPaint)(); return true;)
// BOOL OnEraseBkgnd(CDC* pDC)
#define ON_WM_ERASEBKGND() \
    AFX_ENTRY(WM_ERASEBKGND, 0, 0, 0, m.result = AfxCallWithDC(pWnd, reinterpret_cast<HDC>(m.wParam), AfxCheckedHandler<BOOL (ThisClass::*)(CDC*)>(&ThisClass::OnEraseBkgnd)); return true;)
// HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
#define ON_WM_CTLCOLOR()                                                                           \
    AFX_ENTRY(WM_CTLCOLORSTATIC, 0, 0, 0,                                                          \
              m.result = reinterpret_cast<LRESULT>(AfxCallOnCtlColor(pWnd, m,                      \
                  AfxCheckedHandler<HBRUSH (ThisClass::*)(CDC*, CWnd*, UINT)>(&ThisClass::OnCtlColor))); \
              return true;)
// void OnDestroy()
#define ON_WM_DESTROY() AFX_ENTRY(WM_DESTROY, 0, 0, 0, AFX_HANDLER(void (ThisClass::*)(), OnDestroy)(); return true;)
// void OnTimer(UINT_PTR nIDEvent)
#define ON_WM_TIMER() \
    AFX_ENTRY(WM_TIMER, 0, 0, 0, AFX_HANDLER(void (ThisClass::*)(UINT_PTR), OnTimer)(static_cast<UINT_PTR>(m.wParam)); return true;)
// void OnClose()
#define ON_WM_CLOSE() AFX_ENTRY(WM_CLOSE, 0, 0, 0, AFX_HANDLER(void (ThisClass::*)(), OnClose)(); return true;)
// int OnCreate(LPCREATESTRUCT lpCreateStruct)
#define ON_WM_CREATE() \
    AFX_ENTRY(WM_CREATE, 0, 0, 0, m.result = AFX_HANDLER(int (ThisClass::*)(LPCREATESTRUCT), OnCreate)(reinterpret_cast<LPCREATESTRUCT>(m.lParam)); return true;)
// void OnSysCommand(UINT nID, LPARAM lParam)
#define ON_WM_SYSCOMMAND() \
    AFX_ENTRY(WM_SYSCOMMAND, 0, 0, 0, AFX_HANDLER(void (ThisClass::*)(UINT, LPARAM), OnSysCommand)(static_cast<UINT>(m.wParam), m.lParam); return true;)
// HCURSOR OnQueryDragIcon()
#define ON_WM_QUERYDRAGICON() \
    AFX_ENTRY(WM_QUERYDRAGICON, 0, 0, 0, m.result = reinterpret_cast<LRESULT>(AFX_HANDLER(HCURSOR (ThisClass::*)(), OnQueryDragIcon)()); return true;)
// UINT OnGetDlgCode()
#define ON_WM_GETDLGCODE() \
    AFX_ENTRY(WM_GETDLGCODE, 0, 0, 0, m.result = AFX_HANDLER(UINT (ThisClass::*)(), OnGetDlgCode)(); return true;)
// void OnSysColorChange()
#define ON_WM_SYSCOLORCHANGE() AFX_ENTRY(WM_SYSCOLORCHANGE, 0, 0, 0, AFX_HANDLER(void (ThisClass::*)(), OnSysColorChange)(); return true;)
// void OnCancelMode()
#define ON_WM_CANCELMODE() AFX_ENTRY(WM_CANCELMODE, 0, 0, 0, AFX_HANDLER(void (ThisClass::*)(), OnCancelMode)(); return true;)
// void OnCaptureChanged(CWnd* pWnd)  (pWnd: the window that takes the capture, or null)
#define ON_WM_CAPTURECHANGED() \
    AFX_ENTRY(WM_CAPTURECHANGED, 0, 0, 0, AFX_HANDLER(void (ThisClass::*)(CWnd*), OnCaptureChanged)(CWnd::FromHandle(reinterpret_cast<HWND>(m.lParam))); return true;)
// void OnMouseLeave()
#define ON_WM_MOUSELEAVE() AFX_ENTRY(WM_MOUSELEAVE, 0, 0, 0, AFX_HANDLER(void (ThisClass::*)(), OnMouseLeave)(); return true;)
// void OnSetFocus(CWnd* pOldWnd)
#define ON_WM_SETFOCUS() \
    AFX_ENTRY(WM_SETFOCUS, 0, 0, 0, AFX_HANDLER(void (ThisClass::*)(CWnd*), OnSetFocus)(CWnd::FromHandle(reinterpret_cast<HWND>(m.wParam))); return true;)
// void OnKillFocus(CWnd* pNewWnd)
#define ON_WM_KILLFOCUS() \
    AFX_ENTRY(WM_KILLFOCUS, 0, 0, 0, AFX_HANDLER(void (ThisClass::*)(CWnd*), OnKillFocus)(CWnd::FromHandle(reinterpret_cast<HWND>(m.wParam))); return true;)
// void OnDropFiles(HDROP hDropInfo)
#define ON_WM_DROPFILES() \
    AFX_ENTRY(WM_DROPFILES, 0, 0, 0, AFX_HANDLER(void (ThisClass::*)(HDROP), OnDropFiles)(reinterpret_cast<HDROP>(m.wParam)); return true;)
// void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct)  (items not taken by the control itself)
#define ON_WM_DRAWITEM() \
    AFX_ENTRY(WM_DRAWITEM, 0, 0, 0, AFX_HANDLER(void (ThisClass::*)(int, LPDRAWITEMSTRUCT), OnDrawItem)(static_cast<int>(m.wParam), reinterpret_cast<LPDRAWITEMSTRUCT>(m.lParam)); m.result = TRUE; return true;)

// void OnXxx(UINT nFlags, CPoint point)
#define AFX_MOUSE_ENTRY(msg, fn) \
    AFX_ENTRY(msg, 0, 0, 0, AFX_HANDLER(void (ThisClass::*)(UINT, CPoint), fn)(static_cast<UINT>(m.wParam), CPoint((short)LOWORD(m.lParam), (short)HIWORD(m.lParam))); return true;)
#define ON_WM_MOUSEMOVE() AFX_MOUSE_ENTRY(WM_MOUSEMOVE, OnMouseMove)
#define ON_WM_LBUTTONDOWN() AFX_MOUSE_ENTRY(WM_LBUTTONDOWN, OnLButtonDown)
#define ON_WM_LBUTTONUP() AFX_MOUSE_ENTRY(WM_LBUTTONUP, OnLButtonUp)

// void OnXxx(UINT nChar, UINT nRepCnt, UINT nFlags)
#define AFX_KEY_ENTRY(msg, fn) \
    AFX_ENTRY(msg, 0, 0, 0, AFX_HANDLER(void (ThisClass::*)(UINT, UINT, UINT), fn)(static_cast<UINT>(m.wParam), LOWORD(m.lParam), HIWORD(m.lParam)); return true;)
#define ON_WM_KEYDOWN() AFX_KEY_ENTRY(WM_KEYDOWN, OnKeyDown)
#define ON_WM_CHAR() AFX_KEY_ENTRY(WM_CHAR, OnChar)
