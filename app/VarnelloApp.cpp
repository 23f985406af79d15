// Start-up: module directory, working directory, COM, then the frame dialog until it closes.
#include "app/VarnelloApp.h"

#include <direct.h>
#include <objbase.h>
#include <stdlib.h>

#include "app/MainFrameDlg.h"
#include "framework/OleControlContainer.h"

char g_szModuleDir[MAX_PATH];
CString g_strProductName("Varnello");

// The one application object; the framework's entry point runs it.
CVarnelloApp theApp;

namespace {

void StoreModuleDirectory()
{
    char szPath[MAX_PATH] = {};
    char szDrive[_MAX_DRIVE] = {};
    char szDir[_MAX_DIR] = {};
    GetModuleFileNameA(nullptr, szPath, sizeof(szPath));
    _splitpath(szPath, szDrive, szDir, nullptr, nullptr);
    _makepath(g_szModuleDir, szDrive, szDir, nullptr, nullptr);
}

} // namespace

BOOL CVarnelloApp::InitInstance()
{
    AfxEnableControlContainer(); // the page hosts the video-editing control
    Enable3dControls();
    StoreModuleDirectory();
    _chdir(g_szModuleDir);
    CoInitialize(nullptr);
    m_videoEditComponent = RegisterVideoEditComponent();

    CMainFrameDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;
    // FALSE: the dialog has closed, so the application ends instead of running a message loop.
    return FALSE;
}

int CVarnelloApp::ExitInstance()
{
    m_videoEditComponent.Revoke();
    return CWinApp::ExitInstance();
}
