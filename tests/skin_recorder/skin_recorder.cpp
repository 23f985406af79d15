// A recording stand-in for the skin component, for tests only: an in-process COM server
// that answers every IDispatch call and appends one line per call to a log file, so a test
// can check which calls the program made, in which order and with which arguments.
// Line format: "<dispid>(<arg>,<arg>...)"; integers in decimal, strings as they are.
// The log is the file named by the environment variable VARNELLO_SKIN_LOG.
#include <windows.h>
#include <ole2.h>

#include <atomic>
#include <cstdio>
#include <string>

#include "framework/ComObject.h"

namespace {

// {6A1F2B3C-4D5E-4F60-8172-93A4B5C6D7E8}
const CLSID kClsidSkinRecorder = {0x6a1f2b3c, 0x4d5e, 0x4f60, {0x81, 0x72, 0x93, 0xa4, 0xb5, 0xc6, 0xd7, 0xe8}};

std::atomic<long> g_objects{0};
std::atomic<long> g_locks{0};

std::string ArgumentText(const VARIANT& arg)
{
    VARIANT converted;
    VariantInit(&converted);
    std::string text = "?";
    if (arg.vt == VT_BSTR) {
        int size = WideCharToMultiByte(CP_ACP, 0, arg.bstrVal, -1, nullptr, 0, nullptr, nullptr);
        std::string out(size > 0 ? size - 1 : 0, '\0');
        WideCharToMultiByte(CP_ACP, 0, arg.bstrVal, -1, out.data(), size, nullptr, nullptr);
        text = out;
    } else if (SUCCEEDED(VariantChangeType(&converted, const_cast<VARIANT*>(&arg), 0, VT_I8))) {
        text = std::to_string(converted.llVal);
    }
    VariantClear(&converted);
    return text;
}

void AppendToLog(const std::string& line)
{
    char path[MAX_PATH] = {};
    if (!GetEnvironmentVariableA("VARNELLO_SKIN_LOG", path, sizeof(path)))
        return;
    FILE* file = std::fopen(path, "a");
    if (!file)
        return;
    std::fprintf(file, "%s\n", line.c_str());
    std::fclose(file);
}

class SkinRecorder final : public ComObject<IDispatch> {
public:
    SkinRecorder() { ++g_objects; }
    ~SkinRecorder() override { --g_objects; }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override { *count = 0; return S_OK; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override
    {
        return DISP_E_UNKNOWNNAME;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID dispid, REFIID, LCID, WORD, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO*, UINT*) override
    {
        std::string line = std::to_string(dispid) + "(";
        // Arguments arrive last first.
        for (UINT i = params ? params->cArgs : 0; i > 0; --i) {
            line += ArgumentText(params->rgvarg[i - 1]);
            if (i > 1)
                line += ",";
        }
        line += ")";
        AppendToLog(line);
        if (result)
            VariantInit(result);
        return S_OK;
    }
};

class Factory final : public ComStaticObject<IClassFactory> {
public:
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override
    {
        if (outer)
            return CLASS_E_NOAGGREGATION;
        auto* recorder = new SkinRecorder();
        const HRESULT hr = recorder->QueryInterface(riid, ppv);
        recorder->Release();
        return hr;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override
    {
        lock ? ++g_locks : --g_locks;
        return S_OK;
    }
};

Factory g_factory;

} // namespace

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID riid, void** ppv)
{
    if (clsid != kClsidSkinRecorder)
        return CLASS_E_CLASSNOTAVAILABLE;
    return g_factory.QueryInterface(riid, ppv);
}

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllCanUnloadNow()
{
    return (g_objects == 0 && g_locks == 0) ? S_OK : S_FALSE;
}
