// The profile combo's filling, bound to the real combo box and the working directory.
#include "engine/ProfileList.h"

#include <windows.h>

#include <climits>

#include "framework/ComboBox.h"

int ParseDefaultProfile(const CString& strValue)
{
    const long lValue = std::strtol(strValue, nullptr, 10);
    if (lValue > INT_MAX || lValue < INT_MIN)
        return -1; // selects nothing, as any number beyond the list does
    return static_cast<int>(lValue);
}

void LoadProfiles(CComboBox& combo, const CString& strAppDir)
{
    SetCurrentDirectoryA(strAppDir);
    CProfileIni ini;
    ini.SetFile(".\\iPod_Profile.ini");
    FillProfileCombo(combo, ini);
}
