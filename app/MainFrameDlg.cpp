// The frame dialog: size, icon, help command, closing.
#include "app/MainFrameDlg.h"

#include <string.h>

#include <memory>

#include "app/SingleInstance.h"
#include "app/VarnelloApp.h"
#include "res/resource.h"
#include "ui/HelpInBrowser.h"

CMainFrameDlg* g_pMainFrame = nullptr;

namespace {

// Outer size of the frame; the template's size is only a placeholder.
constexpr int kFrameWidth = 692;
constexpr int kFrameHeight = 560;
// The page is taller than the frame's client area: its lower edge is clipped below the
// lowest control.
constexpr int kPageLeft = 2;
constexpr int kPageTop = 2;
constexpr int kPageWidth = 669;
constexpr int kPageHeight = 578;

} // namespace

BEGIN_MESSAGE_MAP(CMainFrameDlg, CDialog)
    ON_COMMAND(ID_HELP, OnHelp)
    ON_WM_DESTROY()
    ON_WM_CLOSE()
END_MESSAGE_MAP()

CMainFrameDlg::CMainFrameDlg() : CDialog(IDD_MAINFRAME), m_hIcon(AfxGetApp()->LoadIcon(IDR_MAINFRAME))
{
}

void CMainFrameDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
}

BOOL CMainFrameDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
    g_pMainFrame = this;
    SingleInstance::MarkFrame(m_hWnd);
    SetWindowPos(nullptr, 0, 0, kFrameWidth, kFrameHeight, SWP_NOZORDER | SWP_NOMOVE);
    PageContext context;
    context.strProgramDir = g_szModuleDir;
    context.strProductName = g_strProductName;
    context.pSkin = &g_skin;
    context.pCaptionWindow = this;
    context.registerVideoControl = [] {
        return std::make_shared<VideoEditRegistration>(RegisterVideoEditComponent());
    };
    m_dlgMain.SetContext(context);
    m_dlgMain.Create(IDD_MAINPAGE, this);
    m_dlgMain.MoveWindow(kPageLeft, kPageTop, kPageWidth, kPageHeight, TRUE);
    m_dlgMain.ShowWindow(SW_SHOW);
    g_skin.InvokeHelper(6, DISPATCH_METHOD, VT_EMPTY, nullptr, VTS_I4 VTS_I4,
                        static_cast<long>(reinterpret_cast<LONG_PTR>(m_dlgMain.m_hWnd)), 0L);
    return TRUE;
}

void CMainFrameDlg::OnHelp()
{
    // Under Wine the compiled help would open on an empty page: show the same guide in the
    // desktop's browser instead.
    if (RunningUnderWine() && OpenHelpPageInDesktopBrowser(m_hWnd, g_szModuleDir))
        return;
    char szHelpPath[1000];
    lstrcpynA(szHelpPath, g_szModuleDir, sizeof(szHelpPath));
    strncat(szHelpPath, "//Help.chm", sizeof(szHelpPath) - strlen(szHelpPath) - 1);
    AfxSeamShellExecute(m_hWnd, nullptr, szHelpPath, nullptr, nullptr, SW_SHOWMAXIMIZED);
}

void CMainFrameDlg::OnDestroy()
{
    CDialog::OnDestroy();
    if (m_dlgMain.IsConverting())
        m_dlgMain.StopConversion(true);
}

void CMainFrameDlg::OnClose()
{
    // A conversion never outlives the window: the encoder is told to quit first.
    if (m_dlgMain.IsConverting())
        m_dlgMain.StopConversion(true);
    // The default processing turns WM_CLOSE into Cancel, which ends the modal loop.
    CDialog::OnClose();
}
