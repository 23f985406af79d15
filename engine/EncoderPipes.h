// The pipes and the hidden process of one encoder, shared by the one-task runner and the
// run's jobs: the encoder's standard output and standard error arrive through one pipe, its
// standard input is another.
#pragma once

#include <windows.h>

#include "common/UniqueHandle.h"

struct EncoderPipes {
    // Our ends, never inherited: by this encoder or by any other started meanwhile, or an
    // encoder would hold an output pipe open and its end would never be seen.
    UniqueHandle outputRead;
    UniqueHandle inputWrite;
    // The encoder's ends, inherited by it; closed once it has started (CloseChildEnds).
    UniqueHandle childOutput;
    UniqueHandle childError; // a second handle on the output pipe
    UniqueHandle childInput;
};

// Creates both pipes; the failure of a system call goes to "log.txt".
EncoderPipes CreateEncoderPipes();

// Closes the encoder's ends once it holds its own copies: when it exits, no write end of its
// output pipe is left and the output ends.
void CloseChildEnds(EncoderPipes& pipes);

// Starts the encoder hidden, with the given standard handles (inherited) and without a
// console window, trying a start that failed for a passing reason again. The process
// handle, or null (the failure logged).
HANDLE StartHiddenEncoder(HANDLE hStdOutput, HANDLE hStdInput, HANDLE hStdError, char* pszCommandLine);
