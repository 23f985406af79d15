// Reading the arguments of an IDispatch::Invoke call without a type library.
#include "standins/videoedit/dispatch_args.h"

namespace vedit {

UINT DispatchArgs::Count() const
{
    return m_params ? m_params->cArgs - m_params->cNamedArgs : 0;
}

HRESULT DispatchArgs::Convert(const VARIANTARG& source, UINT rawIndex, VARTYPE type, VARIANT& value) const
{
    VariantInit(&value);
    const HRESULT hr = VariantChangeType(&value, const_cast<VARIANTARG*>(&source), 0, type);
    if (FAILED(hr) && m_argErr)
        *m_argErr = rawIndex;
    return FAILED(hr) ? DISP_E_TYPEMISMATCH : S_OK;
}

HRESULT DispatchArgs::PutValue(VARTYPE type, VARIANT& value) const
{
    if (!m_params || m_params->cArgs == 0)
        return DISP_E_BADPARAMCOUNT;
    for (UINT i = 0; i < m_params->cNamedArgs; ++i)
        if (m_params->rgdispidNamedArgs[i] == DISPID_PROPERTYPUT)
            return Convert(m_params->rgvarg[i], i, type, value);
    if (m_params->cNamedArgs == 0 && m_params->cArgs == 1)
        return Convert(m_params->rgvarg[0], 0, type, value);
    return DISP_E_PARAMNOTFOUND;
}

HRESULT DispatchArgs::Positional(UINT index, VARTYPE type, VARIANT& value) const
{
    if (index >= Count())
        return DISP_E_BADPARAMCOUNT;
    // Positional arguments follow the named ones, last argument first.
    const UINT raw = m_params->cArgs - 1 - index;
    return Convert(m_params->rgvarg[raw], raw, type, value);
}

HRESULT DispatchArgs::Text(UINT index, std::wstring& text) const
{
    ScopedVariant v;
    const HRESULT hr = Positional(index, VT_BSTR, v.value);
    if (SUCCEEDED(hr))
        text.assign(v.value.bstrVal ? v.value.bstrVal : L"", v.value.bstrVal ? SysStringLen(v.value.bstrVal) : 0);
    return hr;
}

HRESULT DispatchArgs::Number(UINT index, double& number) const
{
    ScopedVariant v;
    const HRESULT hr = Positional(index, VT_R8, v.value);
    if (SUCCEEDED(hr))
        number = v.value.dblVal;
    return hr;
}

HRESULT DispatchArgs::Short(UINT index, short& number) const
{
    ScopedVariant v;
    const HRESULT hr = Positional(index, VT_I2, v.value);
    if (SUCCEEDED(hr))
        number = v.value.iVal;
    return hr;
}

} // namespace vedit
