// The page's images at a display scale: the resource drawn for that scale where the program
// carries one (res/images/make_images.py draws each image at 100, 125, 150 and 200 %),
// otherwise the nearest larger set's image resized to the 100 % size times the scale.
#pragma once

#include <windows.h>

// Bitmap resource nID at `dpi`, owned by the caller; pKey names the colour whose pixels are
// transparent, so that resizing keeps them apart from the picture. nullptr when missing.
HBITMAP LoadBitmapForDpi(UINT nID, int dpi, const COLORREF* pKey = nullptr);

// Icon resource nID at `dpi`, owned by the caller (DestroyIcon); nullptr when missing.
HICON LoadIconForDpi(UINT nID, int dpi);
