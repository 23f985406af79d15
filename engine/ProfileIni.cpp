// The profile file's reads, with the buffer sizes the file format was made for.
#include "engine/ProfileIni.h"

#include <windows.h>

#include <cstring>
#include <memory>

#include "framework/TextBytes.h"

bool CProfileIni::SetFile(const CString& strPath)
{
    m_strFile = strPath;
    const DWORD dwAttributes = GetFileAttributesA(strPath);
    return dwAttributes != INVALID_FILE_ATTRIBUTES && !(dwAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool CProfileIni::HasSection(const CString& strSection) const
{
    // With no key the call lists the section's keys.
    char szKeys[260] = {};
    GetPrivateProfileStringA(strSection, nullptr, "", szKeys, sizeof(szKeys), m_strFile);
    return szKeys[0] != '\0';
}

CString CProfileIni::GetString(const CString& strSection, const CString& strKey) const
{
    char szValue[1024] = {};
    GetPrivateProfileStringA(strSection, strKey, "", szValue, sizeof(szValue), m_strFile);
    szValue[sizeof(szValue) - 1] = '\0';
    // A value cut to the buffer may end in part of a character.
    return CString(textbytes::DropBrokenEnd(szValue));
}

int CProfileIni::GetSectionNames(std::vector<CString>& list) const
{
    const DWORD dwSize = 65536;
    std::unique_ptr<char[]> buffer(new char[dwSize]());
    // One byte less than the buffer: the list always ends in two zeros.
    GetPrivateProfileSectionNamesA(buffer.get(), dwSize - 1, m_strFile);
    DWORD dwEnd = 0;
    while (dwEnd < dwSize - 1 && !(buffer[dwEnd] == '\0' && buffer[dwEnd + 1] == '\0'))
        ++dwEnd;
    list.clear();
    DWORD dwPos = 0;
    while (dwPos < dwEnd + 1 && buffer[dwPos] != '\0') {
        // Each name is taken into 260 bytes: longer names are cut to 259, between characters.
        char szName[260] = {};
        textbytes::CopyToBuffer(szName, sizeof(szName), buffer.get() + dwPos);
        list.push_back(CString(szName));
        dwPos += static_cast<DWORD>(strlen(buffer.get() + dwPos)) + 1;
    }
    return static_cast<int>(list.size());
}
