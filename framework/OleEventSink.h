// Event sink maps: per-class tables of (control id, event DISPID) -> typed member handler,
// chained to the base class's table, and the IDispatch sink object that a hosted control's
// connection point calls.
//
//     // in the class:   DECLARE_EVENTSINK_MAP()
//     BEGIN_EVENTSINK_MAP(CMyDlg, CDialog)
//         ON_EVENT(CMyDlg, 1053, 2, OnConvertProgress, VTS_R8 VTS_R8)  // void OnConvertProgress(double, double)
//         ON_EVENT(CMyDlg, 1053, 1, OnConvertFinished, VTS_NONE)        // void OnConvertFinished()
//     END_EVENTSINK_MAP()
//
// Handlers return void. Their parameter types are checked against the VTS_ list at compile
// time: short (VTS_I2), long (VTS_I4), int (VTS_I4 or VTS_BOOL, as BOOL), float (VTS_R4),
// double (VTS_R8), bool (VTS_BOOL), const char* or CString (VTS_BSTR), IDispatch* (VTS_DISPATCH).
// At run time each argument the control sends is converted to the handler's type with
// VariantChangeType; an event whose arguments cannot be converted does not reach the handler.
//
// How the sink is connected to a control: the control answers IConnectionPointContainer;
// the outgoing interface's IID is IProvideClassInfo2::GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID)
// when the control implements it, else IID_IDispatch; the sink is Advise'd on that
// connection point and Unadvise'd when the connection object is destroyed. The control fires an
// event by IDispatch::Invoke(dispid, IID_NULL, lcid, DISPATCH_METHOD, params, ...) with the
// arguments last to first, on the user-interface thread.
#pragma once
#include <windows.h>
#include <ocidl.h>

#include <cstddef>
#include <tuple>
#include <type_traits>
#include <utility>

#include "framework/CString.h"
#include "common/ComPtr.h"
#include "framework/OleDispatchDriver.h" // VTS_ bytes

class CWnd;

using AfxEventThunk = HRESULT (*)(CWnd* pOwner, const DISPPARAMS& params);

struct AFX_EVENTSINKMAP_ENTRY {
    UINT nCtrlID;
    DISPID dispid;
    AfxEventThunk pfnThunk;
};

struct AFX_EVENTSINKMAP {
    const AFX_EVENTSINKMAP* (*pfnGetBaseMap)();
    const AFX_EVENTSINKMAP_ENTRY* pEntries; // ends with a null thunk
};

// The first entry for (control id, dispid) in owner's map or its base maps, or nullptr.
const AFX_EVENTSINKMAP_ENTRY* AfxFindEventSinkEntry(const AFX_EVENTSINKMAP* pMap, UINT nCtrlID, DISPID dispid);

namespace ole {

// --- one handler parameter: what VTS_ byte it accepts and how it is read from a VARIANT ------

template <class T>
struct EventArg; // only the types below can be event parameters

template <class T, VARTYPE vtWanted>
struct PlainEventArg {
    using Holder = T;
    static constexpr bool Accepts(unsigned char vt) { return vt == vtWanted; }
    static HRESULT Read(const VARIANT& in, Holder& out);
    static T Pass(Holder& h) { return h; }
};
template <> struct EventArg<short> : PlainEventArg<short, VT_I2> {};
template <> struct EventArg<long> : PlainEventArg<long, VT_I4> {};
template <> struct EventArg<float> : PlainEventArg<float, VT_R4> {};
template <> struct EventArg<double> : PlainEventArg<double, VT_R8> {};
template <> struct EventArg<bool> : PlainEventArg<bool, VT_BOOL> {};
template <> struct EventArg<int> { // an int or a BOOL; a VARIANT_BOOL arrives as TRUE/FALSE
    using Holder = int;
    static constexpr bool Accepts(unsigned char vt) { return vt == VT_I4 || vt == VT_BOOL; }
    static HRESULT Read(const VARIANT& in, Holder& out);
    static int Pass(Holder& h) { return h; }
};
template <> struct EventArg<CString> {
    using Holder = CString;
    static constexpr bool Accepts(unsigned char vt) { return vt == VT_BSTR; }
    static HRESULT Read(const VARIANT& in, Holder& out);
    static const CString& Pass(Holder& h) { return h; }
};
template <> struct EventArg<const char*> {
    using Holder = CString;
    static constexpr bool Accepts(unsigned char vt) { return vt == VT_BSTR; }
    static HRESULT Read(const VARIANT& in, Holder& out) { return EventArg<CString>::Read(in, out); }
    static const char* Pass(Holder& h) { return h; }
};
template <> struct EventArg<IDispatch*> {
    using Holder = ComPtr<IDispatch>; // borrowed by the handler for the call only
    static constexpr bool Accepts(unsigned char vt) { return vt == VT_DISPATCH; }
    static HRESULT Read(const VARIANT& in, Holder& out);
    static IDispatch* Pass(Holder& h) { return h.Get(); }
};

// Parameters by value or by const reference are read the same way.
template <class T>
using EventArgOf = EventArg<std::conditional_t<std::is_pointer_v<std::decay_t<T>>, std::decay_t<T>,
                                               std::remove_cv_t<std::remove_reference_t<T>>>>;

// --- a handler: its signature checked against the VTS_ list, and its thunk -----------------

template <class Pmf>
struct EventHandler; // handlers are non-const members returning void

template <class C, class... Args>
struct EventHandler<void (C::*)(Args...)> {
    static constexpr bool Matches(const char* vts)
    {
        std::size_t n = 0;
        while (vts[n])
            ++n;
        if (n != sizeof...(Args))
            return false;
        std::size_t i = 0;
        bool ok = true;
        ((ok = ok && EventArgOf<Args>::Accepts(static_cast<unsigned char>(vts[i++]))), ...);
        return ok;
    }

