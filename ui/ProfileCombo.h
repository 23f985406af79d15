// The page's profile combo filled from the profile file of the "app" sub-folder.
#pragma once

#include "framework/CString.h"

class CComboBox;

// Makes the "app" sub-folder the working directory (where it then stays), opens
// ".\iPod_Profile.ini" and fills the combo with its profiles' titles.
void LoadProfiles(CComboBox& combo, const CString& strAppDir);
