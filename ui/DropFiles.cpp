// Files and folders dropped on the page from Explorer or, through Wine, a Linux file manager:
// each file is added as if chosen in the Open dialog; a folder adds the videos inside it and
// its sub-folders, in path order.
#include "ui/VarnelloDlg.h"

#include <shellapi.h>

#include <string>
#include <vector>

#include "ui/SourceFiles.h"

namespace {

// Closes a find handle on every path out.
class FindHandle {
public:
    explicit FindHandle(HANDLE h) : m_h(h) {}
    ~FindHandle()
    {
        if (m_h != INVALID_HANDLE_VALUE)
            FindClose(m_h);
    }
    FindHandle(const FindHandle&) = delete;
    FindHandle& operator=(const FindHandle&) = delete;
    HANDLE Get() const { return m_h; }

private:
    HANDLE m_h;
};

std::vector<sourcefiles::FolderEntry> ListFolder(const std::string& folder)
{
    std::vector<sourcefiles::FolderEntry> entries;
    WIN32_FIND_DATAA data{};
    const std::string pattern = folder + (folder.empty() || folder.back() == '\\' ? "*" : "\\*");
    FindHandle find(FindFirstFileA(pattern.c_str(), &data));
    if (find.Get() == INVALID_HANDLE_VALUE)
        return entries;
    do {
        const std::string name = data.cFileName;
        if (name == "." || name == "..")
            continue;
        // A linked folder is not followed: it could lead back into the folder being walked.
        const bool bFolder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (bFolder && (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
            continue;
        entries.push_back({name, bFolder});
    } while (FindNextFileA(find.Get(), &data));
    return entries;
}

bool IsFolder(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

} // namespace

void CVarnelloDlg::OnDropFiles(HDROP hDropInfo)
{
    std::vector<std::string> dropped;
    const UINT nCount = DragQueryFileA(hDropInfo, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < nCount; ++i) {
        const UINT nLength = DragQueryFileA(hDropInfo, i, nullptr, 0);
        std::string path(nLength + 1, '\0');
        DragQueryFileA(hDropInfo, i, &path[0], nLength + 1);
        path.resize(nLength);
        dropped.push_back(path);
    }
    DragFinish(hDropInfo);

    // As with Add, nothing joins the list while it is being converted.
    if (m_bConverting == 1)
        return;
    std::vector<CString> paths;
    for (const std::string& path : sourcefiles::DroppedSources(dropped, IsFolder, ListFolder))
        paths.emplace_back(path.c_str());
    AddSourceFiles(paths);
}
