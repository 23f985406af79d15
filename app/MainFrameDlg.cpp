// The frame dialog: size, icon, help command, closing.
#include "app/MainFrameDlg.h"

#include <string.h>

#include <memory>

#include "app/SingleInstance.h"
#include "app/VarnelloApp.h"
#include "framework/Dpi.h"
#include "framework/DpiScale.h"
#include "res/resource.h"
#include "ui/HelpInBrowser.h"

CMainFrameDlg* g_pMainFrame = nullptr;

namespace {

// Outer size of the frame at 96 dpi (times the display scale at others); the template's size
// is only a placeholder.
constexpr int kFrameWidth = 692;
constexpr int kFrameHeight = 560;
// The page is taller than the frame's client area: its lower edge is clipped below the
// lowest control.
constexpr int kPageLeft = 2;
constexpr int kPageTop = 2;
constexpr int kPageWidth = 669;
constexpr int kPageHeight = 578;

dpiscale::Box PageBox(int dpi)
{
    return dpiscale::ScaleBox({kPageLeft, kPageTop, kPageWidth, kPageHeight}, dpi);
}

} // namespace

BEGIN_MESSAGE_MAP(CMainFrameDlg, CDialog)
    ON_COMMAND(ID_HELP, OnHelp)
    ON_WM_DESTROY()
    ON_WM_CLOSE()
    ON_MESSAGE(WM_DPICHANGED, OnDpiChanged)
    ON_WM_SYSCOMMAND()
    ON_CONTROL_RANGE(0, TasksAtOnceMenu::kFirstChoiceId, TasksAtOnceMenu::kLastChoiceId, OnMenuChoice)
    ON_MESSAGE(WM_INITMENUPOPUP, OnInitMenuPopup)
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
    // The frame and the page lay themselves out for each scale, the dialog manager not.
    dpi::TakeOverDialogScaling(m_hWnd);
    m_nDpi = dpi::ForWindow(m_hWnd);
    SetWindowPos(nullptr, 0, 0, dpiscale::Scale(kFrameWidth, m_nDpi), dpiscale::Scale(kFrameHeight, m_nDpi),
                 SWP_NOZORDER | SWP_NOMOVE);
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
    dpi::TakeOverDialogScaling(m_dlgMain.m_hWnd);
    const dpiscale::Box page = PageBox(m_nDpi);
    m_dlgMain.MoveWindow(page.x, page.y, page.cx, page.cy, TRUE);
    m_dlgMain.ShowWindow(SW_SHOW);
    SYSTEM_INFO system{};
    GetSystemInfo(&system);
    m_tasksAtOnceMenu.Attach(m_hWnd,
                             {[this] { return m_dlgMain.TasksAtOnceSetting(); },
                              [this](const std::string& setting) { m_dlgMain.SetTasksAtOnceSetting(setting); },
                              [this] { return m_dlgMain.IsConverting(); }},
                             static_cast<int>(system.dwNumberOfProcessors));
    g_skin.InvokeHelper(6, DISPATCH_METHOD, VT_EMPTY, nullptr, VTS_I4 VTS_I4,
                        static_cast<long>(reinterpret_cast<LONG_PTR>(m_dlgMain.m_hWnd)), 0L);
    return TRUE;
}

LRESULT CMainFrameDlg::OnDpiChanged(WPARAM wParam, LPARAM lParam)
{
    // wParam carries the new dpi (the same across and down); lParam the rectangle Windows
    // suggests for the window at that scale, which it is given as it is, so that the window
    // stays on the monitor it was moved to.
    m_nDpi = dpiscale::Usable(LOWORD(wParam));
    if (const auto* pSuggested = reinterpret_cast<const RECT*>(lParam)) {
        SetWindowPos(nullptr, pSuggested->left, pSuggested->top, pSuggested->right - pSuggested->left,
                     pSuggested->bottom - pSuggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (m_dlgMain.m_hWnd) {
        const dpiscale::Box page = PageBox(m_nDpi);
        m_dlgMain.MoveWindow(page.x, page.y, page.cx, page.cy, TRUE);
        m_dlgMain.ApplyDpi(m_nDpi);
    }
    return 0;
}

void CMainFrameDlg::OnSysCommand(UINT nID, LPARAM lParam)
{
    if (!m_tasksAtOnceMenu.OnChoice(nID))
        CDialog::OnSysCommand(nID, lParam);
}

void CMainFrameDlg::OnMenuChoice(UINT nID)
{
    m_tasksAtOnceMenu.OnChoice(nID);
}

LRESULT CMainFrameDlg::OnInitMenuPopup(WPARAM wParam, LPARAM)
{
    m_tasksAtOnceMenu.OnInitMenuPopup(reinterpret_cast<HMENU>(wParam));
    return Default();
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
