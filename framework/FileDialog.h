// CFileDialog: the common open/save dialog through the program's file-dialog seam. The
// filter is written with "|" between the parts ("Text (*.txt)|*.txt||").
#pragma once

#include <windows.h>
#include <commdlg.h>

#include <string>

#include "framework/CString.h"

class CWnd;

class CFileDialog {
public:
    explicit CFileDialog(BOOL bOpenFileDialog, LPCSTR lpszDefExt = nullptr, LPCSTR lpszFileName = nullptr,
                         DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, LPCSTR lpszFilter = nullptr,
                         CWnd* pParentWnd = nullptr);
    virtual ~CFileDialog() = default;
    CFileDialog(const CFileDialog&) = delete;
    CFileDialog& operator=(const CFileDialog&) = delete;

    // IDOK when a file was chosen, else IDCANCEL.
    virtual INT_PTR DoModal();
    CString GetPathName() const { return CString(m_szFileName); }
    CString GetFileName() const;
    CString GetFileExt() const;
    CString GetFileTitle() const;

    OPENFILENAMEA m_ofn{};

    // The filter in the system's form: parts separated by zeros, ended by two zeros.
    static std::string ConvertFilter(const char* pszFilter);

private:
    BOOL m_bOpenFileDialog;
    std::string m_strFilter;
    CString m_strDefExt;
    char m_szFileName[4096] = {};
    char m_szFileTitle[MAX_PATH] = {};
};
