// One Varnello at a time: two would each keep their own copy of the task list (whichever
// saved last would win) and one's start-up clean-up could delete the other's intermediate
// file. A second start brings the running window to the front and ends.
#pragma once
#include <windows.h>

#include "common/UniqueHandle.h"

class SingleInstance {
public:
    // Waits a few seconds for an instance that is closing, so that closing the program and
    // starting it again at once does not lose the new start.
    SingleInstance();
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // True when this process is the one that runs; false after the running window was
    // brought to the front.
    bool IsFirst() const { return m_bFirst; }

    // Marks hFrame as the window a later start brings to the front.
    static void MarkFrame(HWND hFrame);

private:
    UniqueHandle m_mutex; // owned while the program runs; the system releases it at exit
    bool m_bFirst = false;
};
