// The display scale a window is shown at, asked of Windows where it can answer: per
// monitor on Windows 10 and later, for the whole system on older Windows (whose user32 has
// neither GetDpiForWindow nor GetDpiForSystem, so both are looked up at run time).
#pragma once

#include <windows.h>

namespace dpi {

// The dots per inch of the monitor hWnd is on (GetDpiForWindow), else of the system
// (GetDpiForSystem), else of the screen (LOGPIXELSX); 96 when nothing answers.
int ForWindow(HWND hWnd);

// Keeps the dialog manager from rescaling a dialog and its controls by itself when the
// window moves to a monitor of another scale (Windows 10 1703 and later do so for per-
// monitor aware dialogs): the program lays itself out and makes its fonts on WM_DPICHANGED.
void TakeOverDialogScaling(HWND hDlg);

} // namespace dpi

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif
