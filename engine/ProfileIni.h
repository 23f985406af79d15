// CProfileIni: read-only access to the profile file through the Windows initialisation-file
// calls. Holds only the path last given to SetFile.
#pragma once

#include <vector>

#include "framework/CString.h"

class CProfileIni {
public:
    CProfileIni() = default;
    virtual ~CProfileIni() = default;

    // True when the path names an existing file that is not a directory. The path is kept
    // either way: reads of a missing file give their defaults.
    bool SetFile(const CString& strPath);
    // True when the section exists and holds at least one key.
    bool HasSection(const CString& strSection) const;
    // The value (at most 1023 characters), or "" when the file, section or key is missing.
    CString GetString(const CString& strSection, const CString& strKey) const;
    // Empties the list and appends every section name in file order; returns their number.
    int GetSectionNames(std::vector<CString>& list) const;

    const CString& GetFile() const { return m_strFile; }

private:
    CString m_strFile;
};
