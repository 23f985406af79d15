// Varnello start-up: store the program's directory, make it the working directory and run
// the frame dialog until it is closed.
#include <windows.h>
#include <direct.h>
#include <stdlib.h>
#include <string.h>

#include "res/resource.h"

char g_szModuleDir[MAX_PATH];

namespace {

INT_PTR CALLBACK FrameProc(HWND hwnd, UINT msg, WPARAM, LPARAM)
{
    switch (msg) {
    case WM_INITDIALOG:
        // The template's size is only a placeholder: the frame is 692 x 560 pixels outside.
        SetWindowPos(hwnd, nullptr, 0, 0, 692, 560, SWP_NOZORDER | SWP_NOMOVE);
        return TRUE;
    case WM_CLOSE:
        EndDialog(hwnd, IDCANCEL);
        return TRUE;
    default:
        return FALSE;
    }
}

void StoreModuleDirectory()
{
    char szPath[MAX_PATH] = {};
    char szDrive[_MAX_DRIVE] = {};
    char szDir[_MAX_DIR] = {};
    GetModuleFileNameA(nullptr, szPath, sizeof(szPath));
    _splitpath(szPath, szDrive, szDir, nullptr, nullptr);
    _makepath(g_szModuleDir, szDrive, szDir, nullptr, nullptr);
}

} // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int)
{
    StoreModuleDirectory();
    _chdir(g_szModuleDir);
    DialogBoxParamA(hInstance, MAKEINTRESOURCEA(IDD_MAINFRAME), nullptr, FrameProc, 0);
    return 0;
}
