// inspect.exe: prints the state of the running Varnello window for the end-to-end test
// scripts, one fact per line, so a shell test reads what a person would see.
//
//   inspect.exe state            frame, page controls, combos, list rows
//   inspect.exe rect ID          screen rectangle of page control ID: "left top right bottom"
//   inspect.exe frame            screen rectangle of the frame window
//   inspect.exe close            closes the frame as its close box does
//   inspect.exe dpichanged DPI   tells the frame it now stands on a monitor of DPI, as Windows
//                                does after a move there, suggesting its 96-dpi size times
//                                the scale at the same top-left corner
//   inspect.exe topwindows       captions and classes of the program's visible windows
//   inspect.exe wait-caption TEXT [MS]   waits for a visible window captioned TEXT
//   inspect.exe clip TEXT        puts TEXT on the clipboard (Unicode), for pasting with Ctrl+V
//   inspect.exe settext ID TEXT  sets the text of page control ID (an edit then tells the page)
//   inspect.exe select ID INDEX  selects item INDEX of page combo ID and tells the page, as a
//                                choice from the drop-down does
//   inspect.exe cell ROW COLUMN  the text of one task list cell; during a run the page answers
//                                only between two pieces of encoder output, so one question
//                                is much quicker than the many of "state"
//   inspect.exe checked ID       1 when page check box ID is checked, else 0
//   inspect.exe boxtext CAPTION [CLASS]  the texts of the static controls (or those of window
//                                class CLASS) of the program's visible window captioned
//                                CAPTION (a message box, a dialog), one "[text]" a line
//   inspect.exe kill EXE         ends every process named EXE as the task manager does
//                                (TerminateProcess, exit code 1); prints how many
//   inspect.exe glance WHAT...   few facts with few messages, for a window that answers only
//                                now and then (during a run): the list's count, Stop's
//                                visibility and the settings combos' enabled flags, then for
//                                each WHAT: cell:ROW:COL, sel:ID (a combo's selection), text:ID
//   inspect.exe focus            the id of the page control that has the keyboard focus (0 for
//                                another window, -1 for none)
//   inspect.exe rects            "ID left top right bottom" on the screen for each page control
//   inspect.exe rowpoint ROW     screen point "x y" inside the Source cell of list row ROW
//   inspect.exe dropitem INDEX   screen point "x y" of item INDEX in the open drop-down list
//   inspect.exe drop PATH...     drops these Windows paths on the task list as a file manager
//                                does, on the window there that takes drops (fails when none
//                                does); prints the tick count (GetTickCount) of the drop
//   inspect.exe waitcount N [MS] waits until the list has N rows; prints the tick count then
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tests/support/window_inspector.h"

namespace {

DWORD FindVarnelloProcess()
{
    DWORD pid = 0;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL ok = Process32First(snapshot, &entry); ok; ok = Process32Next(snapshot, &entry)) {
        if (_stricmp(entry.szExeFile, "Varnello.exe") == 0)
            pid = entry.th32ProcessID;
    }
    CloseHandle(snapshot);
    return pid;
}

// The frame and its page found without sending the program a single message. During a run the
// program answers a message only between two pieces of encoder output, so the usual search,
// which asks every window for its text, can take many seconds there.
struct QuickSearch {
    DWORD pid;
    HWND page;
};

