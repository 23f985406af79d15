// Loading images for a display scale (see ScaledImage.h).
#include "controls/ScaledImage.h"

#include "controls/ImageResample.h"
#include "controls/ImageSets.h"
#include "framework/DpiScale.h"
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
    HDC hdc = ::GetDC(nullptr);
    const int rows = ::GetDIBits(hdc, hBitmap, 0, bm.bmHeight, picture.pixels.data(), &info, DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, hdc);
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
    HDC hdc = ::GetDC(nullptr);
    HBITMAP hBitmap = ::CreateCompatibleBitmap(hdc, picture.width, picture.height);
    if (hBitmap &&
        ::SetDIBits(hdc, hBitmap, 0, picture.height, picture.pixels.data(), &info, DIB_RGB_COLORS) != picture.height) {
        ::DeleteObject(hBitmap);
        hBitmap = nullptr;
    }
    ::ReleaseDC(nullptr, hdc);
    return hBitmap;
}

CSize BitmapSize(HBITMAP hBitmap)
{
    BITMAP bm{};
    if (!hBitmap || !::GetObjectA(hBitmap, sizeof(bm), &bm))
        return CSize();
    return CSize(bm.bmWidth, bm.bmHeight);
}

CSize IconSize(HICON hIcon)
{
    ICONINFO info{};
    if (!hIcon || !::GetIconInfo(hIcon, &info))
        return CSize();
    CSize size = BitmapSize(info.hbmColor ? info.hbmColor : info.hbmMask);
    if (!info.hbmColor)
        size.cy /= 2; // a monochrome icon keeps its mask and image in one bitmap
    if (info.hbmColor)
        ::DeleteObject(info.hbmColor);
    if (info.hbmMask)
        ::DeleteObject(info.hbmMask);
    return size;
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
    HBITMAP hBase = LoadBitmapResource(nID);
    if (!hBase)
        return nullptr;
    HBITMAP hDetail = set.idOffset ? LoadBitmapResource(nID + set.idOffset) : nullptr;
    const CSize base = BitmapSize(hBase);
    const imageresample::Picture source = PixelsOf(hDetail ? hDetail : hBase);
    ::DeleteObject(hBase);
    if (hDetail)
        ::DeleteObject(hDetail);
    const int cx = dpiscale::Scale(base.cx, dpi);
    const int cy = dpiscale::Scale(base.cy, dpi);
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
