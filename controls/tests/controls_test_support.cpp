// Support of the controls' window tests (see controls_test_support.h).
#include "controls/tests/controls_test_support.h"

#include <cstdio>

namespace ctltest {

BEGIN_MESSAGE_MAP(CControlsDlg, CDialog)
    ON_WM_ERASEBKGND()
    ON_REGISTERED_MESSAGE(RANGE_CHANGED, OnRangeChanged)
    ON_BN_CLICKED(IDC_T_ADD, OnAdd)
    ON_BN_CLICKED(IDC_T_START, OnStart)
    ON_BN_CLICKED(IDC_T_HELP, OnHelp)
    ON_BN_CLICKED(IDC_T_PLAY, OnPlay)
    ON_BN_DOUBLECLICKED(IDC_T_HELP, OnHelpDouble)
END_MESSAGE_MAP()

void Pump(HWND hDlg, DWORD ms)
{
    const DWORD start = ::GetTickCount();
    for (;;) {
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (hDlg && CWnd::WalkPreTranslateTree(hDlg, &msg))
                continue;
            if (hDlg && ::IsWindow(hDlg) && ::IsDialogMessageA(hDlg, &msg))
                continue;
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        if (::GetTickCount() - start >= ms)
            break;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
}

static void SendMouse(DWORD flags, int x = 0, int y = 0)
{
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flags;
    if (flags & MOUSEEVENTF_ABSOLUTE) {
        const int w = ::GetSystemMetrics(SM_CXSCREEN);
        const int h = ::GetSystemMetrics(SM_CYSCREEN);
        // Normalised coordinates that land on the pixel's own centre.
        in.mi.dx = static_cast<LONG>((x * 65536LL + 32768) / w);
        in.mi.dy = static_cast<LONG>((y * 65536LL + 32768) / h);
    }
    ::SendInput(1, &in, sizeof(in));
}

void MouseMoveToScreen(int x, int y)
{
    SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, x, y);
}

void MouseMoveTo(HWND hWnd, int x, int y)
{
    POINT pt{x, y};
    ::ClientToScreen(hWnd, &pt);
    MouseMoveToScreen(pt.x, pt.y);
}

void MouseButton(bool down)
{
    SendMouse(down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP);
}

void Key(WORD vk, bool down)
{
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = static_cast<WORD>(::MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
    in.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    if (vk == VK_LEFT || vk == VK_RIGHT || vk == VK_UP || vk == VK_DOWN)
        in.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
    ::SendInput(1, &in, sizeof(in));
}

void KeyPress(WORD vk, bool shift, bool ctrl)
{
    if (ctrl)
        Key(VK_CONTROL, true);
    if (shift)
        Key(VK_SHIFT, true);
    Key(vk, true);
    Key(vk, false);
    if (shift)
        Key(VK_SHIFT, false);
    if (ctrl)
        Key(VK_CONTROL, false);
}

static Pixels FromDC(HDC hdcSrc, int width, int height)
{
    Pixels px;
    px.width = width;
    px.height = height;
    px.data.resize(static_cast<size_t>(width) * height);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height; // top-down
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP hDib = ::CreateDIBSection(hdcSrc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC hdcMem = ::CreateCompatibleDC(hdcSrc);
    HGDIOBJ old = ::SelectObject(hdcMem, hDib);
    ::BitBlt(hdcMem, 0, 0, width, height, hdcSrc, 0, 0, SRCCOPY);
    ::GdiFlush();
    const DWORD* p = static_cast<const DWORD*>(bits);
    for (size_t i = 0; i < px.data.size(); ++i) {
        const DWORD v = p[i]; // 0xAARRGGBB in memory order B, G, R, A
        px.data[i] = RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
    }
    ::SelectObject(hdcMem, old);
    ::DeleteDC(hdcMem);
    ::DeleteObject(hDib);
    return px;
}

Pixels Capture(HWND hWnd)
{
    RECT rc;
    ::GetClientRect(hWnd, &rc);
    HDC hdc = ::GetDC(hWnd);
    Pixels px = FromDC(hdc, rc.right, rc.bottom);
    ::ReleaseDC(hWnd, hdc);
    return px;
}

Pixels BitmapPixels(UINT nBitmapId)
{
    HBITMAP hBmp = static_cast<HBITMAP>(::LoadImageA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(nBitmapId),
                                                     IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    BITMAP bm{};
    ::GetObjectA(hBmp, sizeof(bm), &bm);
    HDC hdcScreen = ::GetDC(nullptr);
    HDC hdcBmp = ::CreateCompatibleDC(hdcScreen);
    HGDIOBJ old = ::SelectObject(hdcBmp, hBmp);
    Pixels px = FromDC(hdcBmp, bm.bmWidth, bm.bmHeight);
    ::SelectObject(hdcBmp, old);
    ::DeleteDC(hdcBmp);
    ::ReleaseDC(nullptr, hdcScreen);
    ::DeleteObject(hBmp);
    return px;
}

Pixels IconPixels(UINT nIconId)
{
    HICON hIcon = static_cast<HICON>(::LoadImageA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(nIconId),
                                                  IMAGE_ICON, 0, 0, LR_DEFAULTCOLOR));
    ICONINFO info{};
    ::GetIconInfo(hIcon, &info);
    BITMAP bm{};
    ::GetObjectA(info.hbmColor, sizeof(bm), &bm);
    Pixels px;
    px.width = bm.bmWidth;
    px.height = bm.bmHeight;
    px.data.resize(static_cast<size_t>(px.width) * px.height);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = px.width;
    bi.bmiHeader.biHeight = -px.height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    std::vector<DWORD> raw(px.data.size());
    HDC hdc = ::GetDC(nullptr);
    ::GetDIBits(hdc, info.hbmColor, 0, px.height, raw.data(), &bi, DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, hdc);
    for (size_t i = 0; i < raw.size(); ++i) {
        const DWORD v = raw[i];
        px.data[i] = RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF) | (v & 0xFF000000);
    }
    ::DeleteObject(info.hbmColor);
    ::DeleteObject(info.hbmMask);
    ::DestroyIcon(hIcon);
    return px;
}

std::string Hex(COLORREF c)
{
    char buf[16];
    std::snprintf(buf, sizeof(buf), "(%u,%u,%u)", GetRValue(c), GetGValue(c), GetBValue(c));
    return buf;
}

void ShowDialog(CControlsDlg& dlg)
{
    ASSERT_TRUE(dlg.Create(IDD_CONTROLS_TEST));
    ::SetWindowPos(dlg.m_hWnd, HWND_TOP, 0, 0, 420, 420, SWP_SHOWWINDOW);
    ::SetForegroundWindow(dlg.m_hWnd);
    dlg.UpdateWindow();
    Pump(dlg.m_hWnd, 100);
}

} // namespace ctltest
