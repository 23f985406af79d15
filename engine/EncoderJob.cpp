#include "engine/EncoderJob.h"

#include <cstring>
#include <utility>

#include "engine/ConversionLog.h"
#include "engine/EncoderPipes.h"

namespace {

constexpr DWORD kReadBufferSize = 256;
constexpr int kMaxPiecesPerLook = 64;

} // namespace

EncoderJob::~EncoderJob()
{
    TellToFinish();
    if (m_process && WaitForSingleObject(m_process.Get(), 0) == WAIT_TIMEOUT)
        TerminateProcess(m_process.Get(), 1);
}

void EncoderJob::Start(char* pszCommandLine)
{
    EncoderPipes pipes = CreateEncoderPipes();
    m_outputRead = std::move(pipes.outputRead);
    m_inputWrite = std::move(pipes.inputWrite);
    m_startTick = GetTickCount();
    m_process.Reset(StartHiddenEncoder(pipes.childOutput.Get(), pipes.childInput.Get(), pipes.childError.Get(),
                                       pszCommandLine));
    CloseChildEnds(pipes);
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
