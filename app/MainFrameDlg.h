// The frame: the program's one top-level window, a modal dialog from template 190 that
// sizes itself and holds the main page.
#pragma once

#include "app/TasksAtOnceMenu.h"
#include "framework/AfxWin.h"
#include "ui/VarnelloDlg.h"

class CMainFrameDlg : public CDialog {
public:
    CMainFrameDlg();

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnHelp();
    void OnDestroy();
    void OnClose();
    // The window moved to a monitor of another scale (or that monitor's scale changed).
    LRESULT OnDpiChanged(WPARAM wParam, LPARAM lParam);
    void OnSysCommand(UINT nID, LPARAM lParam);
    void OnMenuChoice(UINT nID);
    LRESULT OnInitMenuPopup(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    CVarnelloDlg m_dlgMain; // the main page, a child window filling the frame
    HICON m_hIcon;
    int m_nDpi = 96; // the display scale the frame is laid out for
    TasksAtOnceMenu m_tasksAtOnceMenu;
};

// The frame, once it exists; the page sets its caption through it.
extern CMainFrameDlg* g_pMainFrame;
