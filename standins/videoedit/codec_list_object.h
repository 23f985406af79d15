// The codec list the component hands out: Count (DISPID 1) and Item (DISPID 3) through
// IDispatch, a snapshot of the names at the time it was asked for.
#pragma once
#include <oaidl.h>
#include <windows.h>

#include <atomic>
#include <string>
#include <vector>

namespace vedit {

class CodecListObject final : public IDispatch {
public:
    static constexpr DISPID kDispidCount = 1;
    static constexpr DISPID kDispidItem = 3;

    // Returns the new object with one reference, owned by the caller.
    static IDispatch* Create(std::vector<std::string> names);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO*, UINT* argErr) override;

private:
    explicit CodecListObject(std::vector<std::string> names) : m_names(std::move(names)) {}
    ~CodecListObject() = default;

    std::vector<std::string> m_names; // UTF-8
    std::atomic<ULONG> m_refs{1};
};

} // namespace vedit
