// The replaceable seams and their real system calls.
#include "framework/AfxSeams.h"

#include <utility>

#include "framework/CString.h"
#include "framework/WinApp.h"
#include "framework/Wnd.h"

namespace {

AfxMessageBoxSeam& MessageBoxSeam() { static AfxMessageBoxSeam s; return s; }
AfxFileDialogSeam& FileDialogSeam() { static AfxFileDialogSeam s; return s; }
AfxBrowseForFolderSeam& BrowseSeam() { static AfxBrowseForFolderSeam s; return s; }
AfxShellExecuteSeam& ShellExecuteSeam() { static AfxShellExecuteSeam s; return s; }

} // namespace

AfxMessageBoxSeam AfxSetMessageBoxSeam(AfxMessageBoxSeam seam) { return std::exchange(MessageBoxSeam(), std::move(seam)); }
AfxFileDialogSeam AfxSetFileDialogSeam(AfxFileDialogSeam seam) { return std::exchange(FileDialogSeam(), std::move(seam)); }
AfxBrowseForFolderSeam AfxSetBrowseForFolderSeam(AfxBrowseForFolderSeam seam) { return std::exchange(BrowseSeam(), std::move(seam)); }
AfxShellExecuteSeam AfxSetShellExecuteSeam(AfxShellExecuteSeam seam) { return std::exchange(ShellExecuteSeam(), std::move(seam)); }

int AfxSeamMessageBox(HWND hWndOwner, const char* pszText, const char* pszCaption, UINT nType)
{
    if (MessageBoxSeam())
        return MessageBoxSeam()(hWndOwner, pszText, pszCaption, nType);
    return ::MessageBoxA(hWndOwner, pszText, pszCaption, nType);
}

BOOL AfxSeamFileDialog(OPENFILENAMEA& ofn, bool bOpen)
{
    if (FileDialogSeam())
        return FileDialogSeam()(ofn, bOpen);
    return bOpen ? ::GetOpenFileNameA(&ofn) : ::GetSaveFileNameA(&ofn);
}

PIDLIST_ABSOLUTE AfxSeamBrowseForFolder(BROWSEINFOA& bi)
{
    if (BrowseSeam())
        return BrowseSeam()(bi);
    return ::SHBrowseForFolderA(&bi);
}

HINSTANCE AfxSeamShellExecute(HWND hWnd, const char* pszVerb, const char* pszFile, const char* pszParameters,
                              const char* pszDirectory, int nShowCmd)
{
    if (ShellExecuteSeam())
        return ShellExecuteSeam()(hWnd, pszVerb, pszFile, pszParameters, pszDirectory, nShowCmd);
    return ::ShellExecuteA(hWnd, pszVerb, pszFile, pszParameters, pszDirectory, nShowCmd);
}

int AfxMessageBox(const char* pszText, UINT nType, UINT)
{
    HWND hWndOwner = ::GetActiveWindow();
    if (!hWndOwner) {
        CWnd* pMainWnd = AfxGetMainWnd();
        hWndOwner = pMainWnd ? pMainWnd->m_hWnd : nullptr;
    }
    return AfxSeamMessageBox(hWndOwner, pszText, AfxGetAppName(), nType);
}

int AfxMessageBox(UINT nIDPrompt, UINT nType, UINT nIDHelp)
{
    CString strPrompt;
    strPrompt.LoadString(nIDPrompt);
    return AfxMessageBox(strPrompt, nType, nIDHelp);
}
