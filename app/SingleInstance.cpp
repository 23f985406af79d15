// SingleInstance; see SingleInstance.h.
#include "app/SingleInstance.h"

namespace {

constexpr const char* kMutexName = "Local\\Varnello.RunningInstance";
constexpr const char* kFrameProperty = "Varnello.Frame";
// How long a second start waits for the first to show its window or to end.
constexpr DWORD kWaitForFirstMs = 8000;
constexpr DWORD kLookEveryMs = 100;

BOOL CALLBACK FindMarkedFrame(HWND hWnd, LPARAM lParam)
{
    if (GetPropA(hWnd, kFrameProperty) == nullptr)
        return TRUE;
    *reinterpret_cast<HWND*>(lParam) = hWnd;
    return FALSE;
}

HWND RunningFrame()
{
    HWND hFrame = nullptr;
    EnumWindows(FindMarkedFrame, reinterpret_cast<LPARAM>(&hFrame));
    return hFrame;
}

void BringToFront(HWND hFrame)
{
    if (IsIconic(hFrame))
        ShowWindowAsync(hFrame, SW_RESTORE);
    SetForegroundWindow(hFrame);
}

} // namespace

SingleInstance::SingleInstance() : m_mutex(CreateMutexA(nullptr, FALSE, kMutexName))
{
    if (!m_mutex) {
        m_bFirst = true; // no way to tell: better two instances than none
        return;
    }
    const DWORD start = GetTickCount();
    for (;;) {
        const DWORD waited = WaitForSingleObject(m_mutex.Get(), kLookEveryMs);
        // Abandoned: the first ended without letting go (killed); the list it saved is whole.
        if (waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED) {
            m_bFirst = true;
            return;
        }
        if (HWND hFrame = RunningFrame()) {
            BringToFront(hFrame);
            return;
        }
        if (GetTickCount() - start >= kWaitForFirstMs)
            return; // the first is alive but shows nothing: it is not disturbed
    }
}

SingleInstance::~SingleInstance()
{
    if (m_bFirst && m_mutex)
        ReleaseMutex(m_mutex.Get());
}

void SingleInstance::MarkFrame(HWND hFrame)
{
    SetPropA(hFrame, kFrameProperty, reinterpret_cast<HANDLE>(1));
}
