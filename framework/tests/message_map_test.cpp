// Message routing through real windows under Wine: commands by id and by range, WM_NOTIFY by
// id and code, reflection to the control's own object, registered and private messages,
// owner drawing, colour requests, and controls bound with DDX_Control.
#include <gtest/gtest.h>

#include "framework/tests/window_test_classes.h"

namespace {

void PumpPending()
{
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

class MessageMapTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        TestLog().clear();
        ASSERT_TRUE(m_frame.Create(IDD_TEST_FRAME));
        m_frame.ShowWindow(SW_SHOW);
        PumpPending();
        ASSERT_NE(page().m_hWnd, nullptr);
    }

    CTestPage& page() { return m_frame.m_page; }
    HWND item(int nID) { return ::GetDlgItem(page().m_hWnd, nID); }

    // A control's notification, exactly as the control sends it to its parent.
    LRESULT Command(int nID, UINT nCode)
    {
        return ::SendMessageA(page().m_hWnd, WM_COMMAND, MAKEWPARAM(nID, nCode), reinterpret_cast<LPARAM>(item(nID)));
    }
    LRESULT Notify(int nID, UINT nCode)
    {
        NMHDR hdr{item(nID), static_cast<UINT_PTR>(nID), nCode};
        return ::SendMessageA(page().m_hWnd, WM_NOTIFY, nID, reinterpret_cast<LPARAM>(&hdr));
    }

    CTestFrame m_frame;
};

TEST_F(MessageMapTest, CommandsReachTheHandlerOfTheirIdAndRangeHandlersGetTheId)
{
    // A real click on the real button.
    ::SendMessageA(item(IDC_GO), BM_CLICK, 0, 0);
    EXPECT_EQ(LogCount("page:go"), 1);

    Command(1011, BN_CLICKED);
    EXPECT_EQ(page().m_nLastRangeId, 1011u);
    Command(IDC_RANGE_FIRST, BN_CLICKED);
    EXPECT_EQ(page().m_nLastRangeId, static_cast<UINT>(IDC_RANGE_FIRST));
    Command(IDC_RANGE_LAST, BN_CLICKED);
    EXPECT_EQ(page().m_nLastRangeId, static_cast<UINT>(IDC_RANGE_LAST));
    EXPECT_EQ(LogCount("page:range-1010") + LogCount("page:range-1011") + LogCount("page:range-1012"), 3);

    // Just outside the range: its own handler, not the range's.
    Command(IDC_OUTSIDE_RANGE, BN_CLICKED);
    EXPECT_TRUE(LogHas("page:outside"));
    EXPECT_FALSE(LogHas("page:range-1013"));

    // Another notification code of a mapped id reaches nothing.
    TestLog().clear();
    Command(IDC_GO, BN_SETFOCUS);
    Command(1011, BN_KILLFOCUS);
    EXPECT_FALSE(LogHas("page:go"));
    EXPECT_FALSE(LogHas("page:range-1011"));

    // A menu or accelerator command (no control) by id.
    ::SendMessageA(page().m_hWnd, WM_COMMAND, ID_HELP, 0);
    EXPECT_TRUE(LogHas("page:help"));
}

TEST_F(MessageMapTest, NotificationsMatchIdAndCodeAndReturnTheHandlersResult)
{
    page().m_nListClickResult = 42;
    EXPECT_EQ(Notify(IDC_LIST, NM_CLICK), 42);
    EXPECT_TRUE(LogHas("page:list-click-1050"));

    TestLog().clear();
    Notify(IDC_LIST, NM_DBLCLK); // code not mapped
    Notify(IDC_EDIT, NM_CLICK);  // id not mapped
    EXPECT_EQ(LogCount("page:list-click-1050"), 0);
    EXPECT_EQ(LogCount("page:list-click-1030"), 0);
}

TEST_F(MessageMapTest, ReflectedListNotificationsStayWithTheListObject)
{
    // The list view's own painting sends NM_CUSTOMDRAW to the page; the list's object answers
    // and the page's own entry for the same id and code is never reached.
    page().m_list.SetItemCount(3);
    page().m_list.InsertColumn(0, "Column", LVCFMT_LEFT, 100);
    page().m_list.Invalidate();
    page().m_list.UpdateWindow();
    EXPECT_GT(page().m_list.m_nCustomDrawCalls, 0);
    EXPECT_FALSE(LogHas("page:list-customdraw"));

    // The result of the reflected handler is the result the control gets.
    NMLVCUSTOMDRAW draw{};
    draw.nmcd.hdr = {item(IDC_LIST), IDC_LIST, static_cast<UINT>(NM_CUSTOMDRAW)};
    draw.nmcd.dwDrawStage = CDDS_PREPAINT;
    EXPECT_EQ(::SendMessageA(page().m_hWnd, WM_NOTIFY, IDC_LIST, reinterpret_cast<LPARAM>(&draw)), CDRF_NOTIFYITEMDRAW);

    // Owner data: the list asks its parent for the text, the list object fills it in.
    EXPECT_STREQ(page().m_list.GetItemText(2, 0), "row 2 col 0");
}

