// The profile combo's filling, bound to the real combo box and the working directory.
#include "engine/ProfileList.h"

#include <windows.h>

#include "framework/ComboBox.h"

void LoadProfiles(CComboBox& combo, const CString& strAppDir)
{
    SetCurrentDirectoryA(strAppDir);
    CProfileIni ini;
    ini.SetFile(".\\iPod_Profile.ini");
    FillProfileCombo(combo, ini);
}
