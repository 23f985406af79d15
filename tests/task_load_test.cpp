// 10 000 tasks in the real main page, hosted in this process with the real frame, video
// component, profile file and encoder of the staged program. Files are added through the Add
// button itself (only its open-file dialog is answered by the test's seam), then the list, the
// navigation keys, a run started and stopped, and Remove all are checked. Prints, without
// judging them, the memory each task costs and the time one Progress cell takes to repaint.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <direct.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/MainFrameDlg.h"
#include "app/VarnelloApp.h"
#include "framework/AfxSeams.h"
#include "framework/OleControlContainer.h"
#include "res/resource.h"
#include "standins/videoedit/video_edit_registration.h"
#include "tests/support/shell_folder_redirect.h"
#include "tests/support/test_paths.h"
#include "tests/support/window_inspector.h"

namespace {

constexpr int kTaskCount = 10000;
// Added with the window on the screen; the rest are added with it hidden (see the test).
constexpr int kVisibleAdds = 100;
constexpr int kClipCount = 4;
constexpr UINT kGetCellInfo = 0x0BBB;

std::string TempFolder()
{
    char temp[MAX_PATH] = {};
    GetTempPathA(sizeof(temp), temp);
    const std::string dir = std::string(temp) + "task_load_" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(dir.c_str(), nullptr);
    return dir;
}

// Runs a program hidden and waits for it; true when it exited with 0.
bool RunHidden(std::string commandLine, DWORD timeoutMs)
{
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                        &startup, &process))
        return false;
    DWORD code = 1;
    if (WaitForSingleObject(process.hProcess, timeoutMs) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &code);
    else
        TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code == 0;
}

int CountProcesses(const char* exeName)
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    int count = 0;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
        if (lstrcmpiA(entry.szExeFile, exeName) == 0)
            ++count;
    CloseHandle(snapshot);
    return count;
}

bool NoEncoderLeft(DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    while (CountProcesses("venc.exe") + CountProcesses("ffmpeg.exe") > 0) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(100);
    }
    return true;
}

// Memory committed privately by this process (heaps, stacks, private mappings), summed over
// its address space: Wine leaves the process memory counters' private figure at 0.
SIZE_T PrivateBytes()
{
    SIZE_T total = 0;
    MEMORY_BASIC_INFORMATION region{};
    for (const char* at = nullptr; VirtualQuery(at, &region, sizeof(region)) == sizeof(region);
         at = static_cast<const char*>(region.BaseAddress) + region.RegionSize) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE)
            total += region.RegionSize;
        if (region.RegionSize == 0)
            break;
    }
    return total;
}

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

LARGE_INTEGER Now()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now;
}

// The page's window procedure, wrapped to count the list's requests for cell contents.
WNDPROC g_pageProc = nullptr;
int g_cellRequests = 0;
LRESULT CALLBACK CountingPageProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == kGetCellInfo)
        ++g_cellRequests;
    return CallWindowProcA(g_pageProc, hwnd, msg, wParam, lParam);
}

class TaskLoadTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dir = TempFolder();
        m_out = m_dir + "\\out";
        CreateDirectoryA(m_out.c_str(), nullptr);
        // The page keeps its list in the user's local application data: here a private one,
        // so the test starts empty and leaves no 10 000-task list for the next program.
        m_localData = std::make_unique<testpaths::ShellFolderRedirect>("Local AppData", m_dir);

        // What start-up does for the program, with the staged program's folder as its own.
        const std::string dist = testpaths::DistDir();
        lstrcpynA(g_szModuleDir, dist.c_str(), MAX_PATH);
        _chdir(g_szModuleDir);
        CoInitialize(nullptr);
        AfxEnableControlContainer();
        m_component = RegisterVideoEditComponent((dist + "app\\ffmpeg.exe").c_str());
        ASSERT_TRUE(m_component.Registered());

        // Short clips made by the staged ffmpeg.exe; the tasks cycle through them.
        for (int i = 0; i < kClipCount; ++i) {
            m_clips.push_back(m_dir + "\\clip" + std::to_string(i) + ".avi");
            ASSERT_TRUE(RunHidden("\"" + dist + "app\\ffmpeg.exe\" -v error -y -f lavfi -i "
                                  "testsrc=duration=" + std::to_string(30 + i) + ":size=320x240:rate=25 \"" +
                                  m_clips.back() + "\"", 60000))
                << "could not make " << m_clips.back();
        }

        m_oldFileDialog = AfxSetFileDialogSeam([this](OPENFILENAMEA& ofn, bool) {
            const std::string& path = m_clips[m_nextClip++ % m_clips.size()];
            lstrcpynA(ofn.lpstrFile, path.c_str(), static_cast<int>(ofn.nMaxFile));
            return TRUE;
        });
        m_oldMessageBox = AfxSetMessageBoxSeam([this](HWND, const char* text, const char*, UINT) {
            m_messages.push_back(text);
            return IDOK;
        });

        ASSERT_TRUE(m_frame.Create(IDD_MAINFRAME, nullptr));
        m_frame.ShowWindow(SW_SHOW);
        for (const inspect::ChildInfo& child : inspect::Children(m_frame.m_hWnd))
            if (GetDlgItem(child.hwnd, 1011))
                m_page = child.hwnd;
        ASSERT_NE(m_page, nullptr);
        m_list = GetDlgItem(m_page, 1011);
        SetDlgItemTextA(m_page, 1021, m_out.c_str());
        Pump();
    }

    void TearDown() override
    {
        if (m_frame.m_hWnd)
            m_frame.DestroyWindow();
        AfxSetFileDialogSeam(m_oldFileDialog);
        AfxSetMessageBoxSeam(m_oldMessageBox);
        m_component.Revoke();
        CoUninitialize();
        for (const std::string& clip : m_clips)
            DeleteFileA(clip.c_str());
        WIN32_FIND_DATAA found;
        HANDLE find = FindFirstFileA((m_out + "\\*").c_str(), &found);
        if (find != INVALID_HANDLE_VALUE) {
            do
                DeleteFileA((m_out + "\\" + found.cFileName).c_str());
            while (FindNextFileA(find, &found));
            FindClose(find);
        }
        RemoveDirectoryA(m_out.c_str());
        DeleteFileA((m_dir + "\\Varnello\\tasks.lst").c_str());
        DeleteFileA((m_dir + "\\Varnello\\log.txt").c_str());
        RemoveDirectoryA((m_dir + "\\Varnello").c_str());
        RemoveDirectoryA(m_dir.c_str());
    }

    // The program's own loop: each message first offered to the windows' PreTranslateMessage.
    void Pump()
    {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (!CWnd::WalkPreTranslateTree(m_frame.m_hWnd, &msg)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
        }
    }

    void Click(int id)
    {
        SendMessageA(m_page, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(m_page, id)));
    }

    void Key(UINT key)
    {
        PostMessageA(m_list, WM_KEYDOWN, key, 0);
        Pump();
    }

    int Mark() const { return inspect::ListSelectionMark(m_list); }
    std::string Cell(int row, int column) const { return inspect::ListItemText(m_list, row, column); }
    std::string Title() const { return inspect::WindowText(GetDlgItem(m_page, 1023)); }
    bool Visible(int id) const { return IsWindowVisible(GetDlgItem(m_page, id)) != FALSE; }

    std::string m_dir, m_out;
    std::vector<std::string> m_clips;
    size_t m_nextClip = 0;
    std::vector<std::string> m_messages;
    std::unique_ptr<testpaths::ShellFolderRedirect> m_localData;
    VideoEditRegistration m_component;
    AfxFileDialogSeam m_oldFileDialog;
    AfxMessageBoxSeam m_oldMessageBox;
    CMainFrameDlg m_frame;
    HWND m_page = nullptr;
    HWND m_list = nullptr;
};

} // namespace

