// CDialog: template loading, the modal loop, initialisation (dialog-init resource and data
// exchange), and DDX_Control.
#include "framework/Dialog.h"
#include "framework/OleControlContainer.h"

#include "framework/WinApp.h"

// ============================================================================================
// Data exchange
// ============================================================================================

HWND CDataExchange::PrepareCtrl(int nIDC)
{
    HWND hWndCtrl = ::GetDlgItem(m_pDlgWnd->m_hWnd, nIDC);
    if (!hWndCtrl) {
        OutputDebugStringA("Varnello: DDX names a control the dialog does not have\n");
        throw CDataExchangeFailure();
    }
    return hWndCtrl;
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl)
{
    if (rControl.m_hWnd)
        return; // bound already
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (!rControl.SubclassWindow(hWndCtrl)) {
        OutputDebugStringA("Varnello: DDX_Control could not subclass a control\n");
        throw CDataExchangeFailure();
    }
}

// ============================================================================================
// CDialog
// ============================================================================================

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, OnOK)
    ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

namespace {

// Dialog procedure of every dialog: the object's window procedure (installed at creation)
// handles the messages, so the dialog manager's own processing is the default.
INT_PTR CALLBACK AfxDlgProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

} // namespace

CDialog::~CDialog()
{
    if (m_hWnd && FromHandlePermanent(m_hWnd) == this)
        DestroyWindow();
}

const DLGTEMPLATE* CDialog::LoadTemplate(UINT nIDTemplate) const
{
    HINSTANCE hInst = AfxGetResourceHandle();
    HRSRC hResource = ::FindResourceA(hInst, MAKEINTRESOURCEA(nIDTemplate), MAKEINTRESOURCEA(5) /* RT_DIALOG */);
    if (!hResource)
        return nullptr;
    HGLOBAL hTemplate = ::LoadResource(hInst, hResource);
    return hTemplate ? static_cast<const DLGTEMPLATE*>(::LockResource(hTemplate)) : nullptr;
}

BOOL CDialog::CreateFromTemplate(UINT nIDTemplate, HWND hWndParent)
{
    const DLGTEMPLATE* pTemplate = LoadTemplate(nIDTemplate);
    if (!pTemplate || m_hWnd)
        return FALSE;
    m_nIDTemplate = nIDTemplate;
    AfxHookWindowCreate(this);
    HWND hWnd = ::CreateDialogIndirectParamA(AfxGetInstanceHandle(), pTemplate, hWndParent, AfxDlgProc, 0);
    AfxUnhookWindowCreate();
    if (!hWnd) {
        Detach();
        return FALSE;
    }
    return m_hWnd == hWnd;
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd)
{
    if (pParentWnd)
        m_pParentWnd = pParentWnd;
    HWND hWndParent = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
    return CreateFromTemplate(nIDTemplate, hWndParent);
}

INT_PTR CDialog::DoModal()
{
    // The owner: the given parent's top-level window, else the application's main window
    // when it is another window that exists.
    HWND hWndOwner = nullptr;
    if (m_pParentWnd && m_pParentWnd->m_hWnd) {
        hWndOwner = m_pParentWnd->GetTopLevelParent()->m_hWnd;
    } else if (CWnd* pMainWnd = AfxGetMainWnd(); pMainWnd && pMainWnd != this && pMainWnd->m_hWnd) {
        hWndOwner = pMainWnd->m_hWnd;
    }
    bool bEnableOwner = false;
    if (hWndOwner && ::IsWindowEnabled(hWndOwner)) {
        ::EnableWindow(hWndOwner, FALSE);
        bEnableOwner = true;
    }

    m_nModalResult = -1;
    m_bEndModal = false;
    m_bModal = true;
    if (CreateFromTemplate(m_nIDTemplate, hWndOwner))
        RunModalLoop();
    m_bModal = false;

    if (m_hWnd) // hide first, so that re-enabling the owner does not flash
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
    if (bEnableOwner)
        ::EnableWindow(hWndOwner, TRUE);
    if (hWndOwner && ::GetActiveWindow() == m_hWnd)
        ::SetActiveWindow(hWndOwner);
    DestroyWindow();
    return m_nModalResult;
}

