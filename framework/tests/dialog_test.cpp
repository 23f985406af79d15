// The modal loop: DoModal's own loop gives every message to PreTranslateMessage of the
// target's object and its parents' objects before the dialog manager sees it; the frame
// holds its page as a modeless child; WM_CLOSE and EndDialog end the loop.
#include <gtest/gtest.h>

#include "framework/tests/window_test_classes.h"

namespace {

class ModalDialogTest : public ::testing::Test {
protected:
    void SetUp() override { TestLog().clear(); }
    void Script(int nTarget, UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
    {
        m_frame.m_script.push_back({nTarget, message, wParam, lParam});
    }
    CTestFrame m_frame;
};

TEST_F(ModalDialogTest, CloseEndsTheModalLoopWithCancelAndDestroysTheWindow)
{
    Script(0, WM_CLOSE);
    EXPECT_EQ(m_frame.DoModal(), IDCANCEL);
    EXPECT_EQ(m_frame.m_hWnd, nullptr);
    EXPECT_EQ(m_frame.m_page.m_hWnd, nullptr); // the child page went with it
    EXPECT_EQ(m_frame.m_page.m_btnGo.m_hWnd, nullptr);
}

TEST_F(ModalDialogTest, EnterAndEscapeConsumedByThePageNeverCloseTheFrame)
{
    Script(IDC_EDIT, WM_KEYDOWN, VK_RETURN, 0);
    Script(IDC_GO, WM_KEYDOWN, VK_ESCAPE, 0);
    Script(IDC_EDIT, WM_KEYDOWN, VK_ESCAPE, 0);
    Script(0, WM_TEST_FINISH, 77);
    EXPECT_EQ(m_frame.DoModal(), 77);
    EXPECT_TRUE(m_frame.m_bWasVisible);

    EXPECT_EQ(LogCount("page:pretranslate-key-13"), 1);
    EXPECT_EQ(LogCount("page:pretranslate-key-27"), 2);
    // A key for the button reaches the button's object first, then its parent's.
    const int nButton = LogIndex("button:pretranslate-key-27");
    ASSERT_GE(nButton, 0);
    EXPECT_LT(nButton, LogIndex("page:pretranslate-key-27"));
    EXPECT_LT(LogIndex("page:pretranslate-key-27"), LogIndex("frame:finish"));
}

TEST_F(ModalDialogTest, EscapeThatThePageLetsThroughStillLeavesTheFrameOpen)
{
    // Not consumed: the page's dialog manager turns Escape into its own Cancel, which a
    // page outside a property sheet ignores; the frame is not involved.
    m_frame.m_page.m_bConsumeEnterEscape = false;
    Script(IDC_EDIT, WM_KEYDOWN, VK_ESCAPE, 0);
    Script(IDC_EDIT, WM_KEYDOWN, VK_RETURN, 0);
    Script(0, WM_TEST_FINISH, 78);
    EXPECT_EQ(m_frame.DoModal(), 78);
    EXPECT_EQ(LogCount("page:pretranslate-key-27"), 1);
}

TEST_F(ModalDialogTest, KeysForAControlReachItsObjectThroughTheDialogManager)
{
    // Arrow keys reach a control that asks for them (WM_GETDLGCODE), after the walk.
    Script(IDC_CUSTOM, WM_KEYDOWN, VK_RIGHT, 0);
    Script(0, WM_TEST_FINISH, 1);
    EXPECT_EQ(m_frame.DoModal(), 1);
    EXPECT_TRUE(LogHas("control:keydown-39"));
}

TEST_F(ModalDialogTest, ThePageIsAVisibleChildOfTheFrameAtItsPlace)
{
    Script(0, WM_TEST_FINISH, 5);
    EXPECT_EQ(m_frame.DoModal(), 5);
    EXPECT_EQ(m_frame.m_rcPage, CRect(2, 2, 402, 302));
    EXPECT_TRUE(m_frame.m_dwPageStyle & WS_CHILD);
    EXPECT_TRUE(m_frame.m_dwPageStyle & WS_VISIBLE);
    EXPECT_TRUE(m_frame.m_bPageParentIsFrame);
}

TEST_F(ModalDialogTest, ADialogResizedButNotMovedByItsInitialisationIsCentred)
{
    m_frame.m_bResizeInInit = true;
    Script(0, WM_TEST_FINISH, 8);
    EXPECT_EQ(m_frame.DoModal(), 8);
    CRect rcWork;
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, static_cast<LPRECT>(rcWork), 0);
    EXPECT_EQ(m_frame.m_rcWindow.Size(), CSize(200, 100));
    EXPECT_NEAR(m_frame.m_rcWindow.CenterPoint().x, rcWork.CenterPoint().x, 1);
    EXPECT_NEAR(m_frame.m_rcWindow.CenterPoint().y, rcWork.CenterPoint().y, 1);
}

TEST_F(ModalDialogTest, EndDialogDuringInitialisationReturnsWithoutShowing)
{
    m_frame.m_bEndInInit = true;
    EXPECT_EQ(m_frame.DoModal(), 55);
    EXPECT_TRUE(LogHas("frame:initdialog"));
    EXPECT_FALSE(LogHas("frame:finish"));
}

TEST_F(ModalDialogTest, AMissingTemplateFailsWithMinusOne)
{
    CDialog missing(9999);
    EXPECT_EQ(missing.DoModal(), -1);
    EXPECT_EQ(missing.m_hWnd, nullptr);
}

TEST_F(ModalDialogTest, TheOwnerIsDisabledWhileAModalDialogRuns)
{
    CTestFrame owner;
    ASSERT_TRUE(owner.Create(IDD_TEST_FRAME));
    struct Child : CTestFrame {
        HWND hOwner = nullptr;
        BOOL bOwnerEnabled = TRUE;
        BOOL OnInitDialog() override
        {
            bOwnerEnabled = ::IsWindowEnabled(hOwner);
            EndDialog(3);
            return TRUE;
        }
    } child;
    child.m_pParentWnd = &owner;
    child.hOwner = owner.m_hWnd;
    EXPECT_EQ(child.DoModal(), 3);
    EXPECT_FALSE(child.bOwnerEnabled);
    EXPECT_TRUE(::IsWindowEnabled(owner.m_hWnd));
}

} // namespace
