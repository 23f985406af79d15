// COM objects for the framework's COM tests: an IDispatch that records every call it gets and
// answers with a chosen VARIANT, and a class factory to register any such object by CLSID.
#pragma once
#include <windows.h>
#include <ocidl.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/OleComPtr.h"

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

// COM for one test: initialised in the constructor, uninitialised in the destructor.
class ComScope {
public:
    ComScope() { CoInitialize(nullptr); }
    ~ComScope() { CoUninitialize(); }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;
};

} // namespace oletest
