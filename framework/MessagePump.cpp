#include "framework/MessagePump.h"

#include <windows.h>

#include "framework/WinApp.h"

void PumpMessages()
{
    // Messages are taken in their wide form, so that a Unicode window (an edit people type
    // into) gets typed characters as typed; an ANSI window gets the ANSI form on dispatch.
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // Not ours to consume: put it back for the loop that owns the thread, and stop.
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        // The windows see each message first, exactly as in the main loop: the page keeps its
        // keyboard rules and the buttons their tooltips while the long work runs.
        if (AfxPreTranslateMessage(&msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}
