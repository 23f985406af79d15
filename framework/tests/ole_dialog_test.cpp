// A dialog hosting a control the way the program's page does: the container replaces the
// template's placeholder at WM_INITDIALOG, DDX_Control binds the wrapper, calls go through the
// wrapper and the control's events reach the dialog's event sink map.
#include <gtest/gtest.h>

#include "framework/Dialog.h"
#include "framework/OleControlContainer.h"
#include "framework/OleControlSite.h"
#include "framework/OleControlWnd.h"
#include "framework/OleEventSink.h"
#include "framework/tests/ole_test_dialog.h"
#include "framework/tests/ole_test_objects.h"

using oletest::MakeR8;
using oletest::TestControl;

namespace {

const CLSID CLSID_TestControl = { 0xd0c5a1e4, 0x7b2f, 0x4e59, { 0xa6, 0xc3, 0x1f, 0x8e, 0x20, 0xb7, 0xd9, 0x03 } };

// A wrapper in the shape of the program's video-editing wrapper.
class CTestEditWrapper : public COleControlWnd {
public:
    double GetDuration(const char* szPath)
    {
        double dResult = 0;
        InvokeHelper(0x20, DISPATCH_METHOD, VT_R8, &dResult, VTS_BSTR, szPath);
        return dResult;
    }
    void SetOutputWidth(short nWidth) { SetProperty(12, VT_I2, nWidth); }
};

class CHostDialog : public CDialog {
public:
    CHostDialog() : CDialog(IDD_OLE_HOST_TEST) {}
    CTestEditWrapper m_edit;
    std::vector<double> progress;
    IDispatch* pDispatchAtInit = nullptr;

    void OnConvertProgress(double dPos, double dTotal)
    {
        progress.push_back(dPos);
        progress.push_back(dTotal);
    }

protected:
    void DoDataExchange(CDataExchange* pDX) override
    {
        CDialog::DoDataExchange(pDX);
        DDX_Control(pDX, IDC_HOSTED, m_edit);
    }
    BOOL OnInitDialog() override
    {
        const BOOL bResult = CDialog::OnInitDialog();
        pDispatchAtInit = m_edit.GetIDispatch(); // the page calls the control from here on
        return bResult;
    }
    DECLARE_EVENTSINK_MAP()
};

BEGIN_EVENTSINK_MAP(CHostDialog, CDialog)
    ON_EVENT(CHostDialog, IDC_HOSTED, 2, OnConvertProgress, VTS_R8 VTS_R8)
END_EVENTSINK_MAP()

class DialogHostingTest : public ::testing::Test {
protected:
    oletest::ComScope com;
    TestControl* lastMade = nullptr;
    ComPtr<oletest::FunctionClassFactory> factory = ComPtr<oletest::FunctionClassFactory>::Adopt(
        new oletest::FunctionClassFactory([this] { return static_cast<IDispatch*>(lastMade = new TestControl); }));
    oletest::ClassRegistration registration{ CLSID_TestControl, factory.Get() };
};

TEST_F(DialogHostingTest, TheWrapperReachesTheControlAndTheDialogGetsItsEvents)
{
    AfxEnableControlContainer();
    {
        CHostDialog dlg;
        ASSERT_TRUE(dlg.Create(IDD_OLE_HOST_TEST, nullptr));
        ASSERT_NE(nullptr, lastMade);
        IDispatch* pControl = lastMade->AsDispatch();
        EXPECT_EQ(pControl, dlg.pDispatchAtInit) << "the control exists before OnInitDialog";
        EXPECT_EQ(dlg.GetDlgItem(IDC_HOSTED)->GetSafeHwnd(), dlg.m_edit.GetSafeHwnd());

        V_VT(&lastMade->resultToGive) = VT_R8;
        V_R8(&lastMade->resultToGive) = 95.5;
        EXPECT_DOUBLE_EQ(95.5, dlg.m_edit.GetDuration("Z:\\tmp\\clip.rm"));
        dlg.m_edit.SetOutputWidth(320);
        ASSERT_EQ(2u, lastMade->calls.size());
        EXPECT_EQ(0x20, lastMade->calls[0].dispid);
        EXPECT_EQ(12, lastMade->calls[1].dispid);
        EXPECT_EQ(DISPATCH_PROPERTYPUT, lastMade->calls[1].wFlags);

        lastMade->Fire(2, { MakeR8(30), MakeR8(120) });
        EXPECT_EQ((std::vector<double>{ 30, 120 }), dlg.progress);

        TestControl* control = lastMade;
        control->AddRef();
        dlg.DestroyWindow();
        EXPECT_EQ(0u, control->SinkCount()) << "events were disconnected with the window";
        EXPECT_TRUE(control->bSiteCleared);
        EXPECT_EQ(1u, control->RefCount()) << "neither the host nor the wrapper holds the control";
        EXPECT_FALSE(dlg.m_edit.IsConnected());
        EXPECT_DOUBLE_EQ(0, dlg.m_edit.GetDuration("x")) << "calls after the window is gone do nothing";
        control->Release();
    }
    EXPECT_EQ(0, TestControl::LiveCount());
}

} // namespace
