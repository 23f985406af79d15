// An ffmpeg.exe run with one output stream in a pipe.
#include "standins/videoedit/child_process.h"

#include <mutex>

#include "common/ProcessStart.h"
#include "standins/videoedit/command_line.h"

namespace vedit {
namespace {

// Several workers start processes at once. A pipe end is inheritable only while the lock
// is held, so one child never inherits another's pipe (which would keep it open after the
// other child has been ended, and leave its reader blocked).
std::mutex& CreationLock()
{
    static std::mutex lock;
    return lock;
}

HANDLE OpenNul(DWORD access)
{
    SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    return CreateFileW(L"NUL", access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable, OPEN_EXISTING, 0, nullptr);
}

} // namespace

bool ChildProcess::Start(const std::wstring& program, const std::vector<std::string>& arguments,
                         CapturedStream captured)
{
    Terminate();
    m_output.Reset();

    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, nullptr, 1 << 20))
        return false;
    UniqueHandle ownRead(readEnd), childWrite(writeEnd);

    std::wstring commandLine = WideFromUtf8(QuoteArgument(Utf8FromWide(program)));
    for (const std::string& argument : arguments)
        commandLine += L" " + WideFromUtf8(QuoteArgument(argument));

    std::lock_guard<std::mutex> guard(CreationLock());
    UniqueHandle nulIn(OpenNul(GENERIC_READ)), nulOut(OpenNul(GENERIC_WRITE));
    SetHandleInformation(childWrite.Get(), HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);

    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    startup.hStdInput = nulIn.Get();
    startup.hStdOutput = captured == CapturedStream::Stdout ? childWrite.Get() : nulOut.Get();
    startup.hStdError = captured == CapturedStream::Stderr ? childWrite.Get() : nulOut.Get();
    PROCESS_INFORMATION info{};
    const bool started = varnello::StartProcessRetrying([&] {
        return CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                              nullptr, &startup, &info);
    });
    // Our copy of the child's end goes now, so the pipe ends when the child does.
    childWrite.Reset();
    if (!started)
        return false;
    CloseHandle(info.hThread);
    m_process.Reset(info.hProcess);
    m_output = std::move(ownRead);
    return true;
}

size_t ChildProcess::Read(void* buffer, size_t size)
{
    if (!m_output || size == 0)
        return 0;
    DWORD got = 0;
    if (!ReadFile(m_output.Get(), buffer, static_cast<DWORD>(size), &got, nullptr))
        return 0;
    return got;
}

bool ChildProcess::ReadExact(void* buffer, size_t size)
{
    char* at = static_cast<char*>(buffer);
    while (size > 0) {
        const size_t got = Read(at, size);
        if (got == 0)
            return false;
        at += got;
        size -= got;
    }
    return true;
}

size_t ChildProcess::Available() const
{
    DWORD available = 0;
    if (!m_output || !PeekNamedPipe(m_output.Get(), nullptr, 0, nullptr, &available, nullptr))
        return 0;
    return available;
}

bool ChildProcess::Running() const
{
    return m_process && WaitForSingleObject(m_process.Get(), 0) == WAIT_TIMEOUT;
}

DWORD ChildProcess::ExitCode() const
{
    DWORD code = STILL_ACTIVE;
    if (m_process)
        GetExitCodeProcess(m_process.Get(), &code);
    return code;
}

void ChildProcess::Terminate()
{
    if (!m_process)
        return;
    if (WaitForSingleObject(m_process.Get(), 0) == WAIT_TIMEOUT) {
        TerminateProcess(m_process.Get(), 1);
        WaitForSingleObject(m_process.Get(), 10000);
    }
}

RunResult RunToEnd(const std::wstring& program, const std::vector<std::string>& arguments,
                   CapturedStream captured, DWORD timeoutMs)
{
    RunResult result;
    ChildProcess child;
    if (!child.Start(program, arguments, captured))
        return result;
    result.started = true;
    const DWORD begin = GetTickCount();
    char buffer[4096];
    for (;;) {
        const size_t available = child.Available();
        if (available > 0) {
            const size_t got = child.Read(buffer, available < sizeof(buffer) ? available : sizeof(buffer));
            result.output.append(buffer, got);
            continue;
        }
        if (!child.Running()) {
            // The last output may have arrived after the check above.
            while (size_t got = child.Available() ? child.Read(buffer, sizeof(buffer)) : 0)
                result.output.append(buffer, got);
            result.finished = true;
            result.exitCode = child.ExitCode();
            return result;
        }
        if (GetTickCount() - begin > timeoutMs) {
            child.Terminate();
            return result;
        }
        Sleep(5);
    }
}

} // namespace vedit
