// Opening the help page in the desktop's browser under Wine.
#include "ui/HelpInBrowser.h"

#include "framework/AfxSeams.h"

bool RunningUnderWine()
{
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

std::string HelpPagePath(const char* moduleDir)
{
    return std::string(moduleDir) + "help\\help.html";
}

bool OpenHelpPageInDesktopBrowser(HWND hWndOwner, const char* moduleDir)
{
    // Quoted: the program folder may hold blanks ("C:\Program Files\Varnello\").
    const std::string parameters = "\"" + HelpPagePath(moduleDir) + "\"";
    HINSTANCE result = AfxSeamShellExecute(hWndOwner, nullptr, "winebrowser.exe", parameters.c_str(), nullptr,
                                           SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(result) > 32;
}