TEST_F(MessageMapTest, ReflectedCommandsReachTheChildFirstAndTheExFormAlsoTheParent)
{
    ::SendMessageA(item(IDC_GO), BM_CLICK, 0, 0);
    const int nChild = LogIndex("button:reflected-click");
    const int nParent = LogIndex("page:go");
    ASSERT_GE(nChild, 0);
    ASSERT_GE(nParent, 0);
    EXPECT_LT(nChild, nParent);

    // The plain reflected form keeps the notification from the parent.
    Command(IDC_NOTIFY_STATIC, STN_CLICKED);
    EXPECT_TRUE(LogHas("static:reflected-click"));
    EXPECT_FALSE(LogHas("page:static-click"));
}

TEST_F(MessageMapTest, ColourRequestsGoToTheControlThatReflectsThemElseToTheParent)
{
    HDC hdc = ::GetDC(page().m_hWnd);
    const LRESULT brush = ::SendMessageA(page().m_hWnd, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(hdc),
                                         reinterpret_cast<LPARAM>(item(IDC_NOTIFY_STATIC)));
    EXPECT_EQ(reinterpret_cast<HBRUSH>(brush), static_cast<HBRUSH>(page().m_static.m_brush));
    EXPECT_TRUE(LogHas("static:ctlcolor-6")); // CTLCOLOR_STATIC
    EXPECT_FALSE(LogHas("page:ctlcolor-1070-6"));

    ::SendMessageA(page().m_hWnd, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(hdc), reinterpret_cast<LPARAM>(item(IDC_EDIT)));
    EXPECT_TRUE(LogHas("page:ctlcolor-1030-1")); // CTLCOLOR_EDIT
    ::ReleaseDC(page().m_hWnd, hdc);
}

TEST_F(MessageMapTest, RegisteredAndPrivateMessagesCarryTheirArgumentsAndResult)
{
    ASSERT_NE(WM_TEST_REGISTERED, 0u);
    EXPECT_EQ(::SendMessageA(page().m_hWnd, WM_TEST_REGISTERED, 2, 5), 2005);
    EXPECT_EQ(::SendMessageA(page().m_hWnd, WM_TEST_PRIVATE, 10, 3), 7);
    // Another registered message is not taken for this one.
    const UINT nOther = ::RegisterWindowMessageA("VarnelloFrameworkTestSomethingElse");
    TestLog().clear();
    EXPECT_EQ(::SendMessageA(page().m_hWnd, nOther, 2, 5), 0);
    EXPECT_FALSE(LogHas("page:registered"));
}

TEST_F(MessageMapTest, OwnerDrawnButtonDrawsItselfWithTheDrawItemStruct)
{
    CTestOwnerDraw& button = page().m_btnDrawn;
    button.m_nDrawCalls = 0;
    button.Invalidate();
    button.UpdateWindow();
    ASSERT_GT(button.m_nDrawCalls, 0);
    EXPECT_EQ(button.m_lastDraw.CtlType, static_cast<UINT>(ODT_BUTTON));
    EXPECT_EQ(button.m_lastDraw.CtlID, static_cast<UINT>(IDC_OWNERDRAW));
    EXPECT_EQ(button.m_lastDraw.hwndItem, button.m_hWnd);
    CRect rcClient;
    button.GetClientRect(rcClient);
    EXPECT_EQ(CRect(button.m_lastDraw.rcItem), rcClient);
    // The parent's own WM_DRAWITEM handler is not asked for a control that draws itself.
    EXPECT_FALSE(LogHas("page:drawitem-1020"));
    // What DrawItem painted is on the button.
    CClientDC dc(&button);
    EXPECT_EQ(dc.GetPixel(rcClient.Width() / 2, rcClient.Height() / 2), RGB(200, 10, 10));
}

