// Loading images for a display scale (see ScaledImage.h).
#include "controls/ScaledImage.h"

#include "controls/ImageResample.h"
#include "controls/ImageSets.h"
#include "framework/DpiScale.h"
#include "framework/DC.h"
#include "framework/Geometry.h"
#include "framework/WinApp.h"

namespace {

HBITMAP LoadBitmapResource(UINT nID)
{
    return static_cast<HBITMAP>(
        ::LoadImageA(AfxGetResourceHandle(), MAKEINTRESOURCEA(nID), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
}

// The bitmap's pixels as 0x00RRGGBB, rows from the top.
imageresample::Picture PixelsOf(HBITMAP hBitmap)
{
    imageresample::Picture picture;
    BITMAP bm{};
    if (!::GetObjectA(hBitmap, sizeof(bm), &bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0)
        return picture;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = bm.bmWidth;
    info.bmiHeader.biHeight = -bm.bmHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    picture.pixels.resize(static_cast<size_t>(bm.bmWidth) * bm.bmHeight);
    CClientDC screen(nullptr);
    const int rows = ::GetDIBits(screen, hBitmap, 0, bm.bmHeight, picture.pixels.data(), &info, DIB_RGB_COLORS);
    if (rows != bm.bmHeight)
        return imageresample::Picture{};
    picture.width = bm.bmWidth;
    picture.height = bm.bmHeight;
    return picture;
}

// A screen-compatible bitmap holding the picture, as LoadImage would have made it.
HBITMAP BitmapOf(const imageresample::Picture& picture)
{
    if (picture.width <= 0 || picture.height <= 0)
        return nullptr;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = picture.width;
    info.bmiHeader.biHeight = -picture.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    CClientDC screen(nullptr);
    CBitmap bitmap;
    if (!bitmap.Attach(::CreateCompatibleBitmap(screen, picture.width, picture.height)) ||
        ::SetDIBits(screen, bitmap, 0, picture.height, picture.pixels.data(), &info, DIB_RGB_COLORS) != picture.height)
        return nullptr;
    return static_cast<HBITMAP>(bitmap.Detach());
}

CSize IconSize(HICON hIcon)
{
    ICONINFO info{};
    if (!hIcon || !::GetIconInfo(hIcon, &info))
        return CSize();
    CBitmap colour, mask; // GetIconInfo hands over copies, which these delete
    colour.Attach(info.hbmColor);
    mask.Attach(info.hbmMask);
    if (colour.m_hObject)
        return colour.GetSize();
    // A monochrome icon keeps its mask and its image in one bitmap, one above the other.
    const CSize both = mask.GetSize();
    return CSize(both.cx, both.cy / 2);
}

} // namespace

HBITMAP LoadBitmapForDpi(UINT nID, int dpi, const COLORREF* pKey)
{
    const imagesets::ImageSet set = imagesets::ImageSetFor(dpi);
    if (imagesets::IsExact(set, dpi)) {
        if (HBITMAP hBitmap = LoadBitmapResource(nID + set.idOffset))
            return hBitmap;
    }
    // The 100 % image fixes the size; the larger set, when there is one, the detail.
    CBitmap base;
    if (!base.Attach(LoadBitmapResource(nID)))
        return nullptr;
    CBitmap detail;
    if (set.idOffset)
        detail.Attach(LoadBitmapResource(nID + set.idOffset));
    const imageresample::Picture source = PixelsOf(detail.m_hObject ? detail : base);
    const CSize baseSize = base.GetSize();
    const int cx = dpiscale::Scale(baseSize.cx, dpi);
    const int cy = dpiscale::Scale(baseSize.cy, dpi);
    if (!pKey)
        return BitmapOf(imageresample::Resize(source, cx, cy));
    const COLORREF key = *pKey;
    const std::uint32_t keyPixel = (GetRValue(key) << 16) | (GetGValue(key) << 8) | GetBValue(key);
    return BitmapOf(imageresample::ResizeKeyed(source, cx, cy, keyPixel));
}

HICON LoadIconForDpi(UINT nID, int dpi)
{
    const imagesets::ImageSet set = imagesets::ImageSetFor(dpi);
    HINSTANCE hInst = AfxGetResourceHandle();
    auto load = [hInst](UINT nResource, int cx, int cy) {
        return static_cast<HICON>(::LoadImageA(hInst, MAKEINTRESOURCEA(nResource), IMAGE_ICON, cx, cy, LR_DEFAULTCOLOR));
    };
    if (imagesets::IsExact(set, dpi)) {
        if (HICON hIcon = load(nID + set.idOffset, 0, 0))
            return hIcon;
    }
    HICON hBase = load(nID, 0, 0);
    if (!hBase || dpiscale::Usable(dpi) == dpiscale::kLayoutDpi)
        return hBase;
    // No icon drawn for this scale: the nearest larger one, brought to the scaled size.
    const CSize base = IconSize(hBase);
    const int cx = dpiscale::Scale(base.cx, dpi);
    const int cy = dpiscale::Scale(base.cy, dpi);
    HICON hIcon = set.idOffset ? load(nID + set.idOffset, cx, cy) : nullptr;
    if (!hIcon)
        hIcon = load(nID, cx, cy);
    if (!hIcon)
        return hBase;
    ::DestroyIcon(hBase);
    return hIcon;
}