void CDialog::RunModalLoop()
{
    // A dialog that OnInitDialog has not ended appears now, before its first message.
    if (!m_bEndModal && !(GetStyle() & WS_VISIBLE)) {
        ShowWindow(SW_SHOWNORMAL);
        UpdateWindow();
    }
    m_bInModalLoop = true;
    // Messages are taken in their wide form, so that a Unicode window (an edit people type
    // into) gets typed characters as typed; an ANSI window gets the ANSI form on dispatch.
    MSG msg;
    while (!m_bEndModal) {
        const BOOL bGot = ::GetMessageW(&msg, nullptr, 0, 0);
        if (bGot == 0) {
            // WM_QUIT ends the modal loop and is passed on to the outer loop.
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (bGot == -1)
            break;
        if (!WalkPreTranslateTree(m_hWnd, &msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    m_bInModalLoop = false;
}

void CDialog::EndDialog(int nResult)
{
    m_nModalResult = nResult;
    m_bEndModal = true;
    if (m_bModal) {
        // The modal loop sees the flag (also when OnInitDialog ends the dialog early).
        if (m_bInModalLoop)
            ::PostMessageA(m_hWnd, WM_NULL, 0, 0);
        return;
    }
    // A modeless dialog is hidden, as the dialog manager does.
    if (m_hWnd)
        ::EndDialog(m_hWnd, nResult);
}

BOOL CDialog::PreTranslateMessage(MSG* pMsg)
{
    // Keyboard and mouse input for the dialog and its controls: tab and arrow navigation,
    // default and cancel buttons, mnemonics.
    const bool bInput = (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST) ||
                        (pMsg->message >= WM_MOUSEFIRST && pMsg->message <= WM_MOUSELAST);
    return bInput && ::IsDialogMessageW(m_hWnd, pMsg);
}

LRESULT CDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG)
        return HandleInitDialog();
    return CWnd::WindowProc(message, wParam, lParam);
}

LRESULT CDialog::HandleInitDialog()
{
    CRect rcBefore;
    GetWindowRect(rcBefore);
    const DWORD dwStyleBefore = GetStyle();

    // ActiveX controls take their placeholders' places before DoDataExchange binds them.
    AfxCreateDialogControls(m_hWnd, this, GetEventSinkMap());
    const BOOL bResult = OnInitDialog();

    // A hidden top-level dialog that OnInitDialog did not move is centred over its owner
    // (or the screen).
    CRect rcAfter;
    if (m_hWnd && !(dwStyleBefore & WS_VISIBLE) && !(GetStyle() & (WS_VISIBLE | WS_CHILD))) {
        GetWindowRect(rcAfter);
        if (rcAfter.left == rcBefore.left && rcAfter.top == rcBefore.top)
            CenterWindow();
    }
    return bResult;
}

BOOL CDialog::OnInitDialog()
{
    if (!ExecuteDlgInit(m_nIDTemplate) || !UpdateData(FALSE)) {
        EndDialog(-1);
        return FALSE;
    }
    return TRUE; // focus to the first control
}

void CDialog::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

void CDialog::DoDataExchange(CDataExchange*)
{
}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate)
{
    CDataExchange dx(this, bSaveAndValidate);
    try {
        DoDataExchange(&dx);
    } catch (const CDataExchangeFailure&) {
        return FALSE;
    }
    return TRUE;
}

void CDialog::GotoDlgCtrl(CWnd* pWndCtrl)
{
    ::SendMessageA(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(pWndCtrl->m_hWnd), 1);
}

BOOL CDialog::ExecuteDlgInit(UINT nIDTemplate)
{
    // Resource type 240: records of (WORD control id, WORD message, DWORD length, bytes),
    // ended by a zero control id. Message 0x403 (the 16-bit CB_ADDSTRING) and 0x1234 add a
    // string to a combo box, 0x401 (the 16-bit LB_ADDSTRING) to a list box.
    HINSTANCE hInst = AfxGetResourceHandle();
    HRSRC hResource = ::FindResourceA(hInst, MAKEINTRESOURCEA(nIDTemplate), MAKEINTRESOURCEA(240));
    if (!hResource)
        return TRUE; // nothing to apply
    HGLOBAL hData = ::LoadResource(hInst, hResource);
    const BYTE* p = hData ? static_cast<const BYTE*>(::LockResource(hData)) : nullptr;
    if (!p)
        return TRUE;
    const BYTE* const pEnd = p + ::SizeofResource(hInst, hResource);
    BOOL bOk = TRUE;
    while (p + sizeof(WORD) <= pEnd) {
        WORD nIDC, nMsg;
        DWORD dwLength;
        memcpy(&nIDC, p, sizeof(WORD));
        if (nIDC == 0)
            break;
        if (p + 2 * sizeof(WORD) + sizeof(DWORD) > pEnd) {
            bOk = FALSE;
            break;
        }
        memcpy(&nMsg, p + 2, sizeof(WORD));
        memcpy(&dwLength, p + 4, sizeof(DWORD));
        p += 8;
        if (dwLength > static_cast<DWORD>(pEnd - p)) {
            bOk = FALSE;
            break;
        }
        // The text must end inside its record; never read past it.
        CString strText(reinterpret_cast<const char*>(p), static_cast<int>(dwLength));
        strText.ReleaseBuffer(-1);
        if (nMsg == 0x403 || nMsg == 0x1234) {
            if (::SendDlgItemMessageA(m_hWnd, nIDC, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(strText.GetString())) < 0)
                bOk = FALSE;
        } else if (nMsg == 0x401) {
            if (::SendDlgItemMessageA(m_hWnd, nIDC, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(strText.GetString())) < 0)
                bOk = FALSE;
        }
        p += dwLength;
    }
    return bOk;
}
