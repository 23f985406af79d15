// One encoder of a conversion run, for a run that converts several tasks at once: a hidden
// child process whose standard output and standard error arrive through one pipe and whose
// standard input is another, started and read without blocking the window's thread.
//
// The output is read by polling the pipe from the window's thread (PeekNamedPipe, then a read
// of only what is there), not by a reader thread or overlapped I/O: anonymous pipes cannot be
// opened for overlapped I/O, and a thread blocked in ReadFile cannot be woken promptly when
// Stop comes (closing a handle under a pending read is not reliable, under Wine least of all).
// The encoder reports a few times a second; the run looks at every pipe between two message
// pumps, every 15 ms at most, so a Stop or a repaint is handled at once and the tasks'
// fields are only ever touched on the window's thread.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "common/UniqueHandle.h"
#include "engine/EncoderExit.h"
#include "engine/FailedTaskReport.h"

class EncoderJob {
public:
    EncoderJob() = default;
    EncoderJob(const EncoderJob&) = delete;
    EncoderJob& operator=(const EncoderJob&) = delete;
    // An encoder still running when its job goes is ended: nothing outlives the run.
    ~EncoderJob();

    // Creates the pipes and starts the encoder from a writable command line. Failures of the
    // system calls go to "log.txt", as the one-task runner's do; an encoder that cannot be
    // started leaves a job whose output has ended at once.
    void Start(char* pszCommandLine);

    // Hands each piece of output that is waiting now (at most 255 bytes, zero-terminated) to
    // onPiece, without waiting for more. False once the output has ended or has been closed.
    bool ReadAvailable(const std::function<void(const char*)>& onPiece);
    bool OutputOpen() const { return static_cast<bool>(m_outputRead); }

    // Tells the encoder to finish: closes our end of its output, writes "q" to its input and
    // closes that. Done once; later calls do nothing.
    void TellToFinish();

    // The process to wait on; null when none was started or it has been let go.
    HANDLE Process() const { return m_process.Get(); }
    // True once the process has exited (or there is none); exit then says how it ended.
    bool HasExited(EncoderExit& exit);
    // Ends a hung encoder (its worker ends with it) and lets go of it.
    void EndHung();

    unsigned long StartTick() const { return m_startTick; }
    std::vector<std::string> LastLines() const { return m_tail.Lines(); }

private:
    UniqueHandle m_outputRead;
    UniqueHandle m_inputWrite;
    UniqueHandle m_process;
    EncoderOutputTail m_tail;
    unsigned long m_startTick = 0;
};
