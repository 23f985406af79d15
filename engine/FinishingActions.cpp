#include "engine/FinishingActions.h"

#include <string>
#include <vector>

#include "common/ProcessStart.h"
#include "common/UniqueHandle.h"

void AddToiTunes(const char* pszOutputFile)
{
    // Quoted, so that a path with blanks arrives as one argument.
    const std::string text = std::string("ViviRarir \"") + (pszOutputFile ? pszOutputFile : "") + "\" ";
    std::vector<char> commandLine(text.begin(), text.end());
    commandLine.push_back('\0');

    STARTUPINFOA startup;
    GetStartupInfoA(&startup);
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
    startup.wShowWindow = SW_HIDE;

    PROCESS_INFORMATION process{};
    if (!varnello::StartProcessRetrying([&] {
            return CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                                  &process);
        }))
        return;
    WaitForSingleObject(process.hProcess, INFINITE);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
}

// --- shut-down ---------------------------------------------------------------------------

DWORD ShutdownSeam::GetPlatformId()
{
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof(version);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExA(&version))
        return 0;
#pragma GCC diagnostic pop
    return version.dwPlatformId;
}

namespace {

ShutdownSeam g_systemShutdownSeam;
ShutdownSeam* g_pShutdownSeam = &g_systemShutdownSeam;

} // namespace

bool ShutdownSeam::EnableShutdownPrivilege()
{
    UniqueHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, token.Receive()))
        return false;
    TOKEN_PRIVILEGES privileges{};
    if (!LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &privileges.Privileges[0].Luid))
        return false;
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    AdjustTokenPrivileges(token.Get(), FALSE, &privileges, 0, nullptr, nullptr);
    // Success with ERROR_NOT_ALL_ASSIGNED means the privilege was not granted.
    return GetLastError() == ERROR_SUCCESS;
}

void ShutdownSeam::ShutDown(UINT nFlags)
{
    ExitWindowsEx(nFlags, 0);
}

ShutdownSeam* SetShutdownSeam(ShutdownSeam* pSeam)
{
    ShutdownSeam* previous = g_pShutdownSeam;
    g_pShutdownSeam = pSeam ? pSeam : &g_systemShutdownSeam;
    return previous;
}

bool ShutdownComputer()
{
    ShutdownSeam& seam = *g_pShutdownSeam;
    const DWORD platform = seam.GetPlatformId();
    if (platform == VER_PLATFORM_WIN32_NT && !seam.EnableShutdownPrivilege())
        return false;
    if (platform == VER_PLATFORM_WIN32_WINDOWS)
        seam.ShutDown(EWX_SHUTDOWN);
    else if (platform == VER_PLATFORM_WIN32_NT)
        seam.ShutDown(EWX_POWEROFF | EWX_FORCE);
    return true;
}
