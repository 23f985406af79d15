// Starting a process, with a second and third try where the failure is one of the moment.
// Under Wine, and on a busy Windows, CreateProcess now and then fails although the program
// is there and runnable (Wine's "Internal error" while its server is busy, a momentary lack
// of resources); a person would meet that as a task that failed for nothing. A failure that
// will not change (no such file, no access, not a program) is reported at once.
#pragma once

#include <windows.h>

namespace varnello {

inline bool IsLastingStartError(DWORD error)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_ACCESS_DENIED:
    case ERROR_BAD_EXE_FORMAT:
    case ERROR_EXE_MACHINE_TYPE_MISMATCH:
    case ERROR_INVALID_PARAMETER:
    case ERROR_INVALID_NAME:
    case ERROR_DIRECTORY:
    case ERROR_FILENAME_EXCED_RANGE:
        return true;
    default:
        return false;
    }
}

// Calls start (a CreateProcess call returning nonzero on success) up to three times, 100 and
// then 200 ms apart, while it fails for a passing reason. GetLastError() after a failure is
// the last attempt's.
template <typename Start>
bool StartProcessRetrying(Start start)
{
    for (int attempt = 1;; ++attempt) {
        if (start())
            return true;
        const DWORD error = GetLastError();
        if (attempt == 3 || IsLastingStartError(error))
            return false;
        Sleep(100 * attempt);
        SetLastError(error);
    }
}

} // namespace varnello
