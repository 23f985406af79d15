// Window-layer test classes: message maps that record what reaches them.
#include "framework/tests/window_test_classes.h"

#include <algorithm>

std::vector<std::string>& TestLog()
{
    static std::vector<std::string> log;
    return log;
}

bool LogHas(const std::string& line) { return LogIndex(line) >= 0; }

int LogCount(const std::string& line)
{
    return static_cast<int>(std::count(TestLog().begin(), TestLog().end(), line));
}

int LogIndex(const std::string& line)
{
    auto it = std::find(TestLog().begin(), TestLog().end(), line);
    return it == TestLog().end() ? -1 : static_cast<int>(it - TestLog().begin());
}

UINT WM_TEST_REGISTERED = ::RegisterWindowMessageA("VarnelloFrameworkTestRegistered");

// --- CTestButton ---------------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CTestButton, CButton)
    ON_CONTROL_REFLECT_EX(BN_CLICKED, OnReflectedClick)
    ON_MESSAGE(BM_SETSTYLE, OnSetStyle)
END_MESSAGE_MAP()

void CTestButton::PreSubclassWindow()
{
    ++m_nPreSubclassCalls;
    TestLog().push_back(m_hWnd ? "button:presubclass-bound" : "button:presubclass-unbound");
}

BOOL CTestButton::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_KEYDOWN)
        TestLog().push_back("button:pretranslate-key-" + std::to_string(pMsg->wParam));
    return CButton::PreTranslateMessage(pMsg);
}

BOOL CTestButton::OnReflectedClick()
{
    TestLog().push_back("button:reflected-click");
    return FALSE; // the parent sees the click too
}

LRESULT CTestButton::OnSetStyle(WPARAM wParam, LPARAM lParam)
{
    m_nStyleSeen = static_cast<UINT>(wParam);
    // Whatever the dialog manager asks for, the button stays owner-drawn.
    return DefWindowProc(BM_SETSTYLE, (wParam & ~0x1Fu) | BS_OWNERDRAW, lParam);
}

// --- CTestEdit --------------------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CTestEdit, CEdit)
    ON_WM_CHAR()
END_MESSAGE_MAP()

void CTestEdit::OnChar(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    if (nChar == 'x')
        return;
    CEdit::OnChar(nChar, nRepCnt, nFlags);
}

// --- CTestOwnerDraw -------------------------------------------------------------------------------

void CTestOwnerDraw::DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct)
{
    ++m_nDrawCalls;
    m_lastDraw = *lpDrawItemStruct;
    CDC dc(lpDrawItemStruct->hDC);
    dc.FillSolidRect(&lpDrawItemStruct->rcItem, RGB(200, 10, 10));
}

// --- CTestList ---------------------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CTestList, CListCtrl)
    ON_NOTIFY_REFLECT(NM_CUSTOMDRAW, OnCustomDraw)
    ON_NOTIFY_REFLECT(LVN_GETDISPINFOA, OnGetDispInfo)
END_MESSAGE_MAP()

void CTestList::OnCustomDraw(NMHDR* pNMHDR, LRESULT* pResult)
{
    ++m_nCustomDrawCalls;
    const auto* pDraw = reinterpret_cast<NMLVCUSTOMDRAW*>(pNMHDR);
    *pResult = pDraw->nmcd.dwDrawStage == CDDS_PREPAINT ? CDRF_NOTIFYITEMDRAW : CDRF_DODEFAULT;
}

void CTestList::OnGetDispInfo(NMHDR* pNMHDR, LRESULT* pResult)
{
    auto* pInfo = reinterpret_cast<NMLVDISPINFOA*>(pNMHDR);
    if (pInfo->item.mask & LVIF_TEXT) {
        CString strText;
        strText.Format("row %d col %d", pInfo->item.iItem, pInfo->item.iSubItem);
        lstrcpynA(pInfo->item.pszText, strText, pInfo->item.cchTextMax);
    }
    *pResult = 0;
}

