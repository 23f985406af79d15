// CDialog: a dialog from a template in the executable's resources, modal (DoModal runs the
// layer's own loop, so every message first passes PreTranslateMessage of the target's
// object and its parents' objects) or modeless (Create). CDataExchange and DDX_Control bind
// template controls to member objects when the dialog initialises.
#pragma once

#include <windows.h>

#include "framework/Wnd.h"

class CDialog;

class CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate) : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}
    BOOL m_bSaveAndValidate;
    CWnd* m_pDlgWnd;
    // The window of control nIDC; fails (throws) when the template has no such control.
    HWND PrepareCtrl(int nIDC);
};

// Subclasses template control nIDC to rControl, once: afterwards the control's messages go
// through rControl's message map first.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);

// Thrown by DDX when a control is missing; caught by UpdateData.
struct CDataExchangeFailure {};

class CDialog : public CWnd {
public:
    CDialog() = default;
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr)
        : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd) {}
    ~CDialog() override;

    // Shows the dialog and runs its modal loop until EndDialog; the value given to EndDialog,
    // or -1 when the dialog could not be created.
    virtual INT_PTR DoModal();
    // Creates the dialog modeless (a child when the template says WS_CHILD).
    virtual BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    void EndDialog(int nResult);

    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    virtual void DoDataExchange(CDataExchange* pDX);
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

    BOOL PreTranslateMessage(MSG* pMsg) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    void GotoDlgCtrl(CWnd* pWndCtrl);
    void NextDlgCtrl() const { ::SendMessageA(m_hWnd, WM_NEXTDLGCTL, 0, 0); }
    void SetDefID(UINT nID) { ::SendMessageA(m_hWnd, DM_SETDEFID, nID, 0); }
    // Applies the template's dialog-initialisation resource (type 240): strings added to
    // list and combo boxes. FALSE when the resource is malformed.
    BOOL ExecuteDlgInit(UINT nIDTemplate);
    bool IsInModalLoop() const { return m_bInModalLoop; }

    UINT m_nIDTemplate = 0;
    CWnd* m_pParentWnd = nullptr;

protected:
    DECLARE_MESSAGE_MAP()

private:
    const DLGTEMPLATE* LoadTemplate(UINT nIDTemplate) const;
    BOOL CreateFromTemplate(UINT nIDTemplate, HWND hWndParent);
    LRESULT HandleInitDialog();
    void RunModalLoop();

    INT_PTR m_nModalResult = -1;
    bool m_bInModalLoop = false;
    bool m_bEndModal = false;
    bool m_bModal = false;
};
