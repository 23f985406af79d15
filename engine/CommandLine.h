// BuildCommandLine: the encoder's command line for one task of the list, from its profile's
// template in the profile file, the output path chosen for it and the local time.
#pragma once

#include "engine/ConvertTask.h"
#include "framework/CString.h"

// Makes the "app" sub-folder the working directory (relative names in the command line,
// the encoder's among them, resolve there), reads "Command0" of section "profile<n>" and
// expands it. An index outside the list gives an empty task's line.
CString BuildCommandLine(const CTaskArray& tasks, int nIndex, const char* pszOutputFile, const CString& strAppDir);
