// A recording stand-in for iTunes' automation object, as an in-process COM server that the
// ViviRarir test registers under "iTunes.Application" in its own Wine prefix. It answers
// LibraryPlaylist, AddFile and the operation's InProgress (true for the first three
// questions, or for ever with VIVIRARIR_ITUNES_STUCK set: an iTunes that never finishes), and
// appends what it was asked to the file named by VIVIRARIR_ITUNES_RECORD.
#include <windows.h>
#include <objbase.h>
#include <oleauto.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "framework/ComObject.h"

// {5B0C7A37-0E5D-4C3A-9A41-6D2B1F7C9E11}
static const CLSID kStandInClsid = {0x5b0c7a37, 0x0e5d, 0x4c3a, {0x9a, 0x41, 0x6d, 0x2b, 0x1f, 0x7c, 0x9e, 0x11}};

namespace {

void Record(const std::string& line)
{
    char path[MAX_PATH] = {};
    if (!GetEnvironmentVariableA("VIVIRARIR_ITUNES_RECORD", path, sizeof(path)))
        return;
    if (FILE* f = std::fopen(path, "ab")) {
        std::fprintf(f, "%s\n", line.c_str());
        std::fclose(f);
    }
}

std::string Narrow(const wchar_t* text)
{
    const int n = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string out(n > 0 ? n - 1 : 0, '\0');
    if (n > 1)
        WideCharToMultiByte(CP_ACP, 0, text, -1, &out[0], n, nullptr, nullptr);
    return out;
}

// An IDispatch whose members are looked up by name; the derived object answers by index.
class DispatchObject : public ComObject<IDispatch> {
public:
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override
    {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override
    {
        if (count != 1)
            return DISP_E_UNKNOWNNAME;
        const int index = MemberIndex(names[0]);
        if (index < 0)
            return DISP_E_UNKNOWNNAME;
        ids[0] = index + 1;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO*, UINT*) override
    {
        return Call(id - 1, flags, params, result);
    }

protected:
    virtual int MemberIndex(const wchar_t* name) = 0;
    virtual HRESULT Call(int index, WORD flags, DISPPARAMS* params, VARIANT* result) = 0;
};

class Operation : public DispatchObject {
    int m_questions = 0;
    int MemberIndex(const wchar_t* name) override { return _wcsicmp(name, L"InProgress") == 0 ? 0 : -1; }
    HRESULT Call(int index, WORD flags, DISPPARAMS*, VARIANT* result) override
    {
        if (index != 0 || !(flags & DISPATCH_PROPERTYGET) || !result)
            return DISP_E_MEMBERNOTFOUND;
        ++m_questions;
        result->vt = VT_BOOL;
        const bool stuck = GetEnvironmentVariableA("VIVIRARIR_ITUNES_STUCK", nullptr, 0) > 0;
        result->boolVal = stuck || m_questions <= 3 ? VARIANT_TRUE : VARIANT_FALSE;
        if (m_questions == 4)
            Record("done after 4 questions");
        return S_OK;
    }
};

class Playlist : public DispatchObject {
    int MemberIndex(const wchar_t* name) override { return _wcsicmp(name, L"AddFile") == 0 ? 0 : -1; }
    HRESULT Call(int index, WORD flags, DISPPARAMS* params, VARIANT* result) override
    {
        if (index != 0 || !(flags & DISPATCH_METHOD) || params->cArgs != 1 || params->rgvarg[0].vt != VT_BSTR)
            return DISP_E_BADPARAMCOUNT;
        Record("AddFile " + Narrow(params->rgvarg[0].bstrVal));
        if (result) {
            result->vt = VT_DISPATCH;
            result->pdispVal = new Operation();
        }
        return S_OK;
    }
};

class Application : public DispatchObject {
    int MemberIndex(const wchar_t* name) override { return _wcsicmp(name, L"LibraryPlaylist") == 0 ? 0 : -1; }
    HRESULT Call(int index, WORD flags, DISPPARAMS*, VARIANT* result) override
    {
        if (index != 0 || !(flags & DISPATCH_PROPERTYGET) || !result)
            return DISP_E_MEMBERNOTFOUND;
        result->vt = VT_DISPATCH;
        result->pdispVal = new Playlist();
        return S_OK;
    }
};

class Factory : public ComStaticObject<IClassFactory> {
public:
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override
    {
        if (outer)
            return CLASS_E_NOAGGREGATION;
        Record("created");
        Application* app = new Application();
        const HRESULT hr = app->QueryInterface(riid, ppv);
        app->Release();
        return hr;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

Factory g_factory;

} // namespace

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID riid, void** ppv)
{
    if (clsid != kStandInClsid)
        return CLASS_E_CLASSNOTAVAILABLE;
    return g_factory.QueryInterface(riid, ppv);
}

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllCanUnloadNow() { return S_FALSE; }
