// Start-up: module directory, working directory, COM, then the frame dialog until it closes.
#include "app/VarnelloApp.h"

#include <objbase.h>
#include <stdlib.h>
#include <string.h>

#include "app/MainFrameDlg.h"
#include "engine/UserFolders.h"
#include "engine/WorkingDirectory.h"
#include "framework/OleControlContainer.h"
#include "framework/TextBytes.h"
#include "videocontrol/IntermediateTranscode.h"

char g_szModuleDir[MAX_PATH];
CString g_strProductName("Varnello");
COleDispatchDriver g_skin;

// The one application object; the framework's entry point runs it.
CVarnelloApp theApp;

namespace {

bool IsLeadByteOfCodePage(unsigned char byte) { return IsDBCSLeadByte(byte) != FALSE; }

// Texts are cut and file names made safe character by character. The manifest makes the
// code page UTF-8; Windows older than 10 version 1903 keep the system's, which in East Asia
// has two-byte characters whose second byte can look like "\\" or another ASCII byte.
void UseProgramCodePage()
{
    CPINFO info{};
    if (GetACP() != CP_UTF8 && GetCPInfo(CP_ACP, &info) && info.MaxCharSize == 2)
        textbytes::UseDoubleByteCodePage(IsLeadByteOfCodePage);
}

// Room for the longest name inside the program's folder (the help's pictures, such as
// "help\\images\\dropped-folder.png", have up to 30 characters), with some to spare.
constexpr size_t kLongestNameInProgramFolder = 40;

// False when the program's folder has a path too long for the paths the program makes in it:
// a path cut short would read and write in the wrong place.
bool StoreModuleDirectory()
{
    char szPath[MAX_PATH] = {};
    char szDrive[_MAX_DRIVE] = {};
    char szDir[_MAX_DIR] = {};
    const DWORD nLength = GetModuleFileNameA(nullptr, szPath, sizeof(szPath));
    if (nLength == 0 || nLength >= sizeof(szPath))
        return false;
    _splitpath(szPath, szDrive, szDir, nullptr, nullptr);
    if (strlen(szDrive) + strlen(szDir) + kLongestNameInProgramFolder >= MAX_PATH)
        return false;
    _makepath(g_szModuleDir, szDrive, szDir, nullptr, nullptr);
    return true;
}

} // namespace

BOOL CVarnelloApp::InitInstance()
{
    // Before anything that touches the user's files: the start-up clean-up below would delete
    // a running instance's intermediate file.
    m_instance = std::make_unique<SingleInstance>();
    if (!m_instance->IsFirst())
        return FALSE;
    AfxEnableControlContainer(); // the page hosts the video-editing control
    Enable3dControls();
    UseProgramCodePage();
    if (!StoreModuleDirectory()) {
        AfxMessageBox("Varnello cannot start from this folder: its path is too long. Move the Varnello folder "
                      "to a shorter path, such as C:\\Varnello.",
                      MB_OK | MB_ICONSTOP);
        return FALSE;
    }
    EnterProgramFolder(g_szModuleDir);
    // Intermediate files of a run that never ended (a crash, a killed program).
    RemoveLeftoverIntermediateFiles(UserDataFolder(false).c_str());
    CoInitialize(nullptr);
    m_videoEditComponent = RegisterVideoEditComponent();

    g_skin.CreateDispatch("SkinCrafter.SCSkin");
    g_skin.InvokeHelper(17, DISPATCH_METHOD, VT_EMPTY, nullptr, VTS_I4, 0L);
    g_skin.InvokeHelper(1, DISPATCH_METHOD, VT_EMPTY, nullptr, VTS_I4, 1L);
    g_skin.InvokeHelper(2, DISPATCH_METHOD, VT_EMPTY, nullptr, VTS_BSTR, "Durer.skf");
    g_skin.InvokeHelper(18, DISPATCH_METHOD, VT_EMPTY, nullptr, VTS_NONE);

    CMainFrameDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;
    // FALSE: the dialog has closed, so the application ends instead of running a message loop.
    return FALSE;
}

int CVarnelloApp::ExitInstance()
{
    g_skin.InvokeHelper(7, DISPATCH_METHOD, VT_EMPTY, nullptr, VTS_NONE);
    m_videoEditComponent.Revoke();
    return CWinApp::ExitInstance();
}
