// What a conversion run does with its results: hand each finished file to ViviRarir (for
// iTunes), or shut the computer down at the end.
#pragma once

#include <windows.h>

// Runs "ViviRarir \"<output file>\" " hidden and waits, without dispatching messages, until
// it has exited. A ViviRarir that cannot be started is skipped silently.
void AddToiTunes(const char* pszOutputFile);

// The calls through which ShutdownComputer reaches the system, so that tests can record the
// shut-down instead of suffering it.
class ShutdownSeam {
public:
    virtual ~ShutdownSeam() = default;
    // GetVersionExA's platform id: 1 the Windows 95 family, 2 the Windows NT family.
    virtual DWORD GetPlatformId();
    // Enables SeShutdownPrivilege in this process's token; false when it was not granted.
    virtual bool EnableShutdownPrivilege();
    virtual void ShutDown(UINT nFlags);
};

// Installs a seam (null: the system's own); returns the one it replaces.
ShutdownSeam* SetShutdownSeam(ShutdownSeam* pSeam);

// Enables the shutdown privilege and switches the machine off, closing running programs
// without asking. False when the privilege was refused: nothing was switched off, and the
// caller tells the user.
bool ShutdownComputer();
