// COleControlWnd: the base of a hosted ActiveX control's wrapper class. It is a window object
// bound to the control's host window (so DDX_Control, ShowWindow and MoveWindow work as for any
// control) and a dispatch driver connected to the control (so the wrapper's methods are
// InvokeHelper calls).
//
//     class CVideoEdit : public COleControlWnd {
//     public:
//         double GetDuration(const char* szPath)
//         {
//             double dResult = 0;
//             InvokeHelper(0x20, DISPATCH_METHOD, VT_R8, &dResult, VTS_BSTR, szPath);
//             return dResult;
//         }
//     };
//
// Bound to a host made from a dialog placeholder (DDX_Control / SubclassDlgItem), or created
// directly with CreateControl. The driver lets go of the control when the window is destroyed,
// so calls after that do nothing.
#pragma once
#include "framework/OleDispatchDriver.h"
#include "framework/Wnd.h"

class COleControlWnd : public CWnd, public COleDispatchDriver {
public:
    using COleDispatchDriver::GetProperty;
    using COleDispatchDriver::InvokeHelper;
    using COleDispatchDriver::SetProperty;

    // Creates the control by CLSID in a new host window, child of pParentWnd, and connects its
    // events to pParentWnd's event sink map. FALSE (and no window) when the control cannot be
    // created.
    BOOL CreateControl(REFCLSID clsid, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

protected:
    // Takes the control's IDispatch from the host window this object was just bound to.
    void PreSubclassWindow() override;
    void PostNcDestroy() override;
};
