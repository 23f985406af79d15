// The profile combo's filling, bound to the real combo box and the working directory.
#include "ui/ProfileCombo.h"

#include "engine/ProfileIni.h"
#include "engine/ProfileList.h"
#include "engine/WorkingDirectory.h"
#include "framework/ComboBox.h"

void LoadProfiles(CComboBox& combo, const CString& strAppDir)
{
    EnterAppFolder(strAppDir);
    CProfileIni ini;
    ini.SetFile(".\\iPod_Profile.ini");
    FillProfileCombo(combo, ini);
}
