// COleControlSite: a host window that holds one in-process ActiveX control created by CLSID.
//
// The host is an ordinary child window (class "VarnelloOleHost") with the control's id and
// rectangle, so dialogs and wrappers treat it like any control: DDX_Control subclasses it,
// ShowWindow/MoveWindow act on it. The control lives inside it:
//
//  1. The host creates the control with CoCreateInstance(clsid, CLSCTX_INPROC_SERVER), so a
//     class the program registered with CoRegisterClassObject is found. It keeps the control's
//     IUnknown and IDispatch.
//  2. If the control answers IObjectWithSite, the host calls SetSite(site). The site answers
//     IOleWindow, whose GetWindow gives the host window. The control then creates its own
//     window as a WS_CHILD | WS_VISIBLE child of the host, filling the host's client area.
//  3. If the control answers IOleWindow, the host asks it for that window and from then on
//     moves it to the host's whole client area on every WM_SIZE.
//  4. Events: ConnectEvents advises an event sink (see OleEventSink.h) on the control.
//  5. When the host is destroyed: the sink is unadvised, SetSite(nullptr) is called (the
//     control destroys its window and releases the site), and the control is released.
//
// Everything runs on the user-interface thread. A control that cannot be created leaves an
// empty host (a black area); calls through its wrapper then do nothing.
#pragma once
#include <windows.h>
#include <oaidl.h>

#include "framework/OleEventSink.h"

class CWnd;

class COleControlSite {
public:
    static constexpr const char* kHostClassName = "VarnelloOleHost";

    // Creates a host child window of hParent with the id, rectangle (parent client coordinates)
    // and style given (WS_CHILD is added), placed after hInsertAfter in the Z order (tab order;
    // nullptr keeps it last), and creates the control in it. Returns the host, or nullptr if
    // the window itself could not be made; a control that fails leaves an empty host.
    static HWND CreateControl(REFCLSID clsid, HWND hParent, UINT nID, const RECT& rect, DWORD dwStyle,
                              DWORD dwExStyle = 0, HWND hInsertAfter = nullptr);

    // The control's IDispatch in host hHost (borrowed), or nullptr when hHost is no host or holds
    // no control.
    static IDispatch* GetControlDispatch(HWND hHost);
    static IUnknown* GetControlUnknown(HWND hHost);
    // The control's own window inside the host, or nullptr.
    static HWND GetControlWindow(HWND hHost);

    // Connects the control's events to pOwner's sink map (entries for the host's id). Replaces an
    // earlier connection; fails when the host holds no control or the control has no events.
    static HRESULT ConnectEvents(HWND hHost, CWnd* pOwner, const AFX_EVENTSINKMAP* pMap);
};
