// Windows, controls and dialogs used by the window-layer tests. Every handler appends a line
// to the shared log, so a test can check which object saw a message and in which order.
#pragma once

#include <string>
#include <vector>

#include "framework/AfxWin.h"
#include "framework/tests/window_test_ids.h"

std::vector<std::string>& TestLog();
bool LogHas(const std::string& line);
int LogCount(const std::string& line);
int LogIndex(const std::string& line); // first position, -1 when absent

extern UINT WM_TEST_REGISTERED;
constexpr UINT WM_TEST_PRIVATE = WM_APP + 5;

// A button that sees its own messages first: reflected clicks (passed on to the parent),
// BM_SETSTYLE (kept owner-drawn), and the modal loop's PreTranslateMessage.
class CTestButton : public CButton {
public:
    int m_nPreSubclassCalls = 0;
    UINT m_nStyleSeen = 0;
    void PreSubclassWindow() override;
    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    BOOL OnReflectedClick();
    LRESULT OnSetStyle(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()
};

// An edit that drops the letter x and gives every other character its default processing.
class CTestEdit : public CEdit {
protected:
    void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
    DECLARE_MESSAGE_MAP()
};

class CTestOwnerDraw : public CButton {
public:
    int m_nDrawCalls = 0;
    DRAWITEMSTRUCT m_lastDraw{};
    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;
};

// An owner-data report list that answers its own display requests.
class CTestList : public CListCtrl {
public:
    int m_nCustomDrawCalls = 0;

protected:
    void OnCustomDraw(NMHDR* pNMHDR, LRESULT* pResult);
    void OnGetDispInfo(NMHDR* pNMHDR, LRESULT* pResult);
    DECLARE_MESSAGE_MAP()
};

class CTestStatic : public CStatic {
public:
    CBrush m_brush{RGB(1, 2, 3)};

protected:
    void OnReflectedClicked();
    HBRUSH CtlColor(CDC* pDC, UINT nCtlColor);
    DECLARE_MESSAGE_MAP()
};

// A control with its own window class, registered when the object is constructed.
class CTestControl : public CWnd {
public:
    static constexpr const char* kClassName = "VarnelloTestControl";
    CTestControl();
    CPoint m_ptLastDown;
    int m_nCreateCalls = 0;
    int m_nPaintCalls = 0;

protected:
    int OnCreate(LPCREATESTRUCT lpCreateStruct);
    void OnPaint();
    UINT OnGetDlgCode();
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    DECLARE_MESSAGE_MAP()
};

class CTestPage : public CPropertyPage {
public:
    CTestPage() : CPropertyPage(IDD_TEST_PAGE) {}
    CTestButton m_btnGo;
    CTestOwnerDraw m_btnDrawn;
    CTestEdit m_edit;
    CComboBox m_combo;
    CTestList m_list;
    CTestControl m_custom;
    CTestStatic m_static;
    bool m_bConsumeEnterEscape = true;
    UINT m_nLastRangeId = 0;
    LRESULT m_nListClickResult = 0;

    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void OnGo();
    void OnRange(UINT nID);
    void OnOutside();
    void OnListClick(NMHDR* pNMHDR, LRESULT* pResult);
    void OnListCustomDraw(NMHDR* pNMHDR, LRESULT* pResult);
    void OnStaticClicked();
    void OnHelpCommand();
    LRESULT OnRegistered(WPARAM wParam, LPARAM lParam);
    LRESULT OnPrivate(WPARAM wParam, LPARAM lParam);
    void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct);
    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    DECLARE_MESSAGE_MAP()
};

// A message the frame posts once it is initialised; nTarget: 0 the frame, -1 the page,
// else the id of a control of the page.
struct TestPost {
    int nTarget;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// A frame that holds the page as a modeless child and runs a script of posted messages
// once its modal loop is running.
class CTestFrame : public CDialog {
public:
    CTestFrame() : CDialog(IDD_TEST_FRAME) {}
    CTestPage m_page;
    std::vector<TestPost> m_script; // posted after OnInitDialog, in order
    bool m_bEndInInit = false;    // EndDialog(55) from OnInitDialog
    bool m_bWasVisible = false;   // seen visible while the script ran
    CRect m_rcPage;               // the page in the frame's client area, at the finish
    DWORD m_dwPageStyle = 0;
    bool m_bPageParentIsFrame = false;
    bool m_bResizeInInit = false; // resize to 200 x 100 without moving, as the program's frame does
    CRect m_rcWindow;             // the frame on the screen, at the finish

protected:
    BOOL OnInitDialog() override;
    LRESULT OnFinish(WPARAM wParam, LPARAM lParam);
    void OnHelpCommand();
    DECLARE_MESSAGE_MAP()
};

constexpr UINT WM_TEST_FINISH = WM_APP + 9; // wParam: EndDialog's value