TEST_F(TaskLoadTest, TenThousandTasksAddNavigateRunAndGo)
{
    Pump();
    const SIZE_T memoryBefore = PrivateBytes();
    const LARGE_INTEGER addStart = Now();
    for (int i = 0; i < kVisibleAdds; ++i) {
        Click(1012);
        Pump();
    }
    const double visibleAddSeconds = Seconds(addStart, Now());
    // Under Wine the list view repaints itself synchronously when a row is added and scrolled
    // into view, some 70 ms a row here: 10 000 adds on the screen would take over ten minutes.
    // The same Add button and code add the rest while the window is hidden and paints nothing.
    m_frame.ShowWindow(SW_HIDE);
    const LARGE_INTEGER hiddenStart = Now();
    for (int i = kVisibleAdds; i < kTaskCount; ++i) {
        Click(1012);
        if (i % 100 == 0)
            Pump();
    }
    Pump();
    const double hiddenAddSeconds = Seconds(hiddenStart, Now());
    m_frame.ShowWindow(SW_SHOW);
    Pump();
    const SIZE_T memoryAfter = PrivateBytes();

    ASSERT_EQ(inspect::ListItemCount(m_list), kTaskCount);
    EXPECT_EQ(Mark(), kTaskCount - 1) << "the newest task is the current row";
    EXPECT_EQ(Cell(kTaskCount - 1, 0), "clip3.avi");
    EXPECT_EQ(Cell(kTaskCount - 1, 2), "00:00:33");
    EXPECT_EQ(Cell(0, 0), "clip0.avi");
    EXPECT_EQ(Cell(4998, 3), "clip2.mp4");
    EXPECT_EQ(Cell(4998, 2), "00:00:32");
    EXPECT_EQ(Title(), "clip3");

    // Navigation keys on the list, as the program's own loop hands them to the page.
    SetFocus(m_list);
    Key(VK_HOME);
    EXPECT_EQ(Mark(), 0);
    EXPECT_EQ(Title(), "clip0");
    Key(VK_DOWN);
    EXPECT_EQ(Mark(), 1);
    EXPECT_EQ(Title(), "clip1");
    Key(VK_END);
    EXPECT_EQ(Mark(), kTaskCount - 1);
    Key(VK_DOWN);
    EXPECT_EQ(Mark(), kTaskCount - 1) << "Down on the last row stays there";
    Key(VK_PRIOR);
    EXPECT_EQ(Mark(), kTaskCount - 4) << "Page Up moves three rows";
    EXPECT_EQ(Title(), "clip" + std::to_string((kTaskCount - 4) % kClipCount));
    Key(VK_HOME);
    ASSERT_EQ(Mark(), 0);

    // One Progress cell repainted, as the parser asks after every piece of encoder output.
    g_pageProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(m_page, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountingPageProc)));
    auto* target = dynamic_cast<ConversionTarget*>(CWnd::FromHandlePermanent(m_page));
    ASSERT_NE(target, nullptr);
    constexpr int kRepaints = 500;
    g_cellRequests = 0;
    const LARGE_INTEGER paintStart = Now();
    for (int i = 0; i < kRepaints; ++i) {
        target->InvalidateCells(1, 1, 4, false);
        UpdateWindow(m_list);
    }
    const double paintSeconds = Seconds(paintStart, Now());
    SetWindowLongPtrA(m_page, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_pageProc));
    EXPECT_GE(g_cellRequests, kRepaints) << "the cell was not repainted each time";

    // A run over all of them, stopped once the first task's encoder has said something.
    PostMessageA(m_page, WM_COMMAND, MAKEWPARAM(1049, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(m_page, 1049)));
    const LARGE_INTEGER runStart = Now();
    Click(1048);
    const double runSeconds = Seconds(runStart, Now());
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_NE(m_messages[0].find("Converting Finished"), std::string::npos);
    EXPECT_TRUE(Visible(1048));
    EXPECT_FALSE(Visible(1049));
    EXPECT_NE(Cell(0, 4), "Finished") << "the stopped task is not finished";
    EXPECT_NE(Cell(0, 4), "Failed");
    EXPECT_EQ(Cell(1, 4), "") << "the run did not go past the stopped task";
    EXPECT_EQ(Cell(kTaskCount - 1, 4), "");
    EXPECT_TRUE(NoEncoderLeft(15000)) << "an encoder outlived the stop";

    // Remove all empties the list and the panel.
    Click(1014);
    Pump();
    EXPECT_EQ(inspect::ListItemCount(m_list), 0);
    EXPECT_EQ(Title(), "");
    const SIZE_T memoryEmptied = PrivateBytes();

    std::printf("[ figures  ] Add with the window shown: %.1f ms a task (%d tasks); hidden: %.2f ms a task\n",
                visibleAddSeconds * 1000 / kVisibleAdds, kVisibleAdds,
                hiddenAddSeconds * 1000 / (kTaskCount - kVisibleAdds));
    std::printf("[ figures  ] memory: %.0f bytes per task (private bytes %zu KB before, %zu KB with "
                "the tasks, %zu KB after Remove all)\n",
                static_cast<double>(memoryAfter - memoryBefore) / kTaskCount, memoryBefore / 1024,
                memoryAfter / 1024, memoryEmptied / 1024);
    std::printf("[ figures  ] one Progress cell repainted in %.1f us (mean of %d, %d cell requests)\n",
                paintSeconds * 1e6 / kRepaints, kRepaints, g_cellRequests);
    std::printf("[ figures  ] Start to stopped run with %d tasks: %.2f s\n", kTaskCount, runSeconds);
}
