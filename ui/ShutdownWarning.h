// The shut-down at the end of a run, as the page asks for it.
#pragma once

#include <windows.h>

// Switches the computer off; when the system refuses the privilege, says so in a box owned by
// hOwner instead.
void ShutdownComputerOrWarn(HWND hOwner);