BOOL CALLBACK FindPageChild(HWND child, LPARAM lParam)
{
    auto* search = reinterpret_cast<QuickSearch*>(lParam);
    if (GetDlgItem(child, 1011)) {
        search->page = child;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK FindFrameQuickly(HWND hwnd, LPARAM lParam)
{
    auto* search = reinterpret_cast<QuickSearch*>(lParam);
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    char caption[64] = {};
    // For another process's window this reads the caption the system keeps: no message is sent.
    if (owner == search->pid && IsWindowVisible(hwnd) && GetWindowTextA(hwnd, caption, sizeof(caption)) > 0 &&
        std::strncmp(caption, "Varnello", 8) == 0)
        EnumChildWindows(hwnd, FindPageChild, lParam);
    return search->page ? FALSE : TRUE;
}

HWND FindPageQuickly(DWORD pid)
{
    QuickSearch search{pid, nullptr};
    EnumWindows(FindFrameQuickly, reinterpret_cast<LPARAM>(&search));
    return search.page;
}

HWND FindPage(HWND frame)
{
    for (const inspect::ChildInfo& child : inspect::Children(frame))
        if (inspect::Child(child.hwnd, 1011).hwnd)
            return child.hwnd;
    return nullptr;
}

void PrintState(HWND frame, HWND page)
{
    std::printf("caption %s\n", inspect::WindowText(frame).c_str());
    for (const inspect::ChildInfo& child : inspect::Children(page)) {
        std::printf("control %d %s visible=%d enabled=%d rect=%ld,%ld,%ld,%ld text=%s\n", child.id,
                    child.className.c_str(), child.visible, child.enabled, child.rect.left, child.rect.top,
                    child.rect.right, child.rect.bottom, child.text.c_str());
        if (child.className == "ComboBox") {
            std::printf("combo %d sel=%d count=%zu\n", child.id, inspect::ComboSelection(child.hwnd),
                        inspect::ComboItems(child.hwnd).size());
        }
    }
    HWND list = GetDlgItem(page, 1011);
    const int count = inspect::ListItemCount(list);
    std::printf("list count=%d mark=%d\n", count, inspect::ListSelectionMark(list));
    for (int row = 0; row < count; ++row) {
        std::printf("row %d state=%u", row, inspect::ListItemState(list, row, LVIS_SELECTED | LVIS_FOCUSED));
        for (int column = 0; column < 5; ++column)
            std::printf(" | %s", inspect::ListItemText(list, row, column).c_str());
        std::printf("\n");
    }
}

// Screen point at the middle of item index of the combo box list that is dropped down now;
// false when no list is open or the item is scrolled out of sight.
bool DroppedItemPoint(DWORD pid, int index, POINT& point)
{
    inspect::WaitPatiently(60000);
    for (HWND hwnd : inspect::TopLevelWindows(pid)) {
        if (inspect::ClassName(hwnd) != "ComboLBox")
            continue;
        RECT client{};
        GetClientRect(hwnd, &client);
        const LRESULT height = SendMessageA(hwnd, LB_GETITEMHEIGHT, 0, 0);
        const LRESULT top = SendMessageA(hwnd, LB_GETTOPINDEX, 0, 0);
        if (height <= 0 || index < top)
            return false;
        point.x = client.right / 2;
        point.y = static_cast<LONG>((index - top) * height + height / 2);
        if (point.y >= client.bottom)
            return false;
        return ClientToScreen(hwnd, &point) != FALSE;
    }
    return false;
}

int Glance(HWND page, int argc, char** argv)
{
    inspect::WaitPatiently(60000);
    HWND list = GetDlgItem(page, 1011);
    std::printf("list count=%d\n", inspect::ListItemCount(list));
    std::printf("stop visible=%d\n", IsWindowVisible(GetDlgItem(page, 1049)) ? 1 : 0);
    std::printf("settings enabled=");
    for (int id = 1025; id <= 1033; ++id)
        std::printf("%d", IsWindowEnabled(GetDlgItem(page, id)) ? 1 : 0);
    std::printf("\n");
    for (int i = 2; i < argc; ++i) {
        int a = 0, b = 0;
        if (std::sscanf(argv[i], "cell:%d:%d", &a, &b) == 2)
            std::printf("cell %d %d=%s\n", a, b, inspect::ListItemText(list, a, b).c_str());
        else if (std::sscanf(argv[i], "sel:%d", &a) == 1)
            std::printf("sel %d=%d\n", a, inspect::ComboSelection(GetDlgItem(page, a)));
        else if (std::sscanf(argv[i], "text:%d", &a) == 1)
            std::printf("text %d=%s\n", a, inspect::WindowText(GetDlgItem(page, a)).c_str());
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: inspect.exe state|idle|rect ID|frame|topwindows|wait-caption TEXT [MS]\n");
        return 2;
    }
    const std::string command = argv[1];
    const DWORD pid = FindVarnelloProcess();
    if (command == "wait-caption") {
        const DWORD timeout = argc > 3 ? std::strtoul(argv[3], nullptr, 10) : 10000;
        const DWORD start = GetTickCount();
        do {
            for (HWND hwnd : inspect::TopLevelWindows(FindVarnelloProcess()))
                if (inspect::WindowText(hwnd) == argv[2])
                    return std::printf("found\n"), 0;
            Sleep(50);
        } while (GetTickCount() - start < timeout);
        return 1;
    }
    if (command == "kill" && argc > 2) {
        int killed = 0;
        HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
        PROCESSENTRY32 entry{};
        entry.dwSize = sizeof(entry);
        for (BOOL ok = Process32First(snapshot, &entry); ok; ok = Process32Next(snapshot, &entry)) {
            if (_stricmp(entry.szExeFile, argv[2]) != 0)
                continue;
            HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, entry.th32ProcessID);
            if (process && TerminateProcess(process, 1))
                ++killed;
            if (process)
                CloseHandle(process);
        }
        CloseHandle(snapshot);
        std::printf("%d\n", killed);
        return killed > 0 ? 0 : 1;
    }
    if (!pid) {
        std::fprintf(stderr, "inspect: Varnello.exe is not running\n");
        return 1;
    }
    if (command == "topwindows") {
        for (HWND hwnd : inspect::TopLevelWindows(pid))
            std::printf("%s|%s\n", inspect::WindowText(hwnd).c_str(), inspect::ClassName(hwnd).c_str());
        return 0;
    }
    HWND page = FindPageQuickly(pid);
    HWND frame = page ? GetAncestor(page, GA_ROOT) : inspect::WaitForTopLevel(pid, "Varnello", 10000);
    if (!page && frame)
        page = FindPage(frame);
    if (!page) {
        std::fprintf(stderr, "inspect: no Varnello window\n");
        return 1;
    }
    if (command == "state") {
        PrintState(frame, page);
        return 0;
    }
    if (command == "idle") {
        // Three answers in a row from the window's thread. Input already on its way to the
        // window (a click is a move, a press and a release) is read with the first and
        // dispatched between them, so its handlers have returned, or pump messages of their
        // own, when the third comes back.
        for (int i = 0; i < 3; ++i) {
            DWORD_PTR answer = 0;
            if (!SendMessageTimeoutA(page, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &answer))
                return 1;
        }
        return 0;
    }
    if (command == "dpichanged" && argc >= 3) {
        const int dpi = static_cast<int>(std::strtol(argv[2], nullptr, 10));
        RECT rc{};
        GetWindowRect(frame, &rc);
        const RECT suggested{rc.left, rc.top, rc.left + MulDiv(692, dpi, 96), rc.top + MulDiv(560, dpi, 96)};
        return inspect::SendDpiChanged(frame, dpi, suggested) ? 0 : 1;
    }
    if (command == "close") {
        // What the close box does: WM_CLOSE to the frame.
        PostMessageA(frame, WM_CLOSE, 0, 0);
        return 0;
    }
    if (command == "focus") {
        GUITHREADINFO info{};
        info.cbSize = sizeof(info);
        if (!GetGUIThreadInfo(GetWindowThreadProcessId(page, nullptr), &info) || !info.hwndFocus) {
            std::printf("-1\n");
            return 0;
        }
        std::printf("%d\n", GetParent(info.hwndFocus) == page ? GetDlgCtrlID(info.hwndFocus) : 0);
        return 0;
    }
    if (command == "frame") {
        RECT rect{};
        GetWindowRect(frame, &rect);
        std::printf("%ld %ld %ld %ld\n", rect.left, rect.top, rect.right, rect.bottom);
        return 0;
    }
    if (command == "rect" && argc > 2) {
        HWND control = GetDlgItem(page, std::atoi(argv[2]));
        if (!control)
            return 1;
        RECT rect{};
        GetWindowRect(control, &rect);
        std::printf("%ld %ld %ld %ld\n", rect.left, rect.top, rect.right, rect.bottom);
        return 0;
    }
    if (command == "clip" && argc > 2) {
        // TEXT onto the clipboard as Unicode, read from the wide command line, for a test that
        // pastes it with Ctrl+V where xdotool cannot type its characters.
        int count = 0;
        LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
        if (!wide || count < 3 || !OpenClipboard(nullptr))
            return 1;
        const std::wstring text = wide[2];
        LocalFree(wide);
        EmptyClipboard();
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
        if (memory) {
            std::memcpy(GlobalLock(memory), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
            GlobalUnlock(memory);
            if (!SetClipboardData(CF_UNICODETEXT, memory))
                GlobalFree(memory);
        }
        CloseClipboard();
        return memory ? 0 : 1;
    }
    if (command == "type" && argc > 3) {
        // Types TEXT into control ID as the keyboard does: every character it held selected
        // first, then one posted WM_CHAR per UTF-16 unit (a character outside the Basic
        // Multilingual Plane comes as its two surrogates). xdotool drops letters of other
        // scripts, so this is how a test types Korean or Greek. Posted: the caller waits for the text.
        HWND control = GetDlgItem(page, std::atoi(argv[2]));
        int count = 0;
        LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
        if (!control || !wide || count < 4)
            return 1;
        const std::wstring text = wide[3];
        LocalFree(wide);
        PostMessageW(control, EM_SETSEL, 0, -1);
        for (wchar_t unit : text)
            PostMessageW(control, WM_CHAR, unit, 1);
        return 0;
    }
    if (command == "settext" && argc > 3) {
        HWND control = GetDlgItem(page, std::atoi(argv[2]));
        if (!control)
            return 1;
        // Sent, not posted: the page has handled the edit's change notice when this returns.
        SendMessageA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[3]));
        return 0;
    }
    if (command == "select" && argc > 3) {
        HWND combo = GetDlgItem(page, std::atoi(argv[2]));
        if (!combo)
            return 1;
        const int index = std::atoi(argv[3]);
        if (SendMessageA(combo, CB_SETCURSEL, index, 0) != index)
            return 1;
        // CB_SETCURSEL alone notifies nobody; a choice made with the mouse sends this.
        SendMessageA(page, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(combo));
        return 0;
    }
    if (command == "cell" && argc > 3) {
        std::printf("%s\n", inspect::ListItemText(GetDlgItem(page, 1011), std::atoi(argv[2]), std::atoi(argv[3])).c_str());
        return 0;
    }
    if (command == "checked" && argc > 2) {
        HWND box = GetDlgItem(page, std::atoi(argv[2]));
        if (!box)
            return 1;
        std::printf("%d\n", SendMessageA(box, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0);
        return 0;
    }
    if (command == "boxtext" && argc > 2) {
        const char* className = argc > 3 ? argv[3] : "Static";
        for (HWND hwnd : inspect::TopLevelWindows(pid)) {
            if (inspect::WindowText(hwnd) != argv[2])
                continue;
            for (const inspect::ChildInfo& child : inspect::Children(hwnd))
                if (_stricmp(child.className.c_str(), className) == 0 && !child.text.empty())
                    std::printf("[%s]\n", child.text.c_str());
            return 0;
        }
        return 1;
    }
    if (command == "rects") {
        for (const inspect::ChildInfo& child : inspect::Children(page)) {
            RECT rect{};
            GetWindowRect(child.hwnd, &rect);
            std::printf("%d %ld %ld %ld %ld\n", child.id, rect.left, rect.top, rect.right, rect.bottom);
        }
        return 0;
    }
    if (command == "rowpoint" && argc > 2) {
        HWND list = GetDlgItem(page, 1011);
        RECT row{};
        if (!inspect::ListItemRect(list, std::atoi(argv[2]), row))
            return 1;
        POINT point{row.left + 40, (row.top + row.bottom) / 2};
        ClientToScreen(list, &point);
        std::printf("%ld %ld\n", point.x, point.y);
        return 0;
    }
    if (command == "drop" && argc > 2) {
        // What a drop from Explorer or, through Wine, a Linux file manager delivers: the shell
        // takes the window under the pointer, here the middle of the task list, and walks up
        // its parents to the first one that asked for drops (WS_EX_ACCEPTFILES); that window
        // gets WM_DROPFILES with a wide DROPFILES block (the UTF-16 paths, each ended by a
        // zero, then one more zero) holding the point in its client area. The block is placed
        // in the program's own memory; the program frees it with DragFinish.
        HWND list = GetDlgItem(page, 1011);
        RECT client{};
        GetClientRect(list, &client);
        POINT point{client.right / 2, client.bottom / 2};
        ClientToScreen(list, &point);
        HWND target = WindowFromPoint(point);
        while (target && target != GetDesktopWindow() && !(GetWindowLongA(target, GWL_EXSTYLE) & WS_EX_ACCEPTFILES))
            target = GetAncestor(target, GA_PARENT);
        if (!target || target == GetDesktopWindow()) {
            std::fprintf(stderr, "inspect: no window under the task list accepts dropped files\n");
            return 1;
        }
        int count = 0;
        LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
        if (!wide || count < 3)
            return 1;
        std::wstring names;
        for (int i = 2; i < count; ++i)
            names.append(wide[i]).push_back(L'\0');
        names.push_back(L'\0');
        LocalFree(wide);
        DROPFILES header{};
        header.pFiles = sizeof(header);
        header.pt = point;
        ScreenToClient(target, &header.pt);
        header.fNC = FALSE;
        header.fWide = TRUE;
        std::string block(reinterpret_cast<const char*>(&header), sizeof(header));
        block.append(reinterpret_cast<const char*>(names.data()), names.size() * sizeof(wchar_t));
        HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, pid);
        if (!process)
            return 1;
        void* remote = VirtualAllocEx(process, nullptr, block.size(), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
        const bool ok = remote && WriteProcessMemory(process, remote, block.data(), block.size(), nullptr);
        CloseHandle(process);
        if (!ok || !PostMessageW(target, WM_DROPFILES, reinterpret_cast<WPARAM>(remote), 0))
            return 1;
        std::printf("%lu\n", GetTickCount()); // when it was dropped, for timing
        return 0;
    }
    if (command == "waitcount" && argc > 2) {
        // Waits until the list has at least COUNT rows and prints the tick count then.
        const int count = std::atoi(argv[2]);
        const DWORD timeout = argc > 3 ? std::strtoul(argv[3], nullptr, 10) : 60000;
        HWND list = GetDlgItem(page, 1011);
        const DWORD start = GetTickCount();
        while (inspect::ListItemCount(list) < count) {
            if (GetTickCount() - start > timeout)
                return 1;
            Sleep(5);
        }
        std::printf("%lu\n", GetTickCount());
        return 0;
    }
    if (command == "glance")
        return Glance(page, argc, argv);
    if (command == "dropitem" && argc > 2) {
        POINT point{};
        if (!DroppedItemPoint(pid, std::atoi(argv[2]), point))
            return 1;
        std::printf("%ld %ld\n", point.x, point.y);
        return 0;
    }
    std::fprintf(stderr, "inspect: unknown command %s\n", command.c_str());
    return 2;
}
