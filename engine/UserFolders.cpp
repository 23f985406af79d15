// The user's folders; see UserFolders.h.
#include "engine/UserFolders.h"

#include <windows.h>
#include <shlobj.h>

#include <cstring>

namespace {

bool IsFolder(const char* pszPath)
{
    const DWORD attributes = GetFileAttributesA(pszPath);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::string ShellFolder(int nFolder)
{
    char szPath[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathA(nullptr, nFolder, nullptr, SHGFP_TYPE_CURRENT, szPath)) || szPath[0] == '\0')
        return std::string();
    return szPath;
}

std::string WithBackslash(std::string folder)
{
    if (!folder.empty() && folder.back() != '\\')
        folder += '\\';
    return folder;
}

} // namespace

std::string UserDataFolder(bool bCreate)
{
    // CSIDL_FLAG_CREATE: a user profile that has never had the folder gets it, as Windows does.
    std::string base = ShellFolder(CSIDL_LOCAL_APPDATA | (bCreate ? CSIDL_FLAG_CREATE : 0));
    if (base.empty()) {
        char szTemp[MAX_PATH] = {};
        GetTempPathA(sizeof(szTemp), szTemp);
        base = szTemp;
    }
    const std::string folder = WithBackslash(base) + "Varnello\\";
    if (bCreate)
        CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

std::string UserVideosFolder()
{
    return ShellFolder(CSIDL_MYVIDEO);
}

bool EnsureFolderExists(const char* pszFolder)
{
    // A folder text longer than any path the program can use: none of it is made, since its
    // first part would name another folder.
    if (std::strlen(pszFolder) >= MAX_PATH)
        return false;
    if (IsFolder(pszFolder))
        return true;
    // The shell's call makes the missing parents too; it wants no trailing backslash except
    // at a drive's root.
    std::string folder = pszFolder;
    while (folder.size() > 3 && folder.back() == '\\')
        folder.pop_back();
    SHCreateDirectoryExA(nullptr, folder.c_str(), nullptr);
    return IsFolder(pszFolder);
}
