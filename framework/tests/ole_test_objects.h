// COM objects for the framework's COM tests: an IDispatch that records every call it gets and
// answers with a chosen VARIANT, and a class factory to register any such object by CLSID.
#pragma once
#include <windows.h>
#include <ocidl.h>

#include <oleidl.h>
#include <olectl.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "common/ComPtr.h"

namespace oletest {

// A VARIANT copy that owns its contents, so tests can look at recorded arguments later.
struct HeldVariant {
    VARIANT var;
    explicit HeldVariant(const VARIANT& src)
    {
        VariantInit(&var);
        VariantCopy(&var, const_cast<VARIANT*>(&src));
    }
    HeldVariant(const HeldVariant& other) : HeldVariant(other.var) {}
    HeldVariant& operator=(const HeldVariant&) = delete;
    ~HeldVariant() { VariantClear(&var); }
};

struct RecordedCall {
    DISPID dispid;
    WORD wFlags;
    std::vector<HeldVariant> args; // in the caller's order (first argument first)
    std::vector<DISPID> named;
    bool wantedResult;
};

// Reference counting that tests can read.
class RefCounted {
public:
    virtual ~RefCounted() = default;
    ULONG AddRefImpl() { return ++m_nRefs; }
    ULONG ReleaseImpl()
    {
        const ULONG n = --m_nRefs;
        if (n == 0)
            delete this;
        return n;
    }
    ULONG RefCount() const { return m_nRefs; }

private:
    ULONG m_nRefs = 1;
};

class RecordingDispatch : public IDispatch, public RefCounted {
public:
    std::vector<RecordedCall> calls;
    VARIANT resultToGive;            // returned by every call (copied)
    HRESULT hrToGive = S_OK;         // returned by every call
    std::function<void(const RecordedCall&)> onCall; // optional reaction (e.g. firing an event)

    RecordingDispatch() { VariantInit(&resultToGive); }
    ~RecordingDispatch() override { VariantClear(&resultToGive); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** ppv) override
    {
        if (iid == IID_IUnknown || iid == IID_IDispatch) {
            *ppv = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return AddRefImpl(); }
    ULONG STDMETHODCALLTYPE Release() override { return ReleaseImpl(); }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* pn) override
    {
        *pn = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID dispid, REFIID, LCID, WORD wFlags, DISPPARAMS* params,
                                     VARIANT* pResult, EXCEPINFO*, UINT*) override
    {
        RecordedCall call{ dispid, wFlags, {}, {}, pResult != nullptr };
        for (UINT i = params->cArgs; i > 0; --i)
            call.args.emplace_back(params->rgvarg[i - 1]);
        for (UINT i = 0; i < params->cNamedArgs; ++i)
            call.named.push_back(params->rgdispidNamedArgs[i]);
        calls.push_back(call);
        if (onCall)
            onCall(calls.back());
        if (pResult && SUCCEEDED(hrToGive))
            VariantCopy(pResult, &resultToGive);
        return hrToGive;
    }
};

// Creates a new object from a function on every CreateInstance.
class FunctionClassFactory : public IClassFactory, public RefCounted {
public:
    explicit FunctionClassFactory(std::function<IUnknown*()> make) : m_make(std::move(make)) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** ppv) override
    {
        if (iid == IID_IUnknown || iid == IID_IClassFactory) {
            *ppv = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return AddRefImpl(); }
    ULONG STDMETHODCALLTYPE Release() override { return ReleaseImpl(); }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** ppv) override
    {
        *ppv = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        ComPtr<IUnknown> object = ComPtr<IUnknown>::Adopt(m_make());
        ++instancesMade;
        return object->QueryInterface(iid, ppv);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

    int instancesMade = 0;

private:
    std::function<IUnknown*()> m_make;
};

// Registers a factory for the life of the object (CoRegisterClassObject / CoRevokeClassObject).
class ClassRegistration {
public:
    ClassRegistration(REFCLSID clsid, IClassFactory* factory)
    {
        m_hr = CoRegisterClassObject(clsid, factory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &m_cookie);
    }
    ~ClassRegistration()
    {
        if (SUCCEEDED(m_hr))
            CoRevokeClassObject(m_cookie);
    }
    ClassRegistration(const ClassRegistration&) = delete;
    ClassRegistration& operator=(const ClassRegistration&) = delete;
    HRESULT Result() const { return m_hr; }

private:
    HRESULT m_hr = E_FAIL;
    DWORD m_cookie = 0;
};

// A control as the framework hosts it: IDispatch (recording), events through
// IConnectionPointContainer (advertised by IProvideClassInfo2 unless told not to), and a window
// made as a child of the site's window (IObjectWithSite + IOleWindow). Counts live instances.
class TestControl : public RecordingDispatch,
                    public IConnectionPointContainer,
                    public IConnectionPoint,
                    public IProvideClassInfo2,
                    public IObjectWithSite,
                    public IOleWindow {
public:
    // {B7E1C0A2-55D3-4F0E-8E21-3C9A7F60D402}: the control's outgoing dispinterface
    static constexpr IID kEventsIid = { 0xb7e1c0a2, 0x55d3, 0x4f0e, { 0x8e, 0x21, 0x3c, 0x9a, 0x7f, 0x60, 0xd4, 0x02 } };
    static int& LiveCount()
    {
        static int n = 0;
        return n;
    }

    bool bAdvertiseEventsIid = true; // false: the connection point is under IID_IDispatch
    bool bIgnoreUnadvise = false;    // a careless control that keeps firing into old sinks
    bool bHasEvents = true;          // false: no IConnectionPointContainer
    HWND hHostSeen = nullptr;        // the window the site gave
    HWND hWnd = nullptr;             // the control's own window
    bool bSiteCleared = false;

    TestControl() { ++LiveCount(); }
    ~TestControl() override
    {
        --LiveCount();
        if (hWnd)
            DestroyWindow(hWnd);
    }

    // Fires dispid at every advised sink with args in the caller's order; the sinks' results.
    std::vector<HRESULT> Fire(DISPID dispid, std::vector<VARIANT> args = {})
    {
        std::vector<VARIANT> reversed(args.rbegin(), args.rend());
        DISPPARAMS params = { reversed.empty() ? nullptr : reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0 };
        std::vector<HRESULT> results;
        auto sinks = m_sinks; // a handler may unadvise while we walk
        for (auto& sink : sinks)
            results.push_back(sink.second->Invoke(dispid, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr));
        return results;
    }
    size_t SinkCount() const { return m_sinks.size(); }
    IDispatch* AsDispatch() { return static_cast<RecordingDispatch*>(this); }

    // IUnknown for every interface.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** ppv) override
    {
        if (iid == IID_IUnknown || iid == IID_IDispatch)
            *ppv = static_cast<IDispatch*>(static_cast<RecordingDispatch*>(this));
        else if (iid == IID_IConnectionPointContainer && bHasEvents)
            *ppv = static_cast<IConnectionPointContainer*>(this);
        else if (iid == IID_IProvideClassInfo2 || iid == IID_IProvideClassInfo)
            *ppv = bAdvertiseEventsIid ? static_cast<IProvideClassInfo2*>(this) : nullptr;
        else if (iid == IID_IObjectWithSite)
            *ppv = static_cast<IObjectWithSite*>(this);
        else if (iid == IID_IOleWindow)
            *ppv = static_cast<IOleWindow*>(this);
        else
            *ppv = nullptr;
        if (!*ppv)
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return AddRefImpl(); }
    ULONG STDMETHODCALLTYPE Release() override { return ReleaseImpl(); }

    // IConnectionPointContainer
    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** ppPoint) override
    {
        *ppPoint = nullptr;
        if (iid != EventsIid())
            return CONNECT_E_NOCONNECTION;
        *ppPoint = static_cast<IConnectionPoint*>(this);
        AddRef();
        return S_OK;
    }

