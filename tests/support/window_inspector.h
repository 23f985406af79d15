// Reads another process's windows the way a person's eye would: captions, children, classes,
// ids, positions, texts, states, combo items and list-view columns. Used by the tests that
// start the real Varnello.exe and look at it from outside.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace inspect {

// A started program, ended (if still running) and its handles closed when this goes away.
class RunningProgram {
public:
    RunningProgram() = default;
    ~RunningProgram();
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    // Starts exe (with its directory as the working directory); false if it cannot start.
    bool Start(const std::string& exe, const std::string& arguments = std::string());
    DWORD ProcessId() const { return m_pi.dwProcessId; }
    HANDLE Process() const { return m_pi.hProcess; }
    bool WaitForExit(DWORD timeoutMs) const;
    DWORD ExitCode() const;

private:
    PROCESS_INFORMATION m_pi{};
};

// The first visible top-level window of the process whose caption starts with prefix.
HWND WaitForTopLevel(DWORD processId, const std::string& captionPrefix, DWORD timeoutMs);
// Every visible top-level window of a process.
std::vector<HWND> TopLevelWindows(DWORD processId);

struct ChildInfo {
    HWND hwnd = nullptr;
    int id = 0;
    std::string className;
    std::string text;
    RECT rect{};        // in the parent's client coordinates
    bool enabled = false;
    bool visible = false;
    LONG style = 0;
};

std::string WindowText(HWND hwnd);
std::string ClassName(HWND hwnd);
// Direct children of parent, in Z order.
std::vector<ChildInfo> Children(HWND parent);
// The direct child of parent with this id, or an empty record.
ChildInfo Child(HWND parent, int id);

std::vector<std::string> ComboItems(HWND combo);
int ComboSelection(HWND combo);

struct ListColumn {
    std::string heading;
    int format = 0;   // LVCFMT_*
    int width = 0;
};
std::vector<ListColumn> ListColumns(HWND list);
DWORD ListExtendedStyle(HWND list);
int ListItemCount(HWND list);
int ListSelectionMark(HWND list);
UINT ListItemState(HWND list, int item, UINT mask);

// Sends a message and waits at most timeoutMs; false when the window did not answer.
// timeoutMs 0 means the default: 5 s, and no wait at all for a window that seems hung.
bool SendWithTimeout(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, DWORD_PTR* result,
                     DWORD timeoutMs = 0);
// From now on every look waits up to timeoutMs for the window to answer, even when the
// window seems hung: for a program that answers only now and then.
void WaitPatiently(DWORD timeoutMs);

} // namespace inspect

namespace inspect {
// The text of one cell of another process's list view (LVM_GETITEMTEXT through memory in
// the target process, so owner-data lists answer through their own LVN_GETDISPINFO).
std::string ListItemText(HWND list, int item, int subItem);
// The rectangle of a row, in the list's client coordinates; false when there is no such row.
bool ListItemRect(HWND list, int item, RECT& rect);
} // namespace inspect

namespace inspect {
// Tells a top-level window that it now stands on a monitor of `dpi`, as Windows does when it
// is moved there, with the rectangle Windows would suggest; false when it did not answer.
bool SendDpiChanged(HWND window, int dpi, const RECT& suggested);
} // namespace inspect
