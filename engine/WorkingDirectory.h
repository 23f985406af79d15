// The program's working directory. It is the program's folder at start-up (the skin file is
// named relative to it) and the "app" sub-folder from the moment the profiles are read: the
// profile file, the encoder, ViviRarir and the conversion log are all named relative to it.
// Only these two functions move it.
#pragma once

#include "framework/CString.h"

// pszProgramDir (with its trailing backslash) followed by "app".
CString AppFolderOf(const char* pszProgramDir);

// Makes the program's own folder the working directory.
void EnterProgramFolder(const char* pszProgramDir);

// Makes the "app" sub-folder the working directory.
void EnterAppFolder(const CString& strAppDir);
