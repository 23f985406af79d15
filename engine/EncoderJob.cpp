#include "engine/EncoderJob.h"

#include <cstring>

#include "common/ProcessStart.h"
#include "engine/ConversionLog.h"

namespace {

constexpr DWORD kReadBufferSize = 256;
constexpr int kMaxPiecesPerLook = 64;

void ClosePipeEnd(UniqueHandle& end)
{
    if (!CloseHandle(end.Release()))
        ReportApiError("CloseHandle");
}

} // namespace

EncoderJob::~EncoderJob()
{
    TellToFinish();
    if (m_process && WaitForSingleObject(m_process.Get(), 0) == WAIT_TIMEOUT)
        TerminateProcess(m_process.Get(), 1);
}

void EncoderJob::Start(char* pszCommandLine)
{
    SECURITY_ATTRIBUTES inheritable{};
    inheritable.nLength = sizeof(inheritable);
    inheritable.bInheritHandle = TRUE;
    const HANDLE self = GetCurrentProcess();

    UniqueHandle outputRead, outputWrite, errorWrite, inputRead, inputWrite;
    if (!CreatePipe(outputRead.Receive(), outputWrite.Receive(), &inheritable, 0))
        ReportApiError("CreatePipe");
    // Standard error is a second handle on the output pipe: both streams arrive together.
    if (!DuplicateHandle(self, outputWrite.Get(), self, errorWrite.Receive(), 0, TRUE, DUPLICATE_SAME_ACCESS))
        ReportApiError("DuplicateHandle");
    if (!CreatePipe(inputRead.Receive(), inputWrite.Receive(), &inheritable, 0))
        ReportApiError("CreatePipe");
    // Our own ends must not be inherited, by this encoder or by any other started meanwhile,
    // or an encoder would hold an output pipe open and its end would never be seen.
    if (!DuplicateHandle(self, outputRead.Get(), self, m_outputRead.Receive(), 0, FALSE, DUPLICATE_SAME_ACCESS))
        ReportApiError("DupliateHandle");
    if (!DuplicateHandle(self, inputWrite.Get(), self, m_inputWrite.Receive(), 0, FALSE, DUPLICATE_SAME_ACCESS))
        ReportApiError("DupliateHandle");
    ClosePipeEnd(outputRead);
    ClosePipeEnd(inputWrite);

    STARTUPINFOA startup;
    std::memset(&startup, 0, sizeof(startup));
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
    startup.wShowWindow = SW_HIDE;
    startup.hStdOutput = outputWrite.Get();
    startup.hStdInput = inputRead.Get();
    startup.hStdError = errorWrite.Get();
    m_startTick = GetTickCount();
    // Without a console window, as the one-task runner starts it (see LaunchEncoder).
    PROCESS_INFORMATION process{};
    if (varnello::StartProcessRetrying([&] {
            return CreateProcessA(nullptr, pszCommandLine, nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                                  nullptr, &startup, &process);
        })) {
        if (!CloseHandle(process.hThread))
            ReportApiError("CloseHandle");
        m_process.Reset(process.hProcess);
    } else {
        ReportApiError("CreateProcess");
    }
    // The encoder holds its own copies now: once it exits, no write end of its output pipe is
    // left and the output ends.
    ClosePipeEnd(outputWrite);
    ClosePipeEnd(inputRead);
    ClosePipeEnd(errorWrite);
}

bool EncoderJob::ReadAvailable(const std::function<void(const char*)>& onPiece)
{
    char buffer[kReadBufferSize];
    // A bounded look: an encoder that writes without pause must not keep the window from
    // its messages, nor the other encoders from theirs.
    for (int nPieces = 0; m_outputRead && nPieces < kMaxPiecesPerLook; ++nPieces) {
        DWORD available = 0;
        // A failed look is the pipe's end (every write end closed): the read says which.
        if (PeekNamedPipe(m_outputRead.Get(), nullptr, 0, nullptr, &available, nullptr) && available == 0)
            return true;
        std::memset(buffer, 0, sizeof(buffer));
        DWORD bytesRead = 0;
        // One byte less than the buffer: the piece always ends in a zero.
        const BOOL bRead = ReadFile(m_outputRead.Get(), buffer, kReadBufferSize - 1, &bytesRead, nullptr);
        if (!bRead || bytesRead == 0) {
            if (!bRead && GetLastError() != ERROR_BROKEN_PIPE)
                ReportApiError("ReadFile");
            m_outputRead.Reset();
            return false;
        }
        m_tail.Add(buffer);
        onPiece(buffer);
    }
    return static_cast<bool>(m_outputRead);
}

void EncoderJob::TellToFinish()
{
    m_outputRead.Reset();
    if (m_inputWrite) {
        DWORD written = 0;
        WriteFile(m_inputWrite.Get(), "q", 1, &written, nullptr);
        m_inputWrite.Reset();
    }
}

bool EncoderJob::HasExited(EncoderExit& exit)
{
    if (!m_process) {
        exit = EncoderExit::Unknown;
        return true;
    }
    if (WaitForSingleObject(m_process.Get(), 0) != WAIT_OBJECT_0)
        return false;
    DWORD code = 0;
    if (!GetExitCodeProcess(m_process.Get(), &code)) {
        ReportApiError("GetExitCodeProcess");
        exit = EncoderExit::Unknown;
    } else {
        exit = code == 0 ? EncoderExit::Succeeded : EncoderExit::Failed;
    }
    m_process.Reset();
    return true;
}

void EncoderJob::EndHung()
{
    if (!m_process)
        return;
    // Deaf to "q" and to its closed pipes: end it. The encoder ends its worker with itself.
    TerminateProcess(m_process.Get(), 1);
    WaitForSingleObject(m_process.Get(), 2000);
    m_process.Reset();
}
