// COleDispatchDriver: argument marshalling into VARIANTs, the IDispatch::Invoke call, and the
// conversion of the result back into the caller's C++ type.
#include "framework/OleDispatchDriver.h"

#include <windows.h>

#include <climits>
#include <vector>

#include "framework/OleVariant.h"

namespace ole {

HRESULT DispArg::ToVariant(VARTYPE vt, VARIANT& out) const
{
    VariantInit(&out);
    switch (m_kind) {
    case Kind::Integer:
        if (vt == VT_I2) {
            if (m_nValue < SHRT_MIN || m_nValue > SHRT_MAX)
                return DISP_E_OVERFLOW;
            V_VT(&out) = VT_I2;
            V_I2(&out) = static_cast<SHORT>(m_nValue);
            return S_OK;
        }
        if (vt == VT_I4) {
            if (m_nValue < LONG_MIN || m_nValue > LONG_MAX)
                return DISP_E_OVERFLOW;
            V_VT(&out) = VT_I4;
            V_I4(&out) = static_cast<LONG>(m_nValue);
            return S_OK;
        }
        if (vt == VT_BOOL) { // a BOOL argument: any nonzero value is true
            V_VT(&out) = VT_BOOL;
            V_BOOL(&out) = m_nValue ? VARIANT_TRUE : VARIANT_FALSE;
            return S_OK;
        }
        if (vt == VT_R4 || vt == VT_R8) { // whole numbers are exact as reals
            V_VT(&out) = vt;
            if (vt == VT_R4)
                V_R4(&out) = static_cast<float>(m_nValue);
            else
                V_R8(&out) = static_cast<double>(m_nValue);
            return S_OK;
        }
        return DISP_E_TYPEMISMATCH;
    case Kind::Real:
        if (vt == VT_R4) {
            V_VT(&out) = VT_R4;
            V_R4(&out) = static_cast<float>(m_dValue);
            return S_OK;
        }
        if (vt == VT_R8) {
            V_VT(&out) = VT_R8;
            V_R8(&out) = m_dValue;
            return S_OK;
        }
        return DISP_E_TYPEMISMATCH;
    case Kind::Flag:
        if (vt != VT_BOOL)
            return DISP_E_TYPEMISMATCH;
        V_VT(&out) = VT_BOOL;
        V_BOOL(&out) = m_nValue ? VARIANT_TRUE : VARIANT_FALSE;
        return S_OK;
    case Kind::Text: {
        if (vt != VT_BSTR)
            return DISP_E_TYPEMISMATCH;
        OleBstr bstr(m_szText);
        if (!bstr.Get())
            return E_OUTOFMEMORY;
        V_VT(&out) = VT_BSTR;
        V_BSTR(&out) = bstr.Detach();
        return S_OK;
    }
    case Kind::Dispatch:
        if (vt != VT_DISPATCH)
            return DISP_E_TYPEMISMATCH;
        V_VT(&out) = VT_DISPATCH;
        V_DISPATCH(&out) = m_pDispatch;
        if (m_pDispatch)
            m_pDispatch->AddRef(); // VariantClear releases it after the call
        return S_OK;
    }
    return DISP_E_TYPEMISMATCH;
}

bool DispResult::Accepts(VARTYPE vt) const
{
    switch (m_kind) {
    case Kind::None:
        return true; // nothing to store, whatever comes back
    case Kind::I2:
        return vt == VT_I2;
    case Kind::I4:
        return vt == VT_I4;
    case Kind::Int:
        return vt == VT_I4 || vt == VT_BOOL;
    case Kind::R4:
        return vt == VT_R4;
    case Kind::R8:
        return vt == VT_R8;
    case Kind::Bool:
        return vt == VT_BOOL;
    case Kind::Text:
        return vt == VT_BSTR;
    case Kind::Dispatch:
        return vt == VT_DISPATCH;
    }
    return false;
}

void DispResult::Store(const VARIANT& value) const
{
    switch (m_kind) {
    case Kind::None:
        return;
    case Kind::I2:
        *static_cast<short*>(m_p) = V_I2(&value);
        return;
    case Kind::I4:
        *static_cast<long*>(m_p) = V_I4(&value);
        return;
    case Kind::Int:
        // A VARIANT_BOOL is -1 for true; a BOOL is TRUE (1).
        *static_cast<int*>(m_p) = V_VT(&value) == VT_BOOL ? (V_BOOL(&value) ? TRUE : FALSE)
                                                          : static_cast<int>(V_I4(&value));
        return;
    case Kind::R4:
        *static_cast<float*>(m_p) = V_R4(&value);
        return;
    case Kind::R8:
        *static_cast<double*>(m_p) = V_R8(&value);
        return;
    case Kind::Bool:
        *static_cast<bool*>(m_p) = V_BOOL(&value) != VARIANT_FALSE;
        return;
    case Kind::Text:
        *static_cast<CString*>(m_p) = CString(OleBstrToAnsi(V_BSTR(&value)));
        return;
    case Kind::Dispatch: {
        IDispatch* p = V_DISPATCH(&value);
        if (p)
            p->AddRef();
        *static_cast<IDispatch**>(m_p) = p;
        return;
    }
    }
}

} // namespace ole

