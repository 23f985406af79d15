// 8-bit <-> BSTR conversions through the ANSI code page, as the program's 8-bit strings expect.
#include "framework/OleVariant.h"

#include <windows.h>

OleBstr::OleBstr(const char* sz)
{
    if (!sz)
        sz = "";
    const int nWide = MultiByteToWideChar(CP_ACP, 0, sz, -1, nullptr, 0); // counts the terminator
    m_bstr = SysAllocStringLen(nullptr, nWide > 0 ? nWide - 1 : 0);
    if (m_bstr && nWide > 1)
        MultiByteToWideChar(CP_ACP, 0, sz, -1, m_bstr, nWide);
}

std::string OleBstrToAnsi(BSTR bstr)
{
    const int nWide = static_cast<int>(SysStringLen(bstr));
    if (nWide == 0)
        return std::string();
    const int nBytes = WideCharToMultiByte(CP_ACP, 0, bstr, nWide, nullptr, 0, nullptr, nullptr);
    std::string result(nBytes > 0 ? nBytes : 0, '\0');
    if (nBytes > 0)
        WideCharToMultiByte(CP_ACP, 0, bstr, nWide, &result[0], nBytes, nullptr, nullptr);
    return result;
}
