// Event sink maps: events fired by a connectable test control reaching typed member handlers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/OleEventSink.h"
#include "framework/Wnd.h"
#include "framework/tests/ole_test_objects.h"

using oletest::MakeI4;
using oletest::MakeR8;
using oletest::TestControl;

namespace {

class EventOwner : public CWnd {
public:
    std::vector<std::string> log;

    void OnConvertFinished() { log.push_back("finished"); }
    void OnConvertProgress(double dPos, double dTotal) { log.push_back("progress " + Num(dPos) + "/" + Num(dTotal)); }
    void OnPreviewEvent(double d) { log.push_back("preview " + Num(d)); }
    void OnEveryType(short n2, long n4, float f, bool b, BOOL bFlag, const char* sz, const CString& str, IDispatch* p)
    {
        log.push_back("types " + std::to_string(n2) + " " + std::to_string(n4) + " " + Num(f) + " " + (b ? "T" : "F")
                      + " " + std::to_string(bFlag) + " [" + sz + "] [" + static_cast<const char*>(str) + "] "
                      + (p ? "dispatch" : "null"));
    }
    void OnOtherControl() { log.push_back("other control"); }

    static std::string Num(double d)
    {
        char sz[32];
        snprintf(sz, sizeof(sz), "%g", d);
        return sz;
    }

    DECLARE_EVENTSINK_MAP()
};

BEGIN_EVENTSINK_MAP(EventOwner, CWnd)
    ON_EVENT(EventOwner, 1053, 1, OnConvertFinished, VTS_NONE)
    ON_EVENT(EventOwner, 1053, 2, OnConvertProgress, VTS_R8 VTS_R8)
    ON_EVENT(EventOwner, 1053, 4, OnPreviewEvent, VTS_R8)
    ON_EVENT(EventOwner, 1053, 7, OnEveryType, VTS_I2 VTS_I4 VTS_R4 VTS_BOOL VTS_BOOL VTS_BSTR VTS_BSTR VTS_DISPATCH)
    ON_EVENT(EventOwner, 1054, 1, OnOtherControl, VTS_NONE)
END_EVENTSINK_MAP()

// A derived page: keeps the base's entries and replaces one of them.
class DerivedOwner : public EventOwner {
public:
    void OnPreviewOverride(double d) { log.push_back("derived preview " + Num(d)); }
    DECLARE_EVENTSINK_MAP()
};

BEGIN_EVENTSINK_MAP(DerivedOwner, EventOwner)
    ON_EVENT(DerivedOwner, 1053, 4, OnPreviewOverride, VTS_R8)
END_EVENTSINK_MAP()

// The map a dialog's container would connect (the virtual is public on CWnd).
const AFX_EVENTSINKMAP* MapOf(const CWnd& wnd)
{
    return wnd.GetEventSinkMap();
}

class EventSinkTest : public ::testing::Test {
protected:
    oletest::ComScope com;
    ComPtr<TestControl> control = ComPtr<TestControl>::Adopt(new TestControl);