TEST_F(MessageMapTest, BoundControlsSeeTheirOwnMessagesFirst)
{
    CTestButton& button = page().m_btnGo;
    EXPECT_EQ(button.m_nPreSubclassCalls, 1);
    EXPECT_EQ(CWnd::FromHandlePermanent(item(IDC_GO)), &button);
    EXPECT_EQ(page().GetDlgItem(IDC_GO), &button);

    // The dialog manager's BM_SETSTYLE reaches the button object before the button itself,
    // which keeps the control owner-drawn.
    ::SendMessageA(item(IDC_GO), BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    EXPECT_EQ(button.m_nStyleSeen, static_cast<UINT>(BS_DEFPUSHBUTTON));
    EXPECT_EQ(button.GetStyle() & 0x1F, static_cast<DWORD>(BS_OWNERDRAW));

    // A control of its own window class, bound by DDX_Control: its map unpacks the mouse
    // position (negative coordinates included) and answers WM_GETDLGCODE.
    CTestControl& control = page().m_custom;
    ::SendMessageA(item(IDC_CUSTOM), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(-3, 7));
    EXPECT_EQ(control.m_ptLastDown, CPoint(-3, 7));
    EXPECT_TRUE(LogHas("control:lbuttondown-1"));
    EXPECT_EQ(::SendMessageA(item(IDC_CUSTOM), WM_GETDLGCODE, 0, 0), DLGC_WANTARROWS);
    control.Invalidate();
    control.UpdateWindow();
    EXPECT_GT(control.m_nPaintCalls, 0);

    // Template combo boxes got their items from the dialog-initialisation resource.
    ASSERT_EQ(page().m_combo.GetCount(), 2);
    CString strItem;
    page().m_combo.GetLBText(0, strItem);
    EXPECT_EQ(strItem, "alpha");
    page().m_combo.GetLBText(1, strItem);
    EXPECT_EQ(strItem, "beta");
}

TEST_F(MessageMapTest, WindowsCreatedByTheObjectAreBoundBeforeTheirFirstMessages)
{
    CTestControl control;
    ASSERT_TRUE(control.CreateEx(0, CTestControl::kClassName, "made", WS_CHILD | WS_VISIBLE, CRect(0, 0, 30, 10),
                                 &page(), 4321));
    EXPECT_EQ(control.m_nCreateCalls, 1);
    EXPECT_TRUE(LogHas("control:create-made"));
    EXPECT_EQ(control.GetDlgCtrlID(), 4321);
    EXPECT_EQ(control.GetParent(), &page());

    // Destroying the window unbinds the object; the handle is forgotten.
    HWND hWnd = control.m_hWnd;
    control.DestroyWindow();
    EXPECT_EQ(control.m_hWnd, nullptr);
    EXPECT_EQ(CWnd::FromHandlePermanent(hWnd), nullptr);

    // Subclassing and unsubclassing an existing window.
    CTestControl other;
    HWND hPlain = ::CreateWindowExA(0, CTestControl::kClassName, "", WS_CHILD, 0, 0, 10, 10, page().m_hWnd, nullptr,
                                    AfxGetInstanceHandle(), nullptr);
    ASSERT_TRUE(other.SubclassWindow(hPlain));
    ::SendMessageA(hPlain, WM_KEYDOWN, VK_LEFT, 0);
    EXPECT_TRUE(LogHas("control:keydown-37"));
    EXPECT_EQ(other.UnsubclassWindow(), hPlain);
    TestLog().clear();
    ::SendMessageA(hPlain, WM_KEYDOWN, VK_LEFT, 0);
    EXPECT_FALSE(LogHas("control:keydown-37"));
    ::DestroyWindow(hPlain);
}

TEST_F(MessageMapTest, DefaultGivesTheMessageBeingHandledToTheControlsOwnProcedure)
{
    for (char ch : std::string("axbx"))
        ::SendMessageA(item(IDC_EDIT), WM_CHAR, static_cast<WPARAM>(ch), 1);
    CString strText;
    page().m_edit.GetWindowText(strText);
    EXPECT_EQ(strText, "ab");
    // Messages without an entry go straight to the control.
    ::SendMessageA(item(IDC_EDIT), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("x-ray"));
    page().m_edit.GetWindowText(strText);
    EXPECT_EQ(strText, "x-ray");
}

TEST_F(MessageMapTest, HelpRequestInThePageBecomesTheHelpCommandOfTheTopLevelWindow)
{
    // What the system sends the focused control when F1 is pressed: it climbs to the frame,
    // which turns it into the help command; the page's own help entry is not involved.
    HELPINFO info{sizeof(HELPINFO), HELPINFO_WINDOW, IDC_EDIT, item(IDC_EDIT), IDC_EDIT, {0, 0}};
    ::SendMessageA(item(IDC_EDIT), WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(LogCount("frame:help"), 1);
    EXPECT_FALSE(LogHas("page:help"));
}

TEST_F(MessageMapTest, AWindowHasAtMostOneObject)
{
    CButton second;
    EXPECT_FALSE(second.SubclassWindow(item(IDC_GO)));
    EXPECT_EQ(CWnd::FromHandlePermanent(item(IDC_GO)), &page().m_btnGo);
    // Windows without an object get a borrowed wrapper that stays the same.
    CWnd* pFrameItem = CWnd::FromHandle(::GetDesktopWindow());
    EXPECT_EQ(pFrameItem, CWnd::FromHandle(::GetDesktopWindow()));
    EXPECT_EQ(CWnd::FromHandlePermanent(::GetDesktopWindow()), nullptr);
}

} // namespace
