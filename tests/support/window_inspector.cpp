// See window_inspector.h.
#include "tests/support/window_inspector.h"

#include <commctrl.h>

namespace inspect {

RunningProgram::~RunningProgram()
{
    if (m_pi.hProcess) {
        if (WaitForSingleObject(m_pi.hProcess, 0) != WAIT_OBJECT_0) {
            TerminateProcess(m_pi.hProcess, 1);
            WaitForSingleObject(m_pi.hProcess, 5000);
        }
        CloseHandle(m_pi.hThread);
        CloseHandle(m_pi.hProcess);
    }
}

bool RunningProgram::Start(const std::string& exe, const std::string& arguments)
{
    std::string directory = exe.substr(0, exe.find_last_of('\\') + 1);
    std::string commandLine = "\"" + exe + "\"";
    if (!arguments.empty())
        commandLine += " " + arguments;
    STARTUPINFOA si{};
    si.cb = sizeof(si);
    return CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          directory.c_str(), &si, &m_pi) != FALSE;
}

bool RunningProgram::WaitForExit(DWORD timeoutMs) const
{
    return m_pi.hProcess && WaitForSingleObject(m_pi.hProcess, timeoutMs) == WAIT_OBJECT_0;
}

DWORD RunningProgram::ExitCode() const
{
    DWORD code = STILL_ACTIVE;
    if (m_pi.hProcess)
        GetExitCodeProcess(m_pi.hProcess, &code);
    return code;
}

namespace {

struct TopLevelSearch {
    DWORD processId;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectTopLevel(HWND hwnd, LPARAM lParam)
{
    auto* search = reinterpret_cast<TopLevelSearch*>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == search->processId && IsWindowVisible(hwnd))
        search->found.push_back(hwnd);
    return TRUE;
}

BOOL CALLBACK CollectChildren(HWND hwnd, LPARAM lParam)
{
    auto* children = reinterpret_cast<std::vector<HWND>*>(lParam);
    children->push_back(hwnd);
    return TRUE;
}

// Memory in another process, freed when this goes away.
class RemoteBuffer {
public:
    RemoteBuffer(HANDLE process, SIZE_T size)
        : m_process(process),
          m_address(VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)) {}
    ~RemoteBuffer()
    {
        if (m_address)
            VirtualFreeEx(m_process, m_address, 0, MEM_RELEASE);
    }
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;
    char* Address() const { return static_cast<char*>(m_address); }
    bool Write(SIZE_T offset, const void* data, SIZE_T size) const
    {
        return WriteProcessMemory(m_process, Address() + offset, data, size, nullptr) != FALSE;
    }
    bool Read(SIZE_T offset, void* data, SIZE_T size) const
    {
        return ReadProcessMemory(m_process, Address() + offset, data, size, nullptr) != FALSE;
    }

private:
    HANDLE m_process;
    void* m_address;
};

class ProcessHandle {
public:
    explicit ProcessHandle(HWND hwnd)
    {
        DWORD pid = 0;
        GetWindowThreadProcessId(hwnd, &pid);
        m_handle = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE |
                                   PROCESS_QUERY_INFORMATION, FALSE, pid);
    }
    ~ProcessHandle()
    {
        if (m_handle)
            CloseHandle(m_handle);
    }
    ProcessHandle(const ProcessHandle&) = delete;
    ProcessHandle& operator=(const ProcessHandle&) = delete;
    HANDLE Get() const { return m_handle; }

private:
    HANDLE m_handle = nullptr;
};

std::string FromWide(const std::wstring& wide)
{
    if (wide.empty())
        return std::string();
    int size = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(size > 0 ? size - 1 : 0, '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, out.data(), size, nullptr, nullptr);
    return out;
}

DWORD g_answerTimeoutMs = 5000;
UINT g_answerFlags = SMTO_ABORTIFHUNG;

} // namespace

void WaitPatiently(DWORD timeoutMs)
{
    g_answerTimeoutMs = timeoutMs;
    g_answerFlags = SMTO_NORMAL;
}

