// Hosting controls created by CLSID: a host window in a plain parent, and placeholders of a real
// dialog template replaced by hosted controls.
#include <gtest/gtest.h>

#include "framework/OleControlContainer.h"
#include "framework/OleControlSite.h"
#include "framework/tests/ole_test_dialog.h"
#include "framework/tests/ole_test_objects.h"

using oletest::TestControl;

namespace {

// {D0C5A1E4-7B2F-4E59-A6C3-1F8E20B7D903}, the class the test dialog's placeholder names.
const CLSID CLSID_TestControl = { 0xd0c5a1e4, 0x7b2f, 0x4e59, { 0xa6, 0xc3, 0x1f, 0x8e, 0x20, 0xb7, 0xd9, 0x03 } };

std::string ClassOf(HWND hwnd)
{
    char sz[64] = {};
    GetClassNameA(hwnd, sz, sizeof(sz));
    return sz;
}

RECT RectInParent(HWND hwnd)
{
    RECT rc;
    GetWindowRect(hwnd, &rc);
    MapWindowPoints(nullptr, GetParent(hwnd), reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

void ExpectRect(const RECT& expected, const RECT& actual)
{
    EXPECT_EQ(expected.left, actual.left);
    EXPECT_EQ(expected.top, actual.top);
    EXPECT_EQ(expected.right, actual.right);
    EXPECT_EQ(expected.bottom, actual.bottom);
}

// The program registers its control class for itself; so do these tests.
class HostingTest : public ::testing::Test {
protected:
    oletest::ComScope com;
    TestControl* lastMade = nullptr;
    ComPtr<oletest::FunctionClassFactory> factory = ComPtr<oletest::FunctionClassFactory>::Adopt(
        new oletest::FunctionClassFactory([this] { return static_cast<IDispatch*>(lastMade = new TestControl); }));
    oletest::ClassRegistration registration{ CLSID_TestControl, factory.Get() };
    HWND hParent = nullptr;

    void SetUp() override
    {
        ASSERT_EQ(S_OK, registration.Result());
        hParent = CreateWindowExA(0, "Static", "parent", WS_POPUP | WS_VISIBLE, 0, 0, 400, 300, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(nullptr, hParent);
    }
    void TearDown() override
    {
        if (hParent)
            DestroyWindow(hParent);
        EXPECT_EQ(0, TestControl::LiveCount()) << "every control was released";
    }
};

TEST_F(HostingTest, AControlComesUpInsideAHostWindowWithTheIdAndRectangleGiven)
{
    const RECT rect = { 10, 212, 274, 412 };
    HWND hHost = COleControlSite::CreateControl(CLSID_TestControl, hParent, 1053, rect, WS_VISIBLE);
    ASSERT_NE(nullptr, hHost);
    ASSERT_NE(nullptr, lastMade);
    EXPECT_EQ(1053, GetDlgCtrlID(hHost));
    EXPECT_EQ(hParent, GetParent(hHost));
    ExpectRect(rect, RectInParent(hHost));
    EXPECT_EQ(lastMade->AsDispatch(),
              COleControlSite::GetControlDispatch(hHost));

    // The control made its window in the host the site named, and the host knows it.
    EXPECT_EQ(hHost, lastMade->hHostSeen);
    ASSERT_NE(nullptr, lastMade->hWnd);
    EXPECT_EQ(hHost, GetParent(lastMade->hWnd));
    EXPECT_EQ(lastMade->hWnd, COleControlSite::GetControlWindow(hHost));
    ExpectRect(RECT{ 0, 0, 264, 200 }, RectInParent(lastMade->hWnd));

    // Moving the host (as a page lays out its controls) resizes the control's window with it.
    MoveWindow(hHost, 20, 30, 120, 90, TRUE);
    ExpectRect(RECT{ 0, 0, 120, 90 }, RectInParent(lastMade->hWnd));
    ShowWindow(hHost, SW_HIDE);
    EXPECT_FALSE(IsWindowVisible(lastMade->hWnd)) << "hiding the host hides the control";

    // Destroying the host takes the control down through its site and releases it.
    TestControl* control = lastMade;
    control->AddRef();
    HWND hControlWnd = control->hWnd;
    DestroyWindow(hHost);
    EXPECT_TRUE(control->bSiteCleared);
    EXPECT_FALSE(IsWindow(hControlWnd));
    EXPECT_EQ(1u, control->RefCount()) << "only the test's own reference is left";
    control->Release();
}

TEST_F(HostingTest, AClassThatCannotBeCreatedLeavesAnEmptyHost)
{
    const CLSID CLSID_Missing = { 0, 0, 0, { 0, 0, 0, 0, 0, 0, 0xbe, 0xef } };
    HWND hHost = COleControlSite::CreateControl(CLSID_Missing, hParent, 77, RECT{ 0, 0, 50, 50 }, WS_VISIBLE);
    ASSERT_NE(nullptr, hHost);
    EXPECT_EQ(77, GetDlgCtrlID(hHost));
    EXPECT_EQ(nullptr, COleControlSite::GetControlDispatch(hHost));
    EXPECT_EQ(nullptr, COleControlSite::GetControlWindow(hHost));
    EXPECT_TRUE(FAILED(COleControlSite::ConnectEvents(hHost, nullptr, nullptr)));
    // Windows that are not hosts hold no control.
    EXPECT_EQ(nullptr, COleControlSite::GetControlDispatch(hParent));
    EXPECT_EQ(nullptr, COleControlSite::GetControlDispatch(nullptr));
}

INT_PTR CALLBACK ReplacingDialogProc(HWND hDlg, UINT message, WPARAM, LPARAM)
{
    if (message == WM_INITDIALOG) {
        OleReplaceControlPlaceholders(hDlg, nullptr, nullptr);
        return TRUE;
    }
    return FALSE;
}

TEST_F(HostingTest, ADialogsPlaceholderBecomesTheControlInItsPlace)
{
    HWND hDlg = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_OLE_HOST_TEST), nullptr,
                                   ReplacingDialogProc, 0);
    ASSERT_NE(nullptr, hDlg);
    HWND hHost = GetDlgItem(hDlg, IDC_HOSTED);
    ASSERT_NE(nullptr, hHost);
    EXPECT_EQ(COleControlSite::kHostClassName, ClassOf(hHost)) << "the placeholder static is gone";
    ASSERT_NE(nullptr, lastMade);
    EXPECT_EQ(1, factory->instancesMade) << "the unregistered placeholder made nothing";

    RECT expected = { 10, 30, 130, 120 }; // the template's rectangle in dialog units
    MapDialogRect(hDlg, &expected);
    ExpectRect(expected, RectInParent(hHost));
    EXPECT_TRUE(GetWindowLongPtrA(hHost, GWL_STYLE) & WS_VISIBLE);
    EXPECT_TRUE(GetWindowLongPtrA(hHost, GWL_STYLE) & WS_TABSTOP);
    EXPECT_EQ(GetDlgItem(hDlg, IDC_BEFORE), GetWindow(hHost, GW_HWNDPREV)) << "tab order kept";
    EXPECT_EQ(GetDlgItem(hDlg, IDC_AFTER), GetWindow(hHost, GW_HWNDNEXT)) << "tab order kept";
    EXPECT_EQ(hHost, GetParent(lastMade->hWnd));

    // Only statics that name a class id are placeholders.
    EXPECT_EQ("Static", ClassOf(GetDlgItem(hDlg, IDC_PLAIN_TEXT)));
    HWND hMissing = GetDlgItem(hDlg, IDC_MISSING);
    EXPECT_EQ(COleControlSite::kHostClassName, ClassOf(hMissing));
    EXPECT_EQ(nullptr, COleControlSite::GetControlDispatch(hMissing));
    EXPECT_FALSE(GetWindowLongPtrA(hMissing, GWL_STYLE) & WS_VISIBLE) << "an invisible placeholder gives an invisible host";

    DestroyWindow(hDlg);
}

} // namespace
