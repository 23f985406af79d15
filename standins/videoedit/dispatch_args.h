// Reading the arguments of an IDispatch::Invoke call without a type library: each is
// converted to the type the member declares, as a type library would have had COM do.
#pragma once
#include <oaidl.h>
#include <windows.h>

#include <string>

namespace vedit {

class DispatchArgs {
public:
    DispatchArgs(const DISPPARAMS* params, UINT* argErr) : m_params(params), m_argErr(argErr) {}

    // Number of positional arguments (a property put's value is not one of them).
    UINT Count() const;
    // The value of a property put: the named DISPID_PROPERTYPUT argument, or a lone
    // positional one from callers that put by method.
    HRESULT PutValue(VARTYPE type, VARIANT& value) const;
    // The positional argument at index (0 = first in the member's declaration).
    HRESULT Positional(UINT index, VARTYPE type, VARIANT& value) const;

    HRESULT Text(UINT index, std::wstring& text) const;
    HRESULT Number(UINT index, double& number) const;
    HRESULT Short(UINT index, short& number) const;

private:
    HRESULT Convert(const VARIANTARG& source, UINT rawIndex, VARTYPE type, VARIANT& value) const;

    const DISPPARAMS* m_params;
    UINT* m_argErr;
};

// A VARIANT cleared when it goes.
struct ScopedVariant {
    VARIANT value;
    ScopedVariant() { VariantInit(&value); }
    ~ScopedVariant() { VariantClear(&value); }
    ScopedVariant(const ScopedVariant&) = delete;
    ScopedVariant& operator=(const ScopedVariant&) = delete;
};

} // namespace vedit
