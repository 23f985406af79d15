// The two moves of the working directory.
#include "engine/WorkingDirectory.h"

#include <direct.h>

CString AppFolderOf(const char* pszProgramDir)
{
    return CString(pszProgramDir ? pszProgramDir : "") + "app";
}

void EnterProgramFolder(const char* pszProgramDir)
{
    _chdir(pszProgramDir);
}

void EnterAppFolder(const CString& strAppDir)
{
    _chdir(strAppDir);
}
