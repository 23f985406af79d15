// How an encoder ended, as far as the program can tell. Pure: shared by the runner, the queue
// and the queue's judgement of a task's end.
#pragma once

enum class EncoderExit {
    Succeeded, // exited with code 0
    Failed,    // exited with another code: crashed, killed or gave up
    Unknown,   // never started
    Hung,      // still running when the wait ran out: the program ended it
};
