// Starts the staged Varnello.exe and checks its frame from outside, as a user's desktop sees it.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>

#include "VarnelloVersion.h"
#include "tests/support/test_paths.h"

namespace {

struct FoundWindow {
    DWORD processId;
    HWND hwnd;
};

BOOL CALLBACK FindVisibleTopLevel(HWND hwnd, LPARAM lParam)
{
    auto* found = reinterpret_cast<FoundWindow*>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    char caption[256] = {};
    GetWindowTextA(hwnd, caption, sizeof(caption));
    if (pid == found->processId && IsWindowVisible(hwnd) && std::string(caption).rfind("Varnello", 0) == 0) {
        found->hwnd = hwnd;
        return FALSE;
    }
    return TRUE;
}

HWND WaitForFrame(DWORD processId, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < timeoutMs) {
        FoundWindow found{processId, nullptr};
        EnumWindows(FindVisibleTopLevel, reinterpret_cast<LPARAM>(&found));
        if (found.hwnd)
            return found.hwnd;
        Sleep(50);
    }
    return nullptr;
}

} // namespace

TEST(Startup, FrameHasItsSizeAndClosesCleanly)
{
    const std::string exe = testpaths::DistDir() + "Varnello.exe";
    STARTUPINFOA si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    std::string cmd = "\"" + exe + "\"";
    ASSERT_TRUE(CreateProcessA(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &si, &pi))
        << "cannot start " << exe;

    HWND frame = WaitForFrame(pi.dwProcessId, 20000);
    ASSERT_NE(frame, nullptr) << "no visible top-level window whose caption starts with Varnello";

    // The whole caption: the name and the version this build was made as (no installer has
    // written another into the registry here).
    char caption[256] = {};
    GetWindowTextA(frame, caption, sizeof(caption));
    EXPECT_STREQ(caption, "Varnello V" VARNELLO_VERSION_TEXT);

    RECT rc{};
    GetWindowRect(frame, &rc);
    EXPECT_EQ(rc.right - rc.left, 692);
    EXPECT_EQ(rc.bottom - rc.top, 560);

    PostMessageA(frame, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(pi.hProcess, 10000), WAIT_OBJECT_0) << "the program did not exit";
    EXPECT_FALSE(IsWindow(frame));

    if (WaitForSingleObject(pi.hProcess, 0) != WAIT_OBJECT_0)
        TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
}

TEST(Startup, AFolderWithTooLongAPathIsRefusedWithABoxNotUsedCutShort)
{
    // A folder 230 characters deep: the program itself can be started from it, but the paths
    // it makes inside it would pass MAX_PATH.
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    std::string folder = std::string(temp) + "varnello_deep";
    while (folder.size() < 230) {
        CreateDirectoryA(folder.c_str(), nullptr);
        folder += "\\" + std::string(std::min<size_t>(40, 229 - folder.size()), 'd');
    }
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string exe = folder + "\\Varnello.exe";
    ASSERT_TRUE(CopyFileA((testpaths::DistDir() + "Varnello.exe").c_str(), exe.c_str(), FALSE)) << exe;

    STARTUPINFOA si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    std::string cmd = "\"" + exe + "\"";
    ASSERT_TRUE(CreateProcessA(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
    HWND box = WaitForFrame(pi.dwProcessId, 20000);
    ASSERT_NE(box, nullptr) << "no window at all";
    char text[512] = {};
    GetDlgItemTextA(box, 0xFFFF, text, sizeof(text));
    EXPECT_NE(std::string(text).find("its path is too long"), std::string::npos) << "the window says [" << text << "]";
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(WaitForSingleObject(pi.hProcess, 10000), WAIT_OBJECT_0) << "the program did not end after the box";
    if (WaitForSingleObject(pi.hProcess, 0) != WAIT_OBJECT_0)
        TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    DeleteFileA(exe.c_str());
}
