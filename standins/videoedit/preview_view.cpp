// The component's window.
#include "standins/videoedit/preview_view.h"

#include <cstring>

#include "standins/videoedit/preview_geometry.h"

namespace vedit {
namespace {

const wchar_t kViewClass[] = L"VarnelloVideoEditView";

int DibStride(int width) { return (width * 3 + 3) & ~3; }

void FillBlack(HDC dc, int left, int top, int right, int bottom)
{
    if (right <= left || bottom <= top)
        return;
    RECT rect{left, top, right, bottom};
    FillRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
}

} // namespace

void FrameStore::Publish(const uint8_t* pixels, int width, int height)
{
    const int stride = DibStride(width);
    std::lock_guard<std::mutex> guard(m_lock);
    m_width = width;
    m_height = height;
    m_rows.assign(static_cast<size_t>(stride) * height, 0);
    for (int y = 0; y < height; ++y)
        std::memcpy(&m_rows[static_cast<size_t>(y) * stride], pixels + static_cast<size_t>(y) * width * 3, width * 3);
}

void FrameStore::Clear()
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_width = m_height = 0;
    m_rows.clear();
}

bool FrameStore::HasPicture() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_width > 0;
}

void FrameStore::Paint(HDC dc, int width, int height) const
{
    std::lock_guard<std::mutex> guard(m_lock);
    if (m_width <= 0) {
        FillBlack(dc, 0, 0, width, height);
        return;
    }
    const PixelRect fit = FitKeepingAspect(m_width, m_height, width, height);
    // Only the bars are filled, so the picture does not flicker.
    FillBlack(dc, 0, 0, width, fit.top);
    FillBlack(dc, 0, fit.top + fit.height, width, height);
    FillBlack(dc, 0, fit.top, fit.left, fit.top + fit.height);
    FillBlack(dc, fit.left + fit.width, fit.top, width, fit.top + fit.height);

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = m_width;
    info.bmiHeader.biHeight = -m_height; // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchDIBits(dc, fit.left, fit.top, fit.width, fit.height, 0, 0, m_width, m_height, m_rows.data(), &info,
                  DIB_RGB_COLORS, SRCCOPY);
}

bool PreviewView::Create(HWND host, const FrameStore* store)
{
    Destroy();
    static const ATOM registered = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = WindowProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.lpszClassName = kViewClass;
        return RegisterClassW(&wc);
    }();
    if (!registered || !host)
        return false;
    RECT client{};
    GetClientRect(host, &client);
    m_hwnd = CreateWindowExW(0, kViewClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0, client.right,
                             client.bottom, host, nullptr, GetModuleHandleW(nullptr), const_cast<FrameStore*>(store));
    return m_hwnd != nullptr;
}

void PreviewView::Destroy()
{
    if (m_hwnd) {
        DestroyWindow(m_hwnd);
        m_hwnd = nullptr;
    }
}

bool PreviewView::PaintNow()
{
    if (!m_hwnd || !IsWindowVisible(m_hwnd))
        return false;
    RedrawWindow(m_hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    return true;
}

void PreviewView::ClientSize(int& width, int& height) const
{
    width = height = 0;
    RECT client{};
    if (m_hwnd && GetClientRect(m_hwnd, &client)) {
        width = client.right;
        height = client.bottom;
    }
}

LRESULT CALLBACK PreviewView::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_NCCREATE:
        SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
        break;
    case WM_ERASEBKGND:
        return 1; // painting covers every pixel
    case WM_SIZE:
        InvalidateRect(hwnd, nullptr, FALSE);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        RECT client{};
        GetClientRect(hwnd, &client);
        if (auto* store = reinterpret_cast<const FrameStore*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA)))
            store->Paint(dc, client.right, client.bottom);
        EndPaint(hwnd, &ps);
        return 0;
    }
    default:
        break;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

} // namespace vedit
