// Test helpers for Windows tests that run other programs: a hidden child whose merged output
// is collected, and a scratch folder under the Wine user's temp folder.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace testproc {

// Runs a command line hidden in a console of its own, standard output and error merged into
// one pipe; collects all of it and returns the exit code (0xFFFFFFFF when it cannot start).
inline DWORD RunAndCollect(const std::string& commandLine, std::string& output, DWORD timeoutMs = 120000)
{
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0))
        return 0xFFFFFFFF;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA si{};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_HIDE;
    si.hStdOutput = writeEnd;
    si.hStdError = writeEnd;
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.resize(line.size() + 2048, '\0'); // room, as the program gives its encoder
    PROCESS_INFORMATION pi{};
    const BOOL started =
        CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_NEW_CONSOLE, nullptr, nullptr, &si, &pi);
    CloseHandle(writeEnd);
    if (!started) {
        CloseHandle(readEnd);
        return 0xFFFFFFFF;
    }
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(readEnd, buffer, sizeof(buffer), &got, nullptr) && got > 0)
        output.append(buffer, got);
    CloseHandle(readEnd);
    WaitForSingleObject(pi.hProcess, timeoutMs);
    DWORD code = 0xFFFFFFFF;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return code;
}

inline DWORD RunHidden(const std::string& commandLine)
{
    std::string ignored;
    return RunAndCollect(commandLine, ignored);
}

// A folder of that name in the temp folder, with a trailing backslash.
inline std::string TempSubdir(const char* name)
{
    char path[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, path);
    std::string dir = std::string(path) + name + "\\";
    CreateDirectoryA(dir.c_str(), nullptr);
    return dir;
}

} // namespace testproc
