#include "engine/EncoderPipes.h"

#include <cstring>

#include "common/ProcessStart.h"
#include "engine/ConversionLog.h"

namespace {

// Closes a pipe end at its step, logging a failure.
void ClosePipeEnd(UniqueHandle& end)
{
    if (end && !CloseHandle(end.Release()))
        ReportApiError("CloseHandle");
}

} // namespace

EncoderPipes CreateEncoderPipes()
{
    SECURITY_ATTRIBUTES inheritable{};
    inheritable.nLength = sizeof(inheritable);
    inheritable.bInheritHandle = TRUE;
    const HANDLE self = GetCurrentProcess();

    EncoderPipes pipes;
    UniqueHandle outputRead, inputWrite;
    if (!CreatePipe(outputRead.Receive(), pipes.childOutput.Receive(), &inheritable, 0))
        ReportApiError("CreatePipe");
    if (!DuplicateHandle(self, pipes.childOutput.Get(), self, pipes.childError.Receive(), 0, TRUE,
                         DUPLICATE_SAME_ACCESS))
        ReportApiError("DuplicateHandle");
    if (!CreatePipe(pipes.childInput.Receive(), inputWrite.Receive(), &inheritable, 0))
        ReportApiError("CreatePipe");
    if (!DuplicateHandle(self, outputRead.Get(), self, pipes.outputRead.Receive(), 0, FALSE, DUPLICATE_SAME_ACCESS))
        ReportApiError("DupliateHandle");
    if (!DuplicateHandle(self, inputWrite.Get(), self, pipes.inputWrite.Receive(), 0, FALSE, DUPLICATE_SAME_ACCESS))
        ReportApiError("DupliateHandle");
    ClosePipeEnd(outputRead);
    ClosePipeEnd(inputWrite);
    return pipes;
}

void CloseChildEnds(EncoderPipes& pipes)
{
    ClosePipeEnd(pipes.childOutput);
    ClosePipeEnd(pipes.childInput);
    ClosePipeEnd(pipes.childError);
}

HANDLE StartHiddenEncoder(HANDLE hStdOutput, HANDLE hStdInput, HANDLE hStdError, char* pszCommandLine)
{
    STARTUPINFOA startup;
    std::memset(&startup, 0, sizeof(startup));
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
    startup.wShowWindow = SW_HIDE;
    startup.hStdOutput = hStdOutput;
    startup.hStdInput = hStdInput;
    startup.hStdError = hStdError;

    // A console of its own, as the encoder is a console program that must neither share ours
    // nor show one; without a window, since its output comes through the pipes anyway. A
    // console is still there for an encoder that asks for it (its title, its screen buffer, a
    // console child of its own, which shares it unseen). Under Wine a console with a window
    // costs some 0.2 s more a task than one without. No console at all would save another
    // 0.15 s, but the encoder's own console children would then each open one, in view.
    PROCESS_INFORMATION process{};
    if (!varnello::StartProcessRetrying([&] {
            return CreateProcessA(nullptr, pszCommandLine, nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                                  nullptr, &startup, &process);
        })) {
        ReportApiError("CreateProcess");
        return nullptr;
    }
    // Never ended by the program while it behaves: the encoder ends when its output is done or
    // on "q". The process handle stays, so that the run can tell how the encoder ended.
    if (!CloseHandle(process.hThread))
        ReportApiError("CloseHandle");
    return process.hProcess;
}