    // IConnectionPoint
    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* piid) override
    {
        *piid = EventsIid();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** pp) override
    {
        *pp = static_cast<IConnectionPointContainer*>(this);
        AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* pSink, DWORD* pdwCookie) override
    {
        ComPtr<IDispatch> events; // a real control asks the sink for its outgoing interface
        if (FAILED(pSink->QueryInterface(EventsIid(), events.ReceiveVoid())))
            return CONNECT_E_CANNOTCONNECT;
        *pdwCookie = ++m_dwLastCookie;
        m_sinks.emplace_back(*pdwCookie, events);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD dwCookie) override
    {
        ++nUnadvised;
        if (bIgnoreUnadvise)
            return S_OK;
        for (auto it = m_sinks.begin(); it != m_sinks.end(); ++it) {
            if (it->first == dwCookie) {
                m_sinks.erase(it);
                return S_OK;
            }
        }
        return CONNECT_E_NOCONNECTION;
    }
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections**) override { return E_NOTIMPL; }
    int nUnadvised = 0;

    // IProvideClassInfo2
    HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo** pp) override
    {
        *pp = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetGUID(DWORD dwKind, GUID* pGuid) override
    {
        if (dwKind != GUIDKIND_DEFAULT_SOURCE_DISP_IID)
            return E_INVALIDARG;
        *pGuid = kEventsIid;
        return S_OK;
    }

    // IObjectWithSite: the control's window lives as a child of the site's window.
    HRESULT STDMETHODCALLTYPE SetSite(IUnknown* pSite) override
    {
        m_pSite.Reset();
        if (!pSite) {
            bSiteCleared = true;
            if (hWnd)
                DestroyWindow(hWnd);
            hWnd = nullptr;
            return S_OK;
        }
        m_pSite = ComPtr<IUnknown>(pSite);
        ComPtr<IOleWindow> siteWindow;
        if (SUCCEEDED(pSite->QueryInterface(IID_IOleWindow, siteWindow.ReceiveVoid())))
            siteWindow->GetWindow(&hHostSeen);
        RECT rc = {};
        GetClientRect(hHostSeen, &rc);
        hWnd = CreateWindowExA(0, "Static", "test control", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0,
                               rc.right, rc.bottom, hHostSeen, nullptr, GetModuleHandleA(nullptr), nullptr);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetSite(REFIID iid, void** ppv) override
    {
        *ppv = nullptr;
        return m_pSite ? m_pSite->QueryInterface(iid, ppv) : E_FAIL;
    }

    // IOleWindow
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* phwnd) override
    {
        *phwnd = hWnd;
        return hWnd ? S_OK : E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

private:
    REFIID EventsIid() const { return bAdvertiseEventsIid ? kEventsIid : IID_IDispatch; }

    ComPtr<IUnknown> m_pSite;
    std::vector<std::pair<DWORD, ComPtr<IDispatch>>> m_sinks;
    DWORD m_dwLastCookie = 0;
};

inline VARIANT MakeR8(double d)
{
    VARIANT v;
    VariantInit(&v);
    V_VT(&v) = VT_R8;
    V_R8(&v) = d;
    return v;
}
inline VARIANT MakeI4(long n)
{
    VARIANT v;
    VariantInit(&v);
    V_VT(&v) = VT_I4;
    V_I4(&v) = n;
    return v;
}

// COM for one test: initialised in the constructor, uninitialised in the destructor.
class ComScope {
public:
    ComScope() { CoInitialize(nullptr); }
    ~ComScope() { CoUninitialize(); }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;
};

} // namespace oletest
