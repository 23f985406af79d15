// One run of StartConvert: ffmpeg.exe writes the file while a worker reads its progress
// report and posts messages to the component's event window, at least twice a second.
#pragma once
#include <windows.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "standins/videoedit/child_process.h"

namespace vedit {

struct ConvertNotify {
    HWND window = nullptr;
    UINT progressMessage = 0; // wParam = session; read Position() and Total()
    UINT doneMessage = 0;     // wParam = session; read Succeeded()
    WPARAM session = 0;
};

class ConvertJob {
public:
    explicit ConvertJob(ConvertNotify notify) : m_notify(notify) {}
    ~ConvertJob() { Stop(); }
    ConvertJob(const ConvertJob&) = delete;
    ConvertJob& operator=(const ConvertJob&) = delete;

    bool Start(const std::wstring& program, const std::vector<std::string>& arguments, double totalSeconds);
    // Ends the writer at once and waits until it and the worker are gone; no message is
    // posted after it returns.
    void Stop();

    double Position() const { return m_position.load(); }
    double Total() const { return m_total; }
    bool Succeeded() const { return m_succeeded.load(); }

private:
    void Run();

    ConvertNotify m_notify;
    ChildProcess m_writer;
    double m_total = 0;
    std::atomic<double> m_position{0};
    std::atomic<bool> m_succeeded{false};
    std::atomic<bool> m_stop{false};
    std::thread m_worker;
};

} // namespace vedit
