// One run of StartConvert.
#include "standins/videoedit/convert_job.h"

#include <algorithm>

#include "standins/videoedit/progress_parser.h"

namespace vedit {
namespace {
constexpr DWORD kReportIntervalMs = 500;
}

bool ConvertJob::Start(const std::wstring& program, const std::vector<std::string>& arguments, double totalSeconds)
{
    if (m_worker.joinable() || !m_writer.Start(program, arguments, CapturedStream::Stdout))
        return false;
    m_total = totalSeconds;
    m_worker = std::thread([this] { Run(); });
    return true;
}

void ConvertJob::Stop()
{
    m_stop = true;
    if (m_writer.ProcessHandle())
        TerminateProcess(m_writer.ProcessHandle(), 1);
    if (m_worker.joinable())
        m_worker.join();
    m_writer.Terminate(); // waits until the process is gone
}

void ConvertJob::Run()
{
    ProgressParser parser;
    DWORD lastReport = GetTickCount();
    char buffer[4096];
    auto report = [&] {
        m_position = std::min(parser.PositionSeconds(), m_total);
        PostMessageW(m_notify.window, m_notify.progressMessage, m_notify.session, 0);
        lastReport = GetTickCount();
    };
    while (!m_stop) {
        const size_t available = m_writer.Available();
        if (available > 0) {
            const size_t got = m_writer.Read(buffer, std::min(available, sizeof(buffer)));
            parser.Feed(std::string(buffer, got));
            continue;
        }
        if (!m_writer.Running()) {
            while (m_writer.Available() > 0) {
                const size_t got = m_writer.Read(buffer, sizeof(buffer));
                parser.Feed(std::string(buffer, got));
            }
            if (m_stop)
                return;
            m_succeeded = m_writer.ExitCode() == 0;
            if (m_succeeded) {
                // The report's last time is the last picture's start; the file is whole.
                m_position = m_total;
                PostMessageW(m_notify.window, m_notify.progressMessage, m_notify.session, 0);
            }
            PostMessageW(m_notify.window, m_notify.doneMessage, m_notify.session, 0);
            return;
        }
        // Reported on a clock, not only when ffmpeg writes: a slow start still shows life.
        if (GetTickCount() - lastReport >= kReportIntervalMs)
            report();
        Sleep(20);
    }
}

} // namespace vedit
