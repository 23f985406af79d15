// The display scale of a window (see Dpi.h).
#include "framework/Dpi.h"

#include "framework/DpiScale.h"

namespace dpi {

namespace {

template <typename Function>
Function User32Function(const char* pszName)
{
    HMODULE hUser32 = ::GetModuleHandleA("user32.dll");
    return hUser32 ? reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(hUser32, pszName)))
                   : nullptr;
}

} // namespace

int ForWindow(HWND hWnd)
{
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    using GetDpiForSystemFn = UINT(WINAPI*)();
    static const auto pGetDpiForWindow = User32Function<GetDpiForWindowFn>("GetDpiForWindow");
    static const auto pGetDpiForSystem = User32Function<GetDpiForSystemFn>("GetDpiForSystem");
    if (hWnd && pGetDpiForWindow) {
        if (const UINT n = pGetDpiForWindow(hWnd))
            return static_cast<int>(n);
    }
    if (pGetDpiForSystem) {
        if (const UINT n = pGetDpiForSystem())
            return static_cast<int>(n);
    }
    HDC hdc = ::GetDC(nullptr);
    const int n = hdc ? ::GetDeviceCaps(hdc, LOGPIXELSX) : 0;
    if (hdc)
        ::ReleaseDC(nullptr, hdc);
    return dpiscale::Usable(n);
}

void TakeOverDialogScaling(HWND hDlg)
{
    // DIALOG_DPI_CHANGE_BEHAVIORS: DDC_DISABLE_ALL turns off the resize, the font update and
    // the relayout of the controls.
    constexpr int kDisableAll = 1;
    using SetDialogDpiChangeBehaviorFn = BOOL(WINAPI*)(HWND, int, int);
    static const auto pSet = User32Function<SetDialogDpiChangeBehaviorFn>("SetDialogDpiChangeBehavior");
    if (hDlg && pSet)
        pSet(hDlg, kDisableAll, kDisableAll);
}

} // namespace dpi
