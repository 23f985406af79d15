// Help for a person running the program under Wine. Wine has no HTML engine here, so the
// compiled help opens on an empty page, and a prefix without one has no program for .html
// files either. Under Wine both help commands therefore hand the staged help page to Wine's
// browser bridge (winebrowser), which opens it in the desktop's own browser. On Windows the
// help opens as it always has.
#pragma once

#include <windows.h>

#include <string>

// True when the program runs under Wine (ntdll exports wine_get_version there only).
bool RunningUnderWine();

// The program folder's help page, "help\help.html", with moduleDir ending in a backslash.
std::string HelpPagePath(const char* moduleDir);

// Opens the help page through winebrowser with the shell seam; true when the shell started it.
bool OpenHelpPageInDesktopBrowser(HWND hWndOwner, const char* moduleDir);
