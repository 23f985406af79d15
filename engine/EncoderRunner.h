// Runs the external encoder for one task: a hidden child process whose standard output and
// standard error arrive through one pipe and whose standard input is another. Each piece of
// its output goes to the progress parser, and the window's messages are dispatched between
// reads. Failures of the system calls go to "log.txt" only.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "engine/EncoderExit.h"

// Starts the encoder from a writable command line and reads its output until it ends or a
// stop is requested. Once a stop has been requested it starts nothing. Leaves g_hChildStdoutRead and g_hChildStdinWrite open for the caller
// to end the encoder (EndEncoder), unless the parser or the stop sequence already has.
void RunEncoder(char* pszCommandLine, int nTaskIndex);

// Creates the hidden encoder process with the given standard handles, inheriting them. The
// process handle is kept until WaitForEncoderExit or CloseEncoderProcess.
void LaunchEncoder(HANDLE hStdOutput, HANDLE hStdInput, HANDLE hStdError, char* pszCommandLine);

// The read loop: 255 bytes at most per read, each piece parsed, messages pumped in between
// and while the encoder is quiet.
void ReadEncoderOutput(HANDLE hRead, int nTaskIndex);

// Updates the task's size, position and speed from one zero-terminated piece of output and
// repaints its Progress cell; stops an intermediate task's encoder at the trimmed length.
void ParseEncoderOutput(const char* pszPiece, int nTaskIndex);

// Tells the encoder to finish: closes our end of its output, writes "q" to its input and
// closes that. Handles already closed (by an earlier end, stop or early stop) are skipped, so
// every handle is closed exactly once whichever path comes first.
void EndEncoder();

// Waits at most dwTimeoutMs for the last encoder to exit, dispatching window messages
// meanwhile, and reads its exit code; then lets go of the process. Called once the encoder has
// been told to finish, when a well-behaved encoder is exiting anyway: a crash or a kill must
// not be taken for a finished file just because part of one was written. A stop request does
// not cut the wait short: the encoder's end is judged all the same. An encoder still running
// at the end of the wait is ended (with the worker it started), so that nothing goes on
// writing a file the program has already judged.
EncoderExit WaitForEncoderExit(DWORD dwTimeoutMs);

// The last lines the current (or last) encoder wrote, oldest first.
std::vector<std::string> LastEncoderLines();

// Lets go of the last encoder's process handle without waiting (after a stop).
void CloseEncoderProcess();
