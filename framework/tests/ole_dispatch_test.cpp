// COleDispatchDriver against a recording IDispatch: what reaches the object, what comes back.
#include <gtest/gtest.h>

#include "framework/OleDispatchDriver.h"
#include "framework/tests/ole_test_objects.h"

using oletest::RecordingDispatch;

namespace {

// {6F1B3C7E-4A52-4C1D-9B7E-2D0A51C3E801}
const CLSID CLSID_TestObject = { 0x6f1b3c7e, 0x4a52, 0x4c1d, { 0x9b, 0x7e, 0x2d, 0x0a, 0x51, 0xc3, 0xe8, 0x01 } };
const char kTestClsidText[] = "{6F1B3C7E-4A52-4C1D-9B7E-2D0A51C3E801}";

class DispatchDriverTest : public ::testing::Test {
protected:
    oletest::ComScope com;
    RecordingDispatch* object = new RecordingDispatch; // the driver takes over this reference
    COleDispatchDriver driver{ object, TRUE };

    void GiveResult(VARTYPE vt, void (*fill)(VARIANT&))
    {
        VariantClear(&object->resultToGive);
        V_VT(&object->resultToGive) = vt;
        fill(object->resultToGive);
    }
};

std::wstring Wide(BSTR b) { return std::wstring(b, SysStringLen(b)); }

TEST_F(DispatchDriverTest, MarshalsEachArgumentTypeInCallersOrder)
{
    object->AddRef(); // keep it alive as an argument of its own call
    ComPtr<IDispatch> argObject = ComPtr<IDispatch>::Adopt(object);
    std::string text = "clip.rm";
    CString path("C:\\video\\a b.avi");

    ASSERT_EQ(S_OK, driver.InvokeHelper(36, DISPATCH_METHOD, VT_EMPTY, nullptr,
                                        VTS_I2 VTS_I4 VTS_R4 VTS_R8 VTS_BOOL VTS_BSTR VTS_BSTR VTS_BSTR VTS_DISPATCH VTS_BOOL,
                                        short(-240), 8L, 23.976f, 1.5, true, path, text, "", argObject.Get(), TRUE));

    ASSERT_EQ(1u, object->calls.size());
    const auto& call = object->calls[0];
    EXPECT_EQ(36, call.dispid);
    EXPECT_EQ(DISPATCH_METHOD, call.wFlags);
    EXPECT_TRUE(call.named.empty());
    ASSERT_EQ(10u, call.args.size());
    EXPECT_EQ(VT_I2, V_VT(&call.args[0].var));
    EXPECT_EQ(-240, V_I2(&call.args[0].var));
    EXPECT_EQ(VT_I4, V_VT(&call.args[1].var));
    EXPECT_EQ(8, V_I4(&call.args[1].var));
    EXPECT_EQ(VT_R4, V_VT(&call.args[2].var));
    EXPECT_FLOAT_EQ(23.976f, V_R4(&call.args[2].var));
    EXPECT_EQ(VT_R8, V_VT(&call.args[3].var));
    EXPECT_DOUBLE_EQ(1.5, V_R8(&call.args[3].var));
    EXPECT_EQ(VT_BOOL, V_VT(&call.args[4].var));
    EXPECT_EQ(VARIANT_TRUE, V_BOOL(&call.args[4].var));
    EXPECT_EQ(VT_BSTR, V_VT(&call.args[5].var));
    EXPECT_EQ(L"C:\\video\\a b.avi", Wide(V_BSTR(&call.args[5].var)));
    EXPECT_EQ(L"clip.rm", Wide(V_BSTR(&call.args[6].var)));
    EXPECT_EQ(VT_BSTR, V_VT(&call.args[7].var));
    EXPECT_NE(nullptr, V_BSTR(&call.args[7].var)) << "an empty text is an empty BSTR, not a null one";
    EXPECT_EQ(0u, SysStringLen(V_BSTR(&call.args[7].var)));
    EXPECT_EQ(VT_DISPATCH, V_VT(&call.args[8].var));
    EXPECT_EQ(static_cast<IDispatch*>(object), V_DISPATCH(&call.args[8].var));
    EXPECT_EQ(VARIANT_TRUE, V_BOOL(&call.args[9].var)) << "a nonzero BOOL is VARIANT_TRUE";
}

TEST_F(DispatchDriverTest, NumbersWidenButNeverNarrowOrChangeKind)
{
    // The frame rate property takes VT_R4 and a width VT_I2: literals of other numeric types fit.
    EXPECT_EQ(S_OK, driver.InvokeHelper(16, DISPATCH_PROPERTYPUT, VT_EMPTY, nullptr, VTS_R4, 25.0));
    EXPECT_EQ(S_OK, driver.InvokeHelper(12, DISPATCH_PROPERTYPUT, VT_EMPTY, nullptr, VTS_I2, 320));
    EXPECT_EQ(S_OK, driver.InvokeHelper(32, DISPATCH_METHOD, VT_EMPTY, nullptr, VTS_R8, 2));
    EXPECT_EQ(S_OK, driver.InvokeHelper(6, DISPATCH_METHOD, VT_EMPTY, nullptr, VTS_I4 VTS_I4, DWORD(0x7FFFFFFF), 1u));
    ASSERT_EQ(4u, object->calls.size());
    EXPECT_EQ(0x7FFFFFFF, V_I4(&object->calls[3].args[0].var));
    EXPECT_EQ(VT_R4, V_VT(&object->calls[0].args[0].var));
    EXPECT_FLOAT_EQ(25.0f, V_R4(&object->calls[0].args[0].var));
    EXPECT_EQ(VT_I2, V_VT(&object->calls[1].args[0].var));
    EXPECT_EQ(320, V_I2(&object->calls[1].args[0].var));
    EXPECT_EQ(VT_R8, V_VT(&object->calls[2].args[0].var));
    EXPECT_DOUBLE_EQ(2.0, V_R8(&object->calls[2].args[0].var));

    // Refused before the object sees anything.
    EXPECT_EQ(DISP_E_OVERFLOW, driver.InvokeHelper(12, DISPATCH_PROPERTYPUT, VT_EMPTY, nullptr, VTS_I2, 70000));
    EXPECT_EQ(DISP_E_TYPEMISMATCH, driver.InvokeHelper(12, DISPATCH_PROPERTYPUT, VT_EMPTY, nullptr, VTS_I2, 1.5));
    EXPECT_EQ(DISP_E_TYPEMISMATCH, driver.InvokeHelper(32, DISPATCH_METHOD, VT_EMPTY, nullptr, VTS_BSTR, 5));
    EXPECT_EQ(DISP_E_TYPEMISMATCH, driver.InvokeHelper(32, DISPATCH_METHOD, VT_EMPTY, nullptr, VTS_I4, "5"));
    EXPECT_EQ(DISP_E_TYPEMISMATCH, driver.InvokeHelper(5, DISPATCH_PROPERTYPUT, VT_EMPTY, nullptr, VTS_I4, true));
    EXPECT_EQ(DISP_E_BADPARAMCOUNT, driver.InvokeHelper(35, DISPATCH_METHOD, VT_EMPTY, nullptr, VTS_BSTR VTS_R8 VTS_R8, "a", 1.0));
    EXPECT_EQ(DISP_E_BADPARAMCOUNT, driver.InvokeHelper(44, DISPATCH_METHOD, VT_EMPTY, nullptr, VTS_NONE, 1));
    EXPECT_EQ(DISP_E_OVERFLOW, driver.InvokeHelper(6, DISPATCH_METHOD, VT_EMPTY, nullptr, VTS_I4, DWORD(0x80000000)));
    EXPECT_EQ(4u, object->calls.size());

    // Pointers that are not text or IDispatch do not compile as arguments or results.
    static_assert(!std::is_constructible_v<ole::DispArg, HWND>, "a window handle is not an argument");
    static_assert(!std::is_constructible_v<ole::DispArg, const wchar_t*>, "wide text is not 8-bit text");
    static_assert(!std::is_constructible_v<ole::DispResult, char*>, "a char buffer cannot take a BSTR");
}

TEST_F(DispatchDriverTest, PropertyPutNamesItsValueAndGetAndMethodDoNot)
{
    short nCount = 0;
    driver.SetProperty(15, VT_I4, 8);
    driver.GetProperty(1, VT_I2, &nCount);
    driver.InvokeHelper(44, DISPATCH_METHOD, VT_EMPTY, nullptr, VTS_NONE);

    ASSERT_EQ(3u, object->calls.size());
    EXPECT_EQ(DISPATCH_PROPERTYPUT, object->calls[0].wFlags);
    EXPECT_EQ(std::vector<DISPID>{ DISPID_PROPERTYPUT }, object->calls[0].named);
    EXPECT_EQ(8, V_I4(&object->calls[0].args[0].var));
    EXPECT_FALSE(object->calls[0].wantedResult);
    EXPECT_EQ(DISPATCH_PROPERTYGET, object->calls[1].wFlags);
    EXPECT_TRUE(object->calls[1].named.empty());
    EXPECT_TRUE(object->calls[1].wantedResult);
    EXPECT_TRUE(object->calls[2].args.empty());
    EXPECT_FALSE(object->calls[2].wantedResult) << "VT_EMPTY asks for no result";
}

TEST_F(DispatchDriverTest, StoresEachResultTypeInTheCallersVariable)
{
    short n2 = 0;
    GiveResult(VT_I2, [](VARIANT& v) { V_I2(&v) = 240; });
    EXPECT_EQ(S_OK, driver.InvokeHelper(1, DISPATCH_PROPERTYGET, VT_I2, &n2, VTS_NONE));
    EXPECT_EQ(240, n2);

    long n4 = 0;
    GiveResult(VT_I4, [](VARIANT& v) { V_I4(&v) = -100000; });
    driver.InvokeHelper(1, DISPATCH_PROPERTYGET, VT_I4, &n4, VTS_NONE);
    EXPECT_EQ(-100000, n4);

    float f = 0;
    GiveResult(VT_R4, [](VARIANT& v) { V_R4(&v) = 23.976f; });
    driver.InvokeHelper(1, DISPATCH_PROPERTYGET, VT_R4, &f, VTS_NONE);
    EXPECT_FLOAT_EQ(23.976f, f);

    double d = 0;
    GiveResult(VT_R8, [](VARIANT& v) { V_R8(&v) = 3601.25; });
    driver.InvokeHelper(32, DISPATCH_METHOD, VT_R8, &d, VTS_BSTR, "clip.avi");
    EXPECT_DOUBLE_EQ(3601.25, d);

    BOOL bStarted = FALSE;
    GiveResult(VT_BOOL, [](VARIANT& v) { V_BOOL(&v) = VARIANT_TRUE; });
    driver.InvokeHelper(30, DISPATCH_METHOD, VT_BOOL, &bStarted, VTS_BSTR, "out.avi");
    EXPECT_EQ(TRUE, bStarted) << "VARIANT_TRUE (-1) becomes TRUE (1)";
    bool bFlag = true;
    GiveResult(VT_BOOL, [](VARIANT& v) { V_BOOL(&v) = VARIANT_FALSE; });
    driver.InvokeHelper(30, DISPATCH_METHOD, VT_BOOL, &bFlag, VTS_BSTR, "out.avi");
    EXPECT_FALSE(bFlag);

    CString strName("old");
    GiveResult(VT_BSTR, [](VARIANT& v) { V_BSTR(&v) = SysAllocString(L"MPEG Layer-3"); });
    driver.InvokeHelper(3, DISPATCH_METHOD, VT_BSTR, &strName, VTS_I2, 0);
    EXPECT_STREQ("MPEG Layer-3", strName);
    GiveResult(VT_BSTR, [](VARIANT& v) { V_BSTR(&v) = nullptr; });
    driver.InvokeHelper(3, DISPATCH_METHOD, VT_BSTR, &strName, VTS_I2, 1);
    EXPECT_STREQ("", strName) << "a null BSTR is an empty string";

    RecordingDispatch* list = new RecordingDispatch;
    GiveResult(VT_DISPATCH, [](VARIANT&) {});
    V_DISPATCH(&object->resultToGive) = list; // resultToGive owns the creation reference
    IDispatch* pList = nullptr;
    driver.InvokeHelper(4, DISPATCH_PROPERTYGET, VT_DISPATCH, &pList, VTS_NONE);
    ASSERT_EQ(static_cast<IDispatch*>(list), pList);
    EXPECT_EQ(2u, list->RefCount()) << "the caller gets a reference of its own";
    pList->Release();
}

TEST_F(DispatchDriverTest, ConvertsAResultOfAnotherTypeOrLeavesTheVariableAlone)
{
    double d = -1;
    GiveResult(VT_I4, [](VARIANT& v) { V_I4(&v) = 42; });
    EXPECT_EQ(S_OK, driver.InvokeHelper(32, DISPATCH_METHOD, VT_R8, &d, VTS_BSTR, "x"));
    EXPECT_DOUBLE_EQ(42.0, d);

    d = -1;
    GiveResult(VT_BSTR, [](VARIANT& v) { V_BSTR(&v) = SysAllocString(L"not a number"); });
    EXPECT_TRUE(FAILED(driver.InvokeHelper(32, DISPATCH_METHOD, VT_R8, &d, VTS_BSTR, "x")));
    EXPECT_DOUBLE_EQ(-1, d);

    // A result variable of the wrong C++ type: no call at all.
    short n = 7;
    EXPECT_EQ(DISP_E_TYPEMISMATCH, driver.InvokeHelper(32, DISPATCH_METHOD, VT_R8, &n, VTS_BSTR, "x"));
    EXPECT_EQ(2u, object->calls.size());
    EXPECT_EQ(7, n);

    // The object fails: whatever it would have returned is not stored.
    d = -1;
    object->hrToGive = E_FAIL;
    GiveResult(VT_R8, [](VARIANT& v) { V_R8(&v) = 9; });
    EXPECT_EQ(E_FAIL, driver.InvokeHelper(32, DISPATCH_METHOD, VT_R8, &d, VTS_BSTR, "x"));
    EXPECT_DOUBLE_EQ(-1, d);
}

TEST_F(DispatchDriverTest, OwnsExactlyOneReferenceAndDoesNothingUnconnected)
{
    object->AddRef(); // watch it outlive the driver
    EXPECT_EQ(2u, object->RefCount());

    COleDispatchDriver borrowing;
    borrowing.AttachDispatch(object, FALSE); // takes its own reference
    EXPECT_EQ(3u, object->RefCount());
    borrowing.AttachDispatch(nullptr);
    EXPECT_EQ(2u, object->RefCount()) << "attaching again drops the earlier object";

    IDispatch* detached = driver.DetachDispatch();
    EXPECT_EQ(static_cast<IDispatch*>(object), detached);
    EXPECT_FALSE(driver.IsConnected());
    EXPECT_EQ(2u, object->RefCount());

    double d = -1;
    EXPECT_EQ(CO_E_OBJNOTCONNECTED, driver.InvokeHelper(32, DISPATCH_METHOD, VT_R8, &d, VTS_BSTR, "x"));
    EXPECT_DOUBLE_EQ(-1, d);
    EXPECT_TRUE(object->calls.empty());

    {
        COleDispatchDriver owning;
        owning.AttachDispatch(detached); // takes over the detached reference
        EXPECT_EQ(2u, object->RefCount());
        owning.InvokeHelper(48, DISPATCH_METHOD, VT_EMPTY, nullptr, VTS_NONE);
    }
    EXPECT_EQ(1u, object->RefCount()) << "the destructor released it";
    EXPECT_EQ(1u, object->calls.size());
    object->Release();
}

TEST(DispatchDriverCreation, FindsAClassRegisteredByThisProcessByClsidTextAndProgId)
{
    oletest::ComScope com;
    RecordingDispatch* made = nullptr;
    ComPtr<oletest::FunctionClassFactory> factory = ComPtr<oletest::FunctionClassFactory>::Adopt(
        new oletest::FunctionClassFactory([&made] { return made = new RecordingDispatch; }));
    oletest::ClassRegistration registration(CLSID_TestObject, factory.Get());
    ASSERT_EQ(S_OK, registration.Result());

    COleDispatchDriver byClsid;
    ASSERT_TRUE(byClsid.CreateDispatch(CLSID_TestObject));
    EXPECT_EQ(static_cast<IDispatch*>(made), byClsid.GetIDispatch());
    byClsid.InvokeHelper(17, DISPATCH_METHOD, VT_EMPTY, nullptr, VTS_I4, 0);
    EXPECT_EQ(1u, made->calls.size());

    COleDispatchDriver byText;
    ASSERT_TRUE(byText.CreateDispatch(kTestClsidText));
    EXPECT_EQ(static_cast<IDispatch*>(made), byText.GetIDispatch());
    EXPECT_EQ(2, factory->instancesMade);

    // A ProgID is looked up in the registry's classes, then created by its CLSID.
    const char* kProgIdKey = "Varnello.TestObject\\CLSID";
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueA(HKEY_CLASSES_ROOT, kProgIdKey, REG_SZ, kTestClsidText, sizeof(kTestClsidText)));
    COleDispatchDriver byProgId;
    EXPECT_TRUE(byProgId.CreateDispatch("Varnello.TestObject"));
    EXPECT_EQ(3, factory->instancesMade);
    RegDeleteKeyA(HKEY_CLASSES_ROOT, kProgIdKey);
    RegDeleteKeyA(HKEY_CLASSES_ROOT, "Varnello.TestObject");

    // A component that is not there: FALSE, and the driver is left unconnected (the program
    // then runs without it and every call does nothing).
    EXPECT_FALSE(byClsid.CreateDispatch("SkinCrafter.NoSuchSkin"));
    EXPECT_FALSE(byClsid.IsConnected());
    EXPECT_EQ(CO_E_OBJNOTCONNECTED, byClsid.InvokeHelper(7, DISPATCH_METHOD, VT_EMPTY, nullptr, VTS_NONE));
    EXPECT_FALSE(byText.CreateDispatch("{00000000-0000-0000-0000-00000000BEEF}"));
}

} // namespace
