// The program's blocking or outside-world calls, each through one replaceable function so
// that tests answer them without a person: message boxes, the file dialog, the folder
// browser and the shell's opening of documents. Each setter returns the previous handler;
// an empty function restores the real system call.
#pragma once

#include <windows.h>
#include <commdlg.h>
#include <shlobj.h>

#include <functional>

using AfxMessageBoxSeam = std::function<int(HWND hWndOwner, const char* pszText, const char* pszCaption, UINT nType)>;
// Fills ofn as GetOpenFileName (bOpen) or GetSaveFileName would; TRUE when a file was chosen.
using AfxFileDialogSeam = std::function<BOOL(OPENFILENAMEA& ofn, bool bOpen)>;
// As SHBrowseForFolder: the chosen folder's item list (freed by the caller with CoTaskMemFree) or null.
using AfxBrowseForFolderSeam = std::function<PIDLIST_ABSOLUTE(BROWSEINFOA& bi)>;
using AfxShellExecuteSeam = std::function<HINSTANCE(HWND hWnd, const char* pszVerb, const char* pszFile,
                                                    const char* pszParameters, const char* pszDirectory, int nShowCmd)>;

AfxMessageBoxSeam AfxSetMessageBoxSeam(AfxMessageBoxSeam seam);
AfxFileDialogSeam AfxSetFileDialogSeam(AfxFileDialogSeam seam);
AfxBrowseForFolderSeam AfxSetBrowseForFolderSeam(AfxBrowseForFolderSeam seam);
AfxShellExecuteSeam AfxSetShellExecuteSeam(AfxShellExecuteSeam seam);

int AfxSeamMessageBox(HWND hWndOwner, const char* pszText, const char* pszCaption, UINT nType);
BOOL AfxSeamFileDialog(OPENFILENAMEA& ofn, bool bOpen);
PIDLIST_ABSOLUTE AfxSeamBrowseForFolder(BROWSEINFOA& bi);
HINSTANCE AfxSeamShellExecute(HWND hWnd, const char* pszVerb, const char* pszFile, const char* pszParameters,
                              const char* pszDirectory, int nShowCmd);

// A message box owned by the active window, captioned with the application's name.
int AfxMessageBox(const char* pszText, UINT nType = MB_OK, UINT nIDHelp = 0);
int AfxMessageBox(UINT nIDPrompt, UINT nType = MB_OK, UINT nIDHelp = (UINT)-1);
