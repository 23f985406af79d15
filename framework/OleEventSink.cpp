// Event sinks: reading event arguments, finding the handler in the owner's map chain, and
// connecting the sink to a control's outgoing interface.
#include "framework/OleEventSink.h"

#include "framework/OleVariant.h"

const AFX_EVENTSINKMAP_ENTRY* AfxFindEventSinkEntry(const AFX_EVENTSINKMAP* pMap, UINT nCtrlID, DISPID dispid)
{
    for (; pMap; pMap = pMap->pfnGetBaseMap ? pMap->pfnGetBaseMap() : nullptr) {
        for (const AFX_EVENTSINKMAP_ENTRY* pEntry = pMap->pEntries; pEntry && pEntry->pfnThunk; ++pEntry) {
            if (pEntry->nCtrlID == nCtrlID && pEntry->dispid == dispid)
                return pEntry;
        }
    }
    return nullptr;
}

namespace ole {

namespace {

// Converts (a copy of) in to vt; by-reference arguments are read through.
HRESULT ConvertArg(const VARIANT& in, VARTYPE vt, OleVariant& out)
{
    return VariantChangeType(out.Ptr(), const_cast<VARIANT*>(&in), 0, vt);
}

} // namespace

template <class T, VARTYPE vtWanted>
HRESULT PlainEventArg<T, vtWanted>::Read(const VARIANT& in, Holder& out)
{
    OleVariant converted;
    const HRESULT hr = ConvertArg(in, vtWanted, converted);
    if (FAILED(hr))
        return hr;
    const VARIANT& v = converted.Ref();
    if constexpr (vtWanted == VT_I2)
        out = V_I2(&v);
    else if constexpr (vtWanted == VT_I4)
        out = V_I4(&v);
    else if constexpr (vtWanted == VT_R4)
        out = V_R4(&v);
    else if constexpr (vtWanted == VT_R8)
        out = V_R8(&v);
    else if constexpr (vtWanted == VT_BOOL)
        out = V_BOOL(&v) != VARIANT_FALSE;
    return S_OK;
}
template struct PlainEventArg<short, VT_I2>;
template struct PlainEventArg<long, VT_I4>;
template struct PlainEventArg<float, VT_R4>;
template struct PlainEventArg<double, VT_R8>;
template struct PlainEventArg<bool, VT_BOOL>;

HRESULT EventArg<int>::Read(const VARIANT& in, Holder& out)
{
    OleVariant converted;
    const bool bIsFlag = (V_VT(&in) & VT_TYPEMASK) == VT_BOOL;
    const HRESULT hr = ConvertArg(in, bIsFlag ? VT_BOOL : VT_I4, converted);
    if (FAILED(hr))
        return hr;
    out = bIsFlag ? (V_BOOL(&converted.Ref()) ? TRUE : FALSE) : static_cast<int>(V_I4(&converted.Ref()));
    return S_OK;
}

HRESULT EventArg<CString>::Read(const VARIANT& in, Holder& out)
{
    OleVariant converted;
    const HRESULT hr = ConvertArg(in, VT_BSTR, converted);
    if (FAILED(hr))
        return hr;
    out = CString(OleBstrToAnsi(V_BSTR(&converted.Ref())));
    return S_OK;
}

HRESULT EventArg<IDispatch*>::Read(const VARIANT& in, Holder& out)
{
    OleVariant converted;
    const HRESULT hr = ConvertArg(in, VT_DISPATCH, converted);
    if (FAILED(hr))
        return hr;
    out = ComPtr<IDispatch>(V_DISPATCH(&converted.Ref()));
    return S_OK;
}

// --- EventSink ---------------------------------------------------------------------------------

EventSink::EventSink(CWnd* pOwner, const AFX_EVENTSINKMAP* pMap, UINT nCtrlID, REFIID iidEvents)
    : m_pOwner(pOwner), m_pMap(pMap), m_nCtrlID(nCtrlID), m_iidEvents(iidEvents)
{
}

HRESULT STDMETHODCALLTYPE EventSink::QueryInterface(REFIID iid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    // The connection point asks for its own outgoing interface, which is a dispinterface.
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == m_iidEvents) {
        *ppv = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE EventSink::AddRef()
{
    return ++m_nRefs;
}

ULONG STDMETHODCALLTYPE EventSink::Release()
{
    const ULONG n = --m_nRefs;
    if (n == 0)
        delete this;
    return n;
}

HRESULT STDMETHODCALLTYPE EventSink::GetTypeInfoCount(UINT* pn)
{
    if (pn)
        *pn = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE EventSink::GetTypeInfo(UINT, LCID, ITypeInfo**)
{
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE EventSink::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*)
{
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE EventSink::Invoke(DISPID dispid, REFIID, LCID, WORD, DISPPARAMS* params,
                                            VARIANT* pResult, EXCEPINFO*, UINT*)
{
    if (pResult)
        VariantInit(pResult);
    if (!m_pOwner)
        return S_OK; // disconnected: the owner is gone or going
    const AFX_EVENTSINKMAP_ENTRY* pEntry = AfxFindEventSinkEntry(m_pMap, m_nCtrlID, dispid);
    if (!pEntry)
        return S_OK; // an event nobody asked for
    static const DISPPARAMS noParams = {};
    // A handler may end the connection (and release us) while it runs.
    ComPtr<EventSink> keepAlive(this);
    return pEntry->pfnThunk(m_pOwner, params ? *params : noParams);
}

} // namespace ole

// --- COleEventConnection -------------------------------------------------------------------------

HRESULT COleEventConnection::Connect(IUnknown* pControl, CWnd* pOwner, const AFX_EVENTSINKMAP* pMap, UINT nCtrlID)
{
    Disconnect();
    if (!pControl)
        return E_POINTER;
    ComPtr<IUnknown> control(pControl);
    ComPtr<IConnectionPointContainer> pContainer;
    HRESULT hr = control.QueryInterface(IID_IConnectionPointContainer, pContainer);
    if (FAILED(hr))
        return hr;

    IID iidEvents = IID_IDispatch;
    ComPtr<IProvideClassInfo2> pClassInfo;
    if (SUCCEEDED(control.QueryInterface(IID_IProvideClassInfo2, pClassInfo))) {
        IID iidSource;
        if (SUCCEEDED(pClassInfo->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &iidSource)))
            iidEvents = iidSource;
    }

    ComPtr<IConnectionPoint> pPoint;
    hr = pContainer->FindConnectionPoint(iidEvents, pPoint.Receive());
    if (FAILED(hr))
        return hr;
    if (!pPoint)
        return E_FAIL;
    auto pSink = ComPtr<ole::EventSink>::Adopt(new ole::EventSink(pOwner, pMap, nCtrlID, iidEvents));
    DWORD dwCookie = 0;
    hr = pPoint->Advise(pSink.Get(), &dwCookie);
    if (FAILED(hr)) {
        pSink->Disconnect();
        return hr;
    }
    m_pPoint = pPoint;
    m_pSink = pSink;
    m_dwCookie = dwCookie;
    return S_OK;
}

void COleEventConnection::Disconnect()
{
    if (m_pSink)
        m_pSink->Disconnect(); // even if the control keeps the sink, nothing reaches the owner
    if (m_pPoint)
        m_pPoint->Unadvise(m_dwCookie);
    m_pPoint.Reset();
    m_pSink.Reset();
    m_dwCookie = 0;
}