// --- CTestStatic -------------------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CTestStatic, CStatic)
    ON_CONTROL_REFLECT(STN_CLICKED, OnReflectedClicked)
    ON_WM_CTLCOLOR_REFLECT()
END_MESSAGE_MAP()

void CTestStatic::OnReflectedClicked()
{
    TestLog().push_back("static:reflected-click");
}

HBRUSH CTestStatic::CtlColor(CDC* pDC, UINT nCtlColor)
{
    TestLog().push_back("static:ctlcolor-" + std::to_string(nCtlColor));
    pDC->SetBkMode(TRANSPARENT);
    return m_brush;
}

// --- CTestControl --------------------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CTestControl, CWnd)
    ON_WM_CREATE()
    ON_WM_PAINT()
    ON_WM_GETDLGCODE()
    ON_WM_LBUTTONDOWN()
    ON_WM_KEYDOWN()
END_MESSAGE_MAP()

CTestControl::CTestControl()
{
    WNDCLASSA wc{};
    wc.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    wc.lpfnWndProc = ::DefWindowProcA; // the framework routes messages to the object
    wc.hInstance = AfxGetInstanceHandle();
    wc.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = kClassName;
    if (!AfxRegisterClass(&wc))
        AfxThrowResourceException();
}

int CTestControl::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    ++m_nCreateCalls;
    TestLog().push_back(std::string("control:create-") + lpCreateStruct->lpszName);
    return 0;
}

void CTestControl::OnPaint()
{
    CPaintDC dc(this);
    ++m_nPaintCalls;
    CRect rc;
    GetClientRect(rc);
    dc.FillSolidRect(rc, RGB(0, 128, 255));
}

UINT CTestControl::OnGetDlgCode()
{
    return DLGC_WANTARROWS;
}

void CTestControl::OnLButtonDown(UINT nFlags, CPoint point)
{
    m_ptLastDown = point;
    TestLog().push_back("control:lbuttondown-" + std::to_string(nFlags));
    CWnd::OnLButtonDown(nFlags, point);
}

void CTestControl::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    TestLog().push_back("control:keydown-" + std::to_string(nChar));
    CWnd::OnKeyDown(nChar, nRepCnt, nFlags);
}

// --- CTestPage ---------------------------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CTestPage, CPropertyPage)
    ON_BN_CLICKED(IDC_GO, OnGo)
    ON_CONTROL_RANGE(BN_CLICKED, IDC_RANGE_FIRST, IDC_RANGE_LAST, OnRange)
    ON_BN_CLICKED(IDC_OUTSIDE_RANGE, OnOutside)
    ON_NOTIFY(NM_CLICK, IDC_LIST, OnListClick)
    ON_NOTIFY(NM_CUSTOMDRAW, IDC_LIST, OnListCustomDraw)
    ON_CONTROL(STN_CLICKED, IDC_NOTIFY_STATIC, OnStaticClicked)
    ON_COMMAND(ID_HELP, OnHelpCommand)
    ON_REGISTERED_MESSAGE(WM_TEST_REGISTERED, OnRegistered)
    ON_MESSAGE(WM_TEST_PRIVATE, OnPrivate)
    ON_WM_DRAWITEM()
    ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

void CTestPage::DoDataExchange(CDataExchange* pDX)
{
    CPropertyPage::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_GO, m_btnGo);
    DDX_Control(pDX, IDC_OWNERDRAW, m_btnDrawn);
    DDX_Control(pDX, IDC_EDIT, m_edit);
    DDX_Control(pDX, IDC_COMBO, m_combo);
    DDX_Control(pDX, IDC_LIST, m_list);
    DDX_Control(pDX, IDC_CUSTOM, m_custom);
    DDX_Control(pDX, IDC_NOTIFY_STATIC, m_static);
}