    // Fires one event that has exactly one sink, and returns that sink's answer.
    HRESULT FireOne(DISPID dispid, std::vector<VARIANT> args = {})
    {
        std::vector<HRESULT> results = control->Fire(dispid, std::move(args));
        EXPECT_EQ(1u, results.size());
        return results.empty() ? E_FAIL : results[0];
    }
};

TEST_F(EventSinkTest, EventsReachTheHandlersOfTheirControlWithTypedArguments)
{
    EventOwner owner;
    COleEventConnection connection;
    ASSERT_EQ(S_OK, connection.Connect(control->AsDispatch(), &owner, MapOf(owner), 1053));

    EXPECT_EQ(S_OK, FireOne(2, { MakeR8(12.5), MakeR8(60) }));
    EXPECT_EQ(S_OK, FireOne(1));
    EXPECT_EQ(S_OK, FireOne(4, { MakeI4(3) })) << "an integer converts to the handler's double";
    EXPECT_EQ(S_OK, FireOne(9, { MakeR8(1) })) << "an event without an entry is accepted and dropped";

    VARIANT flag, text1, text2, object;
    VariantInit(&flag);
    V_VT(&flag) = VT_BOOL;
    V_BOOL(&flag) = VARIANT_TRUE;
    VariantInit(&text1);
    V_VT(&text1) = VT_BSTR;
    V_BSTR(&text1) = SysAllocString(L"C:\\clip.rm");
    VariantInit(&text2);
    V_VT(&text2) = VT_BSTR;
    V_BSTR(&text2) = nullptr;
    VariantInit(&object);
    V_VT(&object) = VT_DISPATCH;
    V_DISPATCH(&object) = control->AsDispatch();
    VARIANT shortValue = MakeI4(-7);
    EXPECT_EQ(S_OK, FireOne(7, { shortValue, MakeI4(100000), MakeR8(0.5), flag, flag, text1, text2, object }));
    SysFreeString(V_BSTR(&text1));

    const std::vector<std::string> expected = {
        "progress 12.5/60",
        "finished",
        "preview 3",
        "types -7 100000 0.5 T 1 [C:\\clip.rm] [] dispatch",
    };
    EXPECT_EQ(expected, owner.log);
}

TEST_F(EventSinkTest, ADerivedMapKeepsItsBaseEntriesAndOverridesOne)
{
    DerivedOwner owner;
    COleEventConnection connection;
    ASSERT_EQ(S_OK, connection.Connect(control->AsDispatch(), &owner, MapOf(owner), 1053));
    FireOne(4, { MakeR8(2) });
    FireOne(1);
    EXPECT_EQ((std::vector<std::string>{ "derived preview 2", "finished" }), owner.log);
}

TEST_F(EventSinkTest, ArgumentsThatDoNotFitNeverReachTheHandler)
{
    EventOwner owner;
    COleEventConnection connection;
    ASSERT_EQ(S_OK, connection.Connect(control->AsDispatch(), &owner, MapOf(owner), 1053));

    VARIANT text;
    VariantInit(&text);
    V_VT(&text) = VT_BSTR;
    V_BSTR(&text) = SysAllocString(L"not a number");
    EXPECT_TRUE(FAILED(FireOne(4, { text })));
    SysFreeString(V_BSTR(&text));
    EXPECT_EQ(DISP_E_BADPARAMCOUNT, FireOne(2, { MakeR8(1) }));
    EXPECT_EQ(DISP_E_BADPARAMCOUNT, FireOne(1, { MakeR8(1) }));
    VARIANT object;
    VariantInit(&object);
    V_VT(&object) = VT_DISPATCH;
    V_DISPATCH(&object) = control->AsDispatch();
    VARIANT tooBigForShort = MakeI4(70000);
    EXPECT_EQ(S_OK, FireOne(7, { MakeI4(1), MakeI4(1), MakeR8(1), MakeI4(0), MakeI4(0), MakeI4(0), MakeI4(0), object }));
    owner.log.clear();
    EXPECT_TRUE(FAILED(FireOne(7, { tooBigForShort, MakeI4(1), MakeR8(1), MakeI4(0), MakeI4(0), MakeI4(0), MakeI4(0), object })));
    EXPECT_TRUE(owner.log.empty());
}

TEST_F(EventSinkTest, TheSinkIsFoundByTheControlsOutgoingInterfaceAndLeavesWithItsConnection)
{
    EventOwner owner;
    {
        COleEventConnection connection;
        ASSERT_EQ(S_OK, connection.Connect(control->AsDispatch(), &owner, MapOf(owner), 1053));
        EXPECT_EQ(1u, control->SinkCount());
        // Connecting again replaces the earlier sink rather than adding a second one.
        ASSERT_EQ(S_OK, connection.Connect(control->AsDispatch(), &owner, MapOf(owner), 1053));
        EXPECT_EQ(1u, control->SinkCount());
    }
    EXPECT_EQ(0u, control->SinkCount()) << "the connection's destructor unadvises";
    EXPECT_EQ(2, control->nUnadvised);

    // A control that names no outgoing interface is reached under IID_IDispatch.
    control->bAdvertiseEventsIid = false;
    COleEventConnection plain;
    ASSERT_EQ(S_OK, plain.Connect(control->AsDispatch(), &owner, MapOf(owner), 1053));
    FireOne(1);
    EXPECT_EQ(std::vector<std::string>{ "finished" }, owner.log);

    // No connection points at all: the connection fails and stays empty.
    ComPtr<TestControl> silent = ComPtr<TestControl>::Adopt(new TestControl);
    silent->bHasEvents = false;
    COleEventConnection none;
    EXPECT_TRUE(FAILED(none.Connect(silent->AsDispatch(), &owner, MapOf(owner), 1053)));
    EXPECT_FALSE(none.IsConnected());
}

TEST_F(EventSinkTest, AControlThatKeepsFiringAfterDisconnectReachesNobody)
{
    // The owner may be gone by then: events into a sink that was let go must go nowhere.
    control->bIgnoreUnadvise = true;
    EventOwner owner;
    auto connection = std::make_unique<COleEventConnection>();
    ASSERT_EQ(S_OK, connection->Connect(control->AsDispatch(), &owner, MapOf(owner), 1053));
    FireOne(1);
    EXPECT_EQ(1u, owner.log.size());
    connection.reset();
    EXPECT_EQ(S_OK, FireOne(2, { MakeR8(1), MakeR8(2) }));
    EXPECT_EQ(1u, owner.log.size());
}

} // namespace