    template <void (C::*Fn)(Args...)>
    static HRESULT Call(CWnd* pOwner, const DISPPARAMS& params)
    {
        return CallIndexed<Fn>(pOwner, params, std::index_sequence_for<Args...>{});
    }

private:
    template <void (C::*Fn)(Args...), std::size_t... I>
    static HRESULT CallIndexed(CWnd* pOwner, const DISPPARAMS& params, std::index_sequence<I...>)
    {
        constexpr std::size_t N = sizeof...(Args);
        if (params.cArgs != N)
            return DISP_E_BADPARAMCOUNT;
        std::tuple<typename EventArgOf<Args>::Holder...> held;
        HRESULT hr = S_OK;
        // Arguments arrive last to first.
        ((hr = SUCCEEDED(hr) ? EventArgOf<Args>::Read(params.rgvarg[N - 1 - I], std::get<I>(held)) : hr), ...);
        if (FAILED(hr))
            return hr;
        (void)params;
        (static_cast<C*>(pOwner)->*Fn)(EventArgOf<Args>::Pass(std::get<I>(held))...);
        return S_OK;
    }
};

template <auto Fn>
constexpr bool EventSignatureMatches(const char* vts)
{
    return EventHandler<decltype(Fn)>::Matches(vts);
}

// The thunk of a handler whose signature was checked (bMatches) against its VTS_ list.
template <auto Fn, bool bMatches>
constexpr AfxEventThunk CheckedEventThunk()
{
    static_assert(bMatches, "event handler's parameter types do not match the VTS_ list of its ON_EVENT");
    return &EventHandler<decltype(Fn)>::template Call<Fn>;
}

// --- the sink object -------------------------------------------------------------------------

// The IDispatch a control fires its events into. Dispatches to the owner's sink map entries for
// its control id; after Disconnect() events are accepted and dropped.
class EventSink : public IDispatch {
public:
    EventSink(CWnd* pOwner, const AFX_EVENTSINKMAP* pMap, UINT nCtrlID, REFIID iidEvents);
    EventSink(const EventSink&) = delete;
    EventSink& operator=(const EventSink&) = delete;

    void Disconnect() { m_pOwner = nullptr; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** ppv) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* pn) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID dispid, REFIID, LCID, WORD wFlags, DISPPARAMS* params,
                                     VARIANT* pResult, EXCEPINFO*, UINT*) override;

private:
    virtual ~EventSink() = default;

    ULONG m_nRefs = 1;
    CWnd* m_pOwner;
    const AFX_EVENTSINKMAP* m_pMap;
    UINT m_nCtrlID;
    IID m_iidEvents;
};

} // namespace ole

// One control's events connected to an owner's sink map, for the life of this object.
class COleEventConnection {
public:
    COleEventConnection() = default;
    ~COleEventConnection() { Disconnect(); }
    COleEventConnection(const COleEventConnection&) = delete;
    COleEventConnection& operator=(const COleEventConnection&) = delete;

    // Advises a sink on the control's outgoing interface. Fails (and stays unconnected) when
    // the control has no such connection point. Drops any earlier connection first.
    HRESULT Connect(IUnknown* pControl, CWnd* pOwner, const AFX_EVENTSINKMAP* pMap, UINT nCtrlID);
    // Unadvises; events already on their way are dropped from here on.
    void Disconnect();
    bool IsConnected() const { return static_cast<bool>(m_pSink); }

private:
    ComPtr<IConnectionPoint> m_pPoint;
    ComPtr<ole::EventSink> m_pSink;
    DWORD m_dwCookie = 0;
};

// --- the map macros --------------------------------------------------------------------------

#define DECLARE_EVENTSINK_MAP()                                 \
protected:                                                      \
    static const AFX_EVENTSINKMAP* GetThisEventSinkMap();       \
    const AFX_EVENTSINKMAP* GetEventSinkMap() const override;

#define BEGIN_EVENTSINK_MAP(theClass, baseClass)                                                  \
    const AFX_EVENTSINKMAP* theClass::GetEventSinkMap() const { return GetThisEventSinkMap(); } \
    const AFX_EVENTSINKMAP* theClass::GetThisEventSinkMap()                                       \
    {                                                                                             \
        using TheEventBaseClass = baseClass;                                                      \
        static const AFX_EVENTSINKMAP_ENTRY entries[] = {

// void pfnHandler(parameters matching vtsParams)
#define ON_EVENT(theClass, id, dispid, pfnHandler, vtsParams)                                     \
    {static_cast<UINT>(id), static_cast<DISPID>(dispid),                                          \
     ::ole::CheckedEventThunk<&theClass::pfnHandler,                                              \
                              ::ole::EventSignatureMatches<&theClass::pfnHandler>(vtsParams)>()},

#define END_EVENTSINK_MAP()                                                                   \
            {0, 0, nullptr}                                                                   \
        };                                                                                    \
        static const AFX_EVENTSINKMAP map = {&TheEventBaseClass::GetThisEventSinkMap, entries}; \
        return &map;                                                                          \
    }