BOOL CTestPage::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_KEYDOWN) {
        TestLog().push_back("page:pretranslate-key-" + std::to_string(pMsg->wParam));
        if (m_bConsumeEnterEscape && (pMsg->wParam == VK_RETURN || pMsg->wParam == VK_ESCAPE))
            return TRUE;
    }
    return CPropertyPage::PreTranslateMessage(pMsg);
}

void CTestPage::OnGo() { TestLog().push_back("page:go"); }
void CTestPage::OnRange(UINT nID) { m_nLastRangeId = nID; TestLog().push_back("page:range-" + std::to_string(nID)); }
void CTestPage::OnOutside() { TestLog().push_back("page:outside"); }
void CTestPage::OnStaticClicked() { TestLog().push_back("page:static-click"); }
void CTestPage::OnHelpCommand() { TestLog().push_back("page:help"); }

void CTestPage::OnListClick(NMHDR* pNMHDR, LRESULT* pResult)
{
    TestLog().push_back("page:list-click-" + std::to_string(pNMHDR->idFrom));
    *pResult = m_nListClickResult;
}

void CTestPage::OnListCustomDraw(NMHDR*, LRESULT* pResult)
{
    TestLog().push_back("page:list-customdraw");
    *pResult = CDRF_DODEFAULT;
}

LRESULT CTestPage::OnRegistered(WPARAM wParam, LPARAM lParam)
{
    TestLog().push_back("page:registered");
    return static_cast<LRESULT>(wParam) * 1000 + lParam;
}

LRESULT CTestPage::OnPrivate(WPARAM wParam, LPARAM lParam)
{
    TestLog().push_back("page:private");
    return static_cast<LRESULT>(wParam) - lParam;
}

void CTestPage::OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct)
{
    TestLog().push_back("page:drawitem-" + std::to_string(nIDCtl));
    CPropertyPage::OnDrawItem(nIDCtl, lpDrawItemStruct);
}

HBRUSH CTestPage::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    TestLog().push_back("page:ctlcolor-" + std::to_string(pWnd ? pWnd->GetDlgCtrlID() : 0) + "-" +
                        std::to_string(nCtlColor));
    return CPropertyPage::OnCtlColor(pDC, pWnd, nCtlColor);
}

// --- CTestFrame -------------------------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CTestFrame, CDialog)
    ON_MESSAGE(WM_TEST_FINISH, OnFinish)
    ON_COMMAND(ID_HELP, OnHelpCommand)
END_MESSAGE_MAP()

void CTestFrame::OnHelpCommand()
{
    TestLog().push_back("frame:help");
}

BOOL CTestFrame::OnInitDialog()
{
    CDialog::OnInitDialog();
    TestLog().push_back("frame:initdialog");
    if (m_bEndInInit) {
        EndDialog(55);
        return TRUE;
    }
    if (m_bResizeInInit)
        SetWindowPos(nullptr, 0, 0, 200, 100, SWP_NOZORDER | SWP_NOMOVE);
    m_page.Create(IDD_TEST_PAGE, this);
    m_page.MoveWindow(2, 2, 400, 300);
    m_page.ShowWindow(SW_SHOW);
    for (const TestPost& post : m_script) {
        HWND hTarget = post.nTarget == 0 ? m_hWnd : post.nTarget == -1 ? m_page.m_hWnd : ::GetDlgItem(m_page.m_hWnd, post.nTarget);
        ::PostMessageA(hTarget, post.message, post.wParam, post.lParam);
    }
    return TRUE;
}

LRESULT CTestFrame::OnFinish(WPARAM wParam, LPARAM)
{
    m_bWasVisible = IsWindowVisible() != FALSE;
    GetWindowRect(m_rcWindow);
    m_page.GetWindowRect(m_rcPage);
    ScreenToClient(m_rcPage);
    m_dwPageStyle = m_page.GetStyle();
    m_bPageParentIsFrame = m_page.GetParent() == this;
    TestLog().push_back("frame:finish");
    EndDialog(static_cast<int>(wParam));
    return 0;
}
