// The conversion engine's message box texts are padded so that they stand centred in a wide box.
#pragma once

#include "framework/CString.h"

// Texts shorter than 100 characters come back as 99 characters: the text in a field of blanks,
// starting at (100 - length) / 2. Longer texts come back unchanged.
CString CenterMessageText(const char* pszText);
