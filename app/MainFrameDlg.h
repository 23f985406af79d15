// The frame: the program's one top-level window, a modal dialog from template 190 that
// sizes itself and will hold the main page.
#pragma once

#include "framework/AfxWin.h"

class CMainFrameDlg : public CDialog {
public:
    CMainFrameDlg();

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnHelp();
    void OnDestroy();
    void OnClose();
    DECLARE_MESSAGE_MAP()

private:
    HICON m_hIcon;
};

// The frame, once it exists; the page sets its caption through it.
extern CMainFrameDlg* g_pMainFrame;