bool SendWithTimeout(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, DWORD_PTR* result,
                     DWORD timeoutMs)
{
    DWORD_PTR ignored = 0;
    return SendMessageTimeoutA(hwnd, msg, wParam, lParam, g_answerFlags, timeoutMs ? timeoutMs : g_answerTimeoutMs,
                               result ? result : &ignored) != 0;
}

std::vector<HWND> TopLevelWindows(DWORD processId)
{
    TopLevelSearch search{processId, {}};
    EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitForTopLevel(DWORD processId, const std::string& captionPrefix, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    do {
        for (HWND hwnd : TopLevelWindows(processId)) {
            if (WindowText(hwnd).rfind(captionPrefix, 0) == 0)
                return hwnd;
        }
        Sleep(50);
    } while (GetTickCount() - start < timeoutMs);
    return nullptr;
}

std::string WindowText(HWND hwnd)
{
    // WM_GETTEXT crosses processes; GetWindowText does not read other processes' controls.
    wchar_t buffer[1024] = {};
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(hwnd, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buffer),
                        g_answerFlags, g_answerTimeoutMs, &copied);
    return FromWide(buffer);
}

std::string ClassName(HWND hwnd)
{
    char name[256] = {};
    GetClassNameA(hwnd, name, sizeof(name));
    return name;
}

std::vector<ChildInfo> Children(HWND parent)
{
    std::vector<HWND> all;
    EnumChildWindows(parent, CollectChildren, reinterpret_cast<LPARAM>(&all));
    std::vector<ChildInfo> children;
    for (HWND hwnd : all) {
        if (GetParent(hwnd) != parent)
            continue;
        ChildInfo info;
        info.hwnd = hwnd;
        info.id = GetDlgCtrlID(hwnd);
        info.className = ClassName(hwnd);
        info.text = WindowText(hwnd);
        GetWindowRect(hwnd, &info.rect);
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&info.rect), 2);
        info.enabled = IsWindowEnabled(hwnd) != FALSE;
        info.visible = (GetWindowLongA(hwnd, GWL_STYLE) & WS_VISIBLE) != 0;
        info.style = GetWindowLongA(hwnd, GWL_STYLE);
        children.push_back(info);
    }
    return children;
}

ChildInfo Child(HWND parent, int id)
{
    for (const ChildInfo& info : Children(parent)) {
        if (info.id == id)
            return info;
    }
    return ChildInfo();
}

std::vector<std::string> ComboItems(HWND combo)
{
    std::vector<std::string> items;
    DWORD_PTR count = 0;
    SendWithTimeout(combo, CB_GETCOUNT, 0, 0, &count);
    for (int i = 0; i < static_cast<int>(count); ++i) {
        wchar_t text[512] = {};
        SendMessageTimeoutW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text),
                            g_answerFlags, g_answerTimeoutMs, nullptr);
        items.push_back(FromWide(text));
    }
    return items;
}

int ComboSelection(HWND combo)
{
    DWORD_PTR selection = static_cast<DWORD_PTR>(-1);
    SendWithTimeout(combo, CB_GETCURSEL, 0, 0, &selection);
    return static_cast<int>(selection);
}

std::vector<ListColumn> ListColumns(HWND list)
{
    std::vector<ListColumn> columns;
    ProcessHandle process(list);
    if (!process.Get())
        return columns;
    constexpr SIZE_T kTextOffset = 512;
    constexpr int kTextSize = 256;
    RemoteBuffer remote(process.Get(), kTextOffset + kTextSize);
    if (!remote.Address())
        return columns;
    for (int index = 0;; ++index) {
        LVCOLUMNA column{};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
        column.pszText = remote.Address() + kTextOffset;
        column.cchTextMax = kTextSize;
        char empty[kTextSize] = {};
        remote.Write(0, &column, sizeof(column));
        remote.Write(kTextOffset, empty, sizeof(empty));
        DWORD_PTR ok = 0;
        if (!SendWithTimeout(list, LVM_GETCOLUMNA, index, reinterpret_cast<LPARAM>(remote.Address()), &ok) || !ok)
            break;
        LVCOLUMNA answer{};
        char text[kTextSize] = {};
        remote.Read(0, &answer, sizeof(answer));
        remote.Read(kTextOffset, text, sizeof(text));
        text[kTextSize - 1] = '\0';
        columns.push_back(ListColumn{text, answer.fmt & LVCFMT_JUSTIFYMASK, answer.cx});
    }
    return columns;
}