// ---------------------------------------------------------------------------------------------

COleDispatchDriver::COleDispatchDriver(IDispatch* pDispatch, BOOL bAutoRelease)
{
    AttachDispatch(pDispatch, bAutoRelease);
}

BOOL COleDispatchDriver::CreateDispatch(REFCLSID clsid)
{
    ReleaseDispatch();
    ComPtr<IUnknown> pUnknown;
    HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_ALL, IID_IUnknown, pUnknown.ReceiveVoid());
    if (FAILED(hr))
        return FALSE;
    hr = pUnknown.QueryInterface(IID_IDispatch, m_pDispatch);
    return SUCCEEDED(hr) && m_pDispatch ? TRUE : FALSE;
}

BOOL COleDispatchDriver::CreateDispatch(const char* szProgID)
{
    ReleaseDispatch();
    if (!szProgID || !*szProgID)
        return FALSE;
    OleBstr wideName(szProgID);
    CLSID clsid;
    const HRESULT hr = (szProgID[0] == '{') ? CLSIDFromString(wideName.Get(), &clsid)
                                            : CLSIDFromProgID(wideName.Get(), &clsid);
    if (FAILED(hr))
        return FALSE;
    return CreateDispatch(clsid);
}

void COleDispatchDriver::AttachDispatch(IDispatch* pDispatch, BOOL bAutoRelease)
{
    m_pDispatch = bAutoRelease ? ComPtr<IDispatch>::Adopt(pDispatch) : ComPtr<IDispatch>(pDispatch);
}

void COleDispatchDriver::ReleaseDispatch()
{
    m_pDispatch.Reset();
}

IDispatch* COleDispatchDriver::DetachDispatch()
{
    return m_pDispatch.Detach();
}

HRESULT COleDispatchDriver::InvokeHelperV(DISPID dispid, WORD wFlags, VARTYPE vtRet, ole::DispResult result,
                                          ole::DispParamTypes paramTypes, const ole::DispArg* pArgs, size_t nArgs)
{
    if (!m_pDispatch)
        return CO_E_OBJNOTCONNECTED;
    if (!result.Accepts(vtRet))
        return DISP_E_TYPEMISMATCH;

    const BYTE* pTypes = paramTypes.Bytes();
    size_t nTypes = 0;
    while (pTypes[nTypes])
        ++nTypes;
    if (nTypes != nArgs)
        return DISP_E_BADPARAMCOUNT;

    // IDispatch takes the arguments last to first.
    std::vector<OleVariant> args(nArgs);
    for (size_t i = 0; i < nArgs; ++i) {
        const HRESULT hr = pArgs[i].ToVariant(pTypes[i], *args[nArgs - 1 - i].Ptr());
        if (FAILED(hr))
            return hr;
    }

    DISPPARAMS params = {};
    static_assert(sizeof(OleVariant) == sizeof(VARIANT), "OleVariant must be a bare VARIANT");
    params.rgvarg = nArgs ? args[0].Ptr() : nullptr;
    params.cArgs = static_cast<UINT>(nArgs);
    DISPID dispidNamed = DISPID_PROPERTYPUT;
    if (wFlags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
        // A property put names its value argument; objects reject it otherwise.
        params.rgdispidNamedArgs = &dispidNamed;
        params.cNamedArgs = 1;
    }

    OleVariant returned;
    EXCEPINFO exception = {};
    UINT nArgErr = 0;
    HRESULT hr = m_pDispatch->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, wFlags, &params,
                                     vtRet == VT_EMPTY ? nullptr : returned.Ptr(), &exception, &nArgErr);
    if (hr == DISP_E_EXCEPTION) {
        SysFreeString(exception.bstrSource);
        SysFreeString(exception.bstrDescription);
        SysFreeString(exception.bstrHelpFile);
    }
    if (FAILED(hr) || vtRet == VT_EMPTY || result.Discards())
        return hr;

    if (V_VT(returned.Ptr()) != vtRet) {
        const HRESULT hrChange = VariantChangeType(returned.Ptr(), returned.Ptr(), 0, vtRet);
        if (FAILED(hrChange))
            return hrChange;
    }
    result.Store(returned.Ref());
    return hr;
}
