// The codec list the component hands out.
#include "standins/videoedit/codec_list_object.h"

#include "standins/videoedit/dispatch_args.h"
#include "standins/videoedit/win_util.h"

namespace vedit {

IDispatch* CodecListObject::Create(std::vector<std::string> names)
{
    return new CodecListObject(std::move(names));
}

HRESULT CodecListObject::QueryInterface(REFIID riid, void** object)
{
    if (!object)
        return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IDispatch) {
        *object = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG CodecListObject::Release()
{
    const ULONG left = --m_refs;
    if (left == 0)
        delete this;
    return left;
}

HRESULT CodecListObject::GetTypeInfoCount(UINT* count)
{
    if (!count)
        return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT CodecListObject::GetTypeInfo(UINT, LCID, ITypeInfo** info)
{
    if (info)
        *info = nullptr;
    return E_NOTIMPL;
}

HRESULT CodecListObject::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids)
{
    if (!names || !ids || count == 0)
        return E_POINTER;
    for (UINT i = 0; i < count; ++i)
        ids[i] = DISPID_UNKNOWN;
    if (lstrcmpiW(names[0], L"Count") == 0)
        ids[0] = kDispidCount;
    else if (lstrcmpiW(names[0], L"Item") == 0)
        ids[0] = kDispidItem;
    else
        return DISP_E_UNKNOWNNAME;
    return count == 1 ? S_OK : DISP_E_UNKNOWNNAME;
}

HRESULT CodecListObject::Invoke(DISPID member, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                VARIANT* result, EXCEPINFO*, UINT* argErr)
{
    DispatchArgs args(params, argErr);
    if (member == kDispidCount) {
        if (!(flags & (DISPATCH_PROPERTYGET | DISPATCH_METHOD)))
            return DISP_E_MEMBERNOTFOUND;
        if (result) {
            VariantInit(result);
            result->vt = VT_I2;
            result->iVal = static_cast<SHORT>(m_names.size());
        }
        return S_OK;
    }
    if (member == kDispidItem) {
        if (!(flags & (DISPATCH_PROPERTYGET | DISPATCH_METHOD)))
            return DISP_E_MEMBERNOTFOUND;
        short index = 0;
        const HRESULT hr = args.Short(0, index);
        if (FAILED(hr))
            return hr;
        if (index < 0 || index >= static_cast<short>(m_names.size()))
            return DISP_E_BADINDEX;
        if (result) {
            VariantInit(result);
            const std::wstring name = WideFromUtf8(m_names[index]);
            result->vt = VT_BSTR;
            result->bstrVal = SysAllocStringLen(name.data(), static_cast<UINT>(name.size()));
        }
        return S_OK;
    }
    return DISP_E_MEMBERNOTFOUND;
}

} // namespace vedit
