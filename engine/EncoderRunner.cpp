#include "engine/EncoderRunner.h"

#include <cstring>

#include "engine/ConversionLog.h"
#include "engine/ConversionState.h"
#include "engine/EncoderPipes.h"
#include "engine/FailedTaskReport.h"
#include "engine/Progress.h"
#include "engine/TaskCell.h"
#include "framework/MessagePump.h"

namespace {

constexpr DWORD kReadBufferSize = 256;
// How long the window may go unserviced while the encoder has nothing to say.
constexpr DWORD kQuietPollMs = 15;

// The process of the encoder started last; null when none is held.
HANDLE g_hEncoderProcess = nullptr;

// The last lines of the current encoder's output, for the log entry of a task that fails.
EncoderOutputTail g_encoderTail;

void CloseGlobal(HANDLE& handle)
{
    if (handle) {
        CloseHandle(handle);
        handle = nullptr;
    }
}

// The encoder reports a few times a second at most. Rather than sit in a read until its next
// line, wait here while its pipe is empty and keep the window serviced, so that a click on
// Stop or a repaint is handled at once. True when there is something to read (or the pipe
// has ended, which the read then tells); false when a stop request closed the pipe meanwhile.
bool WaitForEncoderOutput(HANDLE hRead)
{
    for (;;) {
        DWORD available = 0;
        if (!PeekNamedPipe(hRead, nullptr, 0, nullptr, &available, nullptr) || available > 0)
            return true;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, kQuietPollMs, QS_ALLINPUT);
        PumpMessages();
        if (g_bStopConvert || g_hChildStdoutRead != hRead)
            return false;
    }
}

} // namespace

void EndEncoder()
{
    CloseGlobal(g_hChildStdoutRead);
    if (g_hChildStdinWrite) {
        DWORD written = 0;
        WriteFile(g_hChildStdinWrite, "q", 1, &written, nullptr);
        CloseGlobal(g_hChildStdinWrite);
    }
}

void RunEncoder(char* pszCommandLine, int nTaskIndex)
{
    // The previous run's handles belong to that run; never let them leak into this one.
    EndEncoder();
    CloseEncoderProcess();
    g_encoderTail.Clear();
    if (g_bStopConvert)
        return;

    EncoderPipes pipes = CreateEncoderPipes();
    g_hChildStdoutRead = pipes.outputRead.Release();
    g_hChildStdinWrite = pipes.inputWrite.Release();
    LaunchEncoder(pipes.childOutput.Get(), pipes.childInput.Get(), pipes.childError.Get(), pszCommandLine);
    CloseChildEnds(pipes);

    ReadEncoderOutput(g_hChildStdoutRead, nTaskIndex);
}

void LaunchEncoder(HANDLE hStdOutput, HANDLE hStdInput, HANDLE hStdError, char* pszCommandLine)
{
    CloseEncoderProcess();
    g_hEncoderProcess = StartHiddenEncoder(hStdOutput, hStdInput, hStdError, pszCommandLine);
}

void CloseEncoderProcess()
{
    CloseGlobal(g_hEncoderProcess);
}

EncoderExit WaitForEncoderExit(DWORD dwTimeoutMs)
{
    if (!g_hEncoderProcess)
        return EncoderExit::Unknown;
    EncoderExit result = EncoderExit::Hung;
    const DWORD start = GetTickCount();
    for (;;) {
        // Keep the window alive. Closing the window during the wait runs the stop sequence,
        // which leaves the process alone: the wait goes on, and the encoder's end is judged.
        PumpMessages();
        if (!g_hEncoderProcess)
            return EncoderExit::Unknown;
        const DWORD elapsed = GetTickCount() - start;
        const DWORD wait = MsgWaitForMultipleObjects(1, &g_hEncoderProcess, FALSE,
                                                     elapsed < dwTimeoutMs ? dwTimeoutMs - elapsed : 0, QS_ALLINPUT);
        if (wait == WAIT_OBJECT_0) {
            DWORD code = 0;
            if (!GetExitCodeProcess(g_hEncoderProcess, &code)) {
                ReportApiError("GetExitCodeProcess");
                result = EncoderExit::Unknown;
            } else {
                result = code == 0 ? EncoderExit::Succeeded : EncoderExit::Failed;
            }
            break;
        }
        if (wait == WAIT_FAILED) {
            ReportApiError("MsgWaitForMultipleObjects");
            break;
        }
        if (wait == WAIT_TIMEOUT)
            break;
    }
    // What came while the encoder was exiting (a click on Stop) is handled before the result.
    PumpMessages();
    if (!g_hEncoderProcess)
        return result;
    if (result == EncoderExit::Hung) {
        // Deaf to "q" and to its closed pipes: end it. The encoder ends its worker with itself.
        TerminateProcess(g_hEncoderProcess, 1);
        WaitForSingleObject(g_hEncoderProcess, 2000);
    }
    CloseEncoderProcess();
    return result;
}

std::vector<std::string> LastEncoderLines()
{
    return g_encoderTail.Lines();
}

void ReadEncoderOutput(HANDLE hRead, int nTaskIndex)
{
    char buffer[kReadBufferSize];
    for (;;) {
        if (!WaitForEncoderOutput(hRead))
            return;
        std::memset(buffer, 0, sizeof(buffer));
        DWORD bytesRead = 0;
        // One byte less than the buffer: the piece always ends in a zero.
        if (!ReadFile(hRead, buffer, kReadBufferSize - 1, &bytesRead, nullptr)) {
            if (GetLastError() != ERROR_BROKEN_PIPE)
                ReportApiError("ReadFile");
            return;
        }
        if (bytesRead == 0)
            return;

        ParseEncoderOutput(buffer, nTaskIndex);
        PumpMessages();

        // A stop request or the parser's early stop has closed the handle we read from.
        if (g_bStopConvert || g_hChildStdoutRead != hRead)
            return;
    }
}

void ParseEncoderOutput(const char* pszPiece, int nTaskIndex)
{
    const DWORD now = GetTickCount();
    g_encoderTail.Add(pszPiece);
    ConversionTarget* target = g_pConversionTarget;
    if (!target || nTaskIndex < 0 || nTaskIndex >= target->GetTaskCount())
        return;

    ConvertTask task = target->GetTask(nTaskIndex);
    if (ApplyProgressFields(task, ReadProgressFields(pszPiece), now, g_dwConvertStartTick))
        EndEncoder();
    target->SetTask(nTaskIndex, task);
    target->InvalidateCells(nTaskIndex, nTaskIndex, kColumnProgress, false);
}
