// The host window of an in-process control: creation by CLSID, the window protocol (a site that
// answers IOleWindow, given through IObjectWithSite), sizing, events and teardown.
#include "framework/OleControlSite.h"

#include <ocidl.h>
#include <oleidl.h>

#include "framework/ComObject.h"
#include "common/ComPtr.h"

namespace {

// What the control sees of its host: IOleWindow::GetWindow gives the host window.
class HostSite final : public ComObject<IOleWindow> {
public:
    explicit HostSite(HWND hHost) : m_hHost(hHost) {}

    void Detach() { m_hHost = nullptr; }

    HRESULT STDMETHODCALLTYPE GetWindow(HWND* phwnd) override
    {
        if (!phwnd)
            return E_POINTER;
        *phwnd = m_hHost;
        return m_hHost ? S_OK : E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

private:
    ~HostSite() override = default;
    HWND m_hHost;
};

// Everything the host window owns, kept in its window extra bytes.
struct HostState {
    ComPtr<IUnknown> pControl;
    ComPtr<IDispatch> pDispatch;
    ComPtr<IObjectWithSite> pWithSite;
    ComPtr<HostSite> pSite;
    HWND hControlWnd = nullptr;
    COleEventConnection events;

    void Teardown()
    {
        events.Disconnect();
        if (pWithSite)
            pWithSite->SetSite(nullptr); // the control destroys its window and lets go of us
        if (pSite)
            pSite->Detach();
        pWithSite.Reset();
        pSite.Reset();
        pDispatch.Reset();
        pControl.Reset();
        hControlWnd = nullptr;
    }
};

HostState* StateOf(HWND hHost)
{
    if (!hHost || !IsWindow(hHost))
        return nullptr;
    char szClass[32] = {};
    GetClassNameA(hHost, szClass, sizeof(szClass));
    if (lstrcmpiA(szClass, COleControlSite::kHostClassName) != 0)
        return nullptr;
    return reinterpret_cast<HostState*>(GetWindowLongPtrA(hHost, 0));
}

void FitControlWindow(HWND hHost, const HostState& state)
{
    if (!state.hControlWnd || !IsWindow(state.hControlWnd))
        return;
    RECT rc;
    GetClientRect(hHost, &rc);
    MoveWindow(state.hControlWnd, 0, 0, rc.right - rc.left, rc.bottom - rc.top, TRUE);
}

LRESULT CALLBACK HostWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_NCCREATE:
        SetWindowLongPtrA(hwnd, 0, reinterpret_cast<LONG_PTR>(new HostState));
        break;
    case WM_SIZE:
        if (HostState* state = StateOf(hwnd))
            FitControlWindow(hwnd, *state);
        return 0;
    case WM_DESTROY:
        // Before the children go: the control takes its own window down.
        if (HostState* state = StateOf(hwnd))
            state->Teardown();
        break;
    case WM_NCDESTROY:
        delete reinterpret_cast<HostState*>(GetWindowLongPtrA(hwnd, 0));
        SetWindowLongPtrA(hwnd, 0, 0);
        break;
    default:
        break;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

void RegisterHostClass()
{
    static const bool bRegistered = [] {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = HostWndProc;
        wc.cbWndExtra = sizeof(HostState*);
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)); // an empty video area
        wc.lpszClassName = COleControlSite::kHostClassName;
        return RegisterClassA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    }();
    (void)bRegistered;
}

// Brings the control up inside the host; any step the control does not support is skipped.
void StartControl(HWND hHost, HostState& state, REFCLSID clsid)
{
    if (FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, state.pControl.ReceiveVoid())))
        return;
    state.pControl.QueryInterface(IID_IDispatch, state.pDispatch);
    if (SUCCEEDED(state.pControl.QueryInterface(IID_IObjectWithSite, state.pWithSite))) {
        state.pSite = ComPtr<HostSite>::Adopt(new HostSite(hHost));
        if (FAILED(state.pWithSite->SetSite(state.pSite.Get())))
            state.pWithSite.Reset(); // it refused the site: no SetSite(nullptr) owed either
    }
    ComPtr<IOleWindow> pWindow;
    HWND hControlWnd = nullptr;
    if (SUCCEEDED(state.pControl.QueryInterface(IID_IOleWindow, pWindow)) && SUCCEEDED(pWindow->GetWindow(&hControlWnd))
        && hControlWnd && IsWindow(hControlWnd)) {
        state.hControlWnd = hControlWnd;
        FitControlWindow(hHost, state);
    }
}

} // namespace

HWND COleControlSite::CreateControl(REFCLSID clsid, HWND hParent, UINT nID, const RECT& rect, DWORD dwStyle,
                                    DWORD dwExStyle, HWND hInsertAfter)
{
    RegisterHostClass();
    HWND hHost = CreateWindowExA(dwExStyle, kHostClassName, "", dwStyle | WS_CHILD | WS_CLIPCHILDREN, rect.left,
                                 rect.top, rect.right - rect.left, rect.bottom - rect.top, hParent,
                                 reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)), GetModuleHandleA(nullptr), nullptr);
    if (!hHost)
        return nullptr;
    if (hInsertAfter)
        SetWindowPos(hHost, hInsertAfter, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (HostState* state = StateOf(hHost))
        StartControl(hHost, *state, clsid);
    return hHost;
}

IDispatch* COleControlSite::GetControlDispatch(HWND hHost)
{
    HostState* state = StateOf(hHost);
    return state ? state->pDispatch.Get() : nullptr;
}

IUnknown* COleControlSite::GetControlUnknown(HWND hHost)
{
    HostState* state = StateOf(hHost);
    return state ? state->pControl.Get() : nullptr;
}

HWND COleControlSite::GetControlWindow(HWND hHost)
{
    HostState* state = StateOf(hHost);
    return state ? state->hControlWnd : nullptr;
}

HRESULT COleControlSite::ConnectEvents(HWND hHost, CWnd* pOwner, const AFX_EVENTSINKMAP* pMap)
{
    HostState* state = StateOf(hHost);
    if (!state || !state->pControl)
        return E_FAIL;
    return state->events.Connect(state->pControl.Get(), pOwner, pMap, static_cast<UINT>(GetDlgCtrlID(hHost)));
}