DWORD ListExtendedStyle(HWND list)
{
    DWORD_PTR style = 0;
    SendWithTimeout(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0, &style);
    return static_cast<DWORD>(style);
}

int ListItemCount(HWND list)
{
    DWORD_PTR count = 0;
    SendWithTimeout(list, LVM_GETITEMCOUNT, 0, 0, &count);
    return static_cast<int>(count);
}

int ListSelectionMark(HWND list)
{
    DWORD_PTR mark = static_cast<DWORD_PTR>(-1);
    SendWithTimeout(list, LVM_GETSELECTIONMARK, 0, 0, &mark);
    return static_cast<int>(mark);
}

UINT ListItemState(HWND list, int item, UINT mask)
{
    DWORD_PTR state = 0;
    SendWithTimeout(list, LVM_GETITEMSTATE, item, mask, &state);
    return static_cast<UINT>(state);
}

} // namespace inspect

namespace inspect {

std::string ListItemText(HWND list, int item, int subItem)
{
    ProcessHandle process(list);
    if (!process.Get())
        return std::string();
    constexpr SIZE_T kTextOffset = 512;
    constexpr int kTextSize = 1024;
    RemoteBuffer remote(process.Get(), kTextOffset + kTextSize);
    if (!remote.Address())
        return std::string();
    LVITEMA request{};
    request.iSubItem = subItem;
    request.pszText = remote.Address() + kTextOffset;
    request.cchTextMax = kTextSize;
    char text[kTextSize] = {};
    remote.Write(0, &request, sizeof(request));
    remote.Write(kTextOffset, text, sizeof(text));
    SendWithTimeout(list, LVM_GETITEMTEXTA, item, reinterpret_cast<LPARAM>(remote.Address()), nullptr);
    remote.Read(kTextOffset, text, sizeof(text));
    text[kTextSize - 1] = '\0';
    return text;
}

// LVM_GETITEMRECT reads its LVIR_ code from the rectangle it fills, in the list's process.
bool ListItemRect(HWND list, int item, RECT& rect)
{
    ProcessHandle process(list);
    if (!process.Get())
        return false;
    RemoteBuffer remote(process.Get(), sizeof(RECT));
    if (!remote.Address())
        return false;
    RECT request{};
    request.left = LVIR_BOUNDS;
    remote.Write(0, &request, sizeof(request));
    DWORD_PTR ok = 0;
    if (!SendWithTimeout(list, LVM_GETITEMRECT, item, reinterpret_cast<LPARAM>(remote.Address()), &ok) || !ok)
        return false;
    remote.Read(0, &rect, sizeof(rect));
    return true;
}

} // namespace inspect

namespace inspect {

// WM_DPICHANGED carries a pointer to the suggested rectangle, which must lie in the
// receiver's memory.
bool SendDpiChanged(HWND window, int dpi, const RECT& suggested)
{
    ProcessHandle process(window);
    if (!process.Get())
        return false;
    RemoteBuffer remote(process.Get(), sizeof(RECT));
    if (!remote.Address() || !remote.Write(0, &suggested, sizeof(suggested)))
        return false;
    DWORD_PTR ignored = 0;
    return SendWithTimeout(window, 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(dpi, dpi),
                           reinterpret_cast<LPARAM>(remote.Address()), &ignored, 15000);
}

} // namespace inspect
