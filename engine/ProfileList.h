// Filling the profile combo from the profile file: the titles of the sections after the
// first, in file order, and the "DefaultProfile" of "Info" selected.
#pragma once

#include <cstdlib>
#include <vector>

#include "engine/ProfileIni.h"
#include "framework/CString.h"

// The "DefaultProfile" text as a decimal number; text that is no number gives 0.
int ParseDefaultProfile(const CString& strValue);

// Combo is anything with ResetContent, AddString and SetCurSel (the profile combo box); Ini
// anything that reads like CProfileIni (the file's text is also read without Windows).
template <class Combo, class Ini>
void FillProfileCombo(Combo& combo, const Ini& ini)
{
    if (!ini.HasSection("Info"))
        return; // no file, or an "Info" without keys: the combo stays as it is
    const int nDefault = ParseDefaultProfile(ini.GetString("Info", "DefaultProfile"));
    combo.ResetContent();
    std::vector<CString> names;
    const int nCount = ini.GetSectionNames(names);
    // The first section is "Info"; item i - 1 is the title of the (i + 1)-th section.
    for (int i = 1; i < nCount; ++i)
        combo.AddString(ini.GetString(names[static_cast<size_t>(i)], "Title"));
    combo.SetCurSel(nDefault); // outside the list: nothing selected
}
