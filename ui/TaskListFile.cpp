// The saved task list's file: its place in the user's local application data and the atomic
// replacement of its contents.
#include "ui/TaskListFile.h"

#include <windows.h>

#include "common/UniqueHandle.h"
#include "engine/UserFolders.h"

namespace tasklistfile {

std::string SavedListPath()
{
    // The same folder as the log and the intermediate files: the shell's local application data.
    return UserDataFolder() + "tasks.lst";
}

bool ReplaceFileContents(const std::string& path, const std::string& text)
{
    if (path.empty())
        return false;
    const std::string fresh = path + ".new";
    {
        UniqueHandle file(CreateFileA(fresh.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                      nullptr));
        if (!file)
            return false;
        DWORD nWritten = 0;
        const bool bWritten = WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &nWritten, nullptr) &&
                              nWritten == text.size() && FlushFileBuffers(file.Get());
        // Closed now, so that the file can be renamed; a failed close may have lost data.
        if (!CloseHandle(file.Release()) || !bWritten) {
            DeleteFileA(fresh.c_str());
            return false;
        }
    }
    if (!MoveFileExA(fresh.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileA(fresh.c_str());
        return false;
    }
    return true;
}

bool ReadWholeFile(const std::string& path, std::string& text, size_t maxBytes)
{
    text.clear();
    UniqueHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart < 0 || static_cast<unsigned long long>(size.QuadPart) > maxBytes)
        return false;
    text.resize(static_cast<size_t>(size.QuadPart));
    DWORD nRead = 0;
    if (!text.empty() && (!ReadFile(file.Get(), &text[0], static_cast<DWORD>(text.size()), &nRead, nullptr) ||
                          nRead != text.size())) {
        text.clear();
        return false;
    }
    return true;
}

} // namespace tasklistfile
