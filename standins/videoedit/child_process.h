// An ffmpeg.exe run: hidden, no console, one of its output streams in a pipe to us, the
// other and its input on NUL. The process is ended and waited for when the object goes.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "standins/videoedit/win_util.h"

namespace vedit {

enum class CapturedStream { Stdout, Stderr };

class ChildProcess {
public:
    ChildProcess() = default;
    ~ChildProcess() { Terminate(); }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // arguments are UTF-8 and exclude the program.
    bool Start(const std::wstring& program, const std::vector<std::string>& arguments, CapturedStream captured);

    // Blocks until some output is there; 0 at the end of the output.
    size_t Read(void* buffer, size_t size);
    // Blocks until size bytes have come; false when the output ended first.
    bool ReadExact(void* buffer, size_t size);
    // Output bytes that can be read now without blocking.
    size_t Available() const;

    bool Running() const;
    DWORD ExitCode() const;
    HANDLE ProcessHandle() const { return m_process.Get(); }
    // Ends the process at once (if still running) and waits until it is gone.
    void Terminate();

private:
    UniqueHandle m_process;
    UniqueHandle m_output;
};

struct RunResult {
    bool started = false;
    bool finished = false; // ended by itself within the time allowed
    DWORD exitCode = 0;
    std::string output;
};

// Runs to the end (or until timeoutMs, then ends it) and collects the captured stream.
RunResult RunToEnd(const std::wstring& program, const std::vector<std::string>& arguments,
                   CapturedStream captured, DWORD timeoutMs);

} // namespace vedit
