// Resource loading for the framework's strings.
#include <windows.h>

#include "framework/CString.h"

bool CString::LoadStringA(unsigned int nID)
{
    // Resources live in the executable; a string table entry holds at most 4 KB here.
    char buffer[4096];
    const int n = ::LoadStringA(GetModuleHandleA(nullptr), nID, buffer, sizeof(buffer));
    m_str.assign(buffer, n > 0 ? n : 0);
    return n > 0;
}
