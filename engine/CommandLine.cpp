// The Windows side of the command line: working directory, profile file and clock.
#include "engine/CommandLine.h"

#include <windows.h>

#include "engine/CommandTemplate.h"
#include "engine/ProfileIni.h"
#include "engine/WorkingDirectory.h"

CString BuildCommandLine(const CTaskArray& tasks, int nIndex, const char* pszOutputFile, const CString& strAppDir)
{
    EnterAppFolder(strAppDir);
    const ConvertTask task = tasks.GetAt(nIndex);
    CProfileIni ini;
    ini.SetFile(".\\iPod_Profile.ini");
    CString strSection;
    strSection.Format("profile%d", task.nProfile);
    const CString strTemplate = ini.GetString(strSection, "Command0");

    SYSTEMTIME st{};
    GetLocalTime(&st);
    LocalDateTime now;
    now.nYear = st.wYear;
    now.nMonth = st.wMonth;
    now.nDay = st.wDay;
    now.nHour = st.wHour;
    now.nMinute = st.wMinute;
    now.nSecond = st.wSecond;
    return ExpandCommandTemplate(strTemplate, task, pszOutputFile, now);
}
