// The component's one connection point.
#include "standins/videoedit/event_connection.h"

#include "framework/ComObject.h"

namespace vedit {

void EventConnectionPoint::Fire(DISPID dispid, const std::vector<double>& arguments)
{
    // COM passes arguments last first.
    std::vector<VARIANTARG> reversed(arguments.size());
    for (size_t i = 0; i < arguments.size(); ++i) {
        VARIANTARG& argument = reversed[arguments.size() - 1 - i];
        VariantInit(&argument);
        argument.vt = VT_R8;
        argument.dblVal = arguments[i];
    }
    DISPPARAMS params{reversed.empty() ? nullptr : reversed.data(), nullptr,
                      static_cast<UINT>(reversed.size()), 0};
    // A handler may unadvise, or release the component, while it runs.
    const std::vector<Sink> sinks = m_sinks;
    ComRef<IConnectionPointContainer> keepAlive = ComRef<IConnectionPointContainer>::Share(m_owner);
    for (const Sink& sink : sinks)
        sink.dispatch->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
}

HRESULT EventConnectionPoint::QueryInterface(REFIID riid, void** object)
{
    if (!object)
        return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IConnectionPoint) {
        *object = static_cast<IConnectionPoint*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT EventConnectionPoint::GetConnectionInterface(IID* iid)
{
    if (!iid)
        return E_POINTER;
    *iid = m_eventsIid;
    return S_OK;
}

HRESULT EventConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** container)
{
    if (!container)
        return E_POINTER;
    *container = m_owner;
    m_owner->AddRef();
    return S_OK;
}

HRESULT EventConnectionPoint::Advise(IUnknown* sink, DWORD* cookie)
{
    if (!sink || !cookie)
        return E_POINTER;
    *cookie = 0;
    // A sink answers the events interface or, failing that, plain IDispatch.
    ComRef<IDispatch> dispatch;
    if (FAILED(sink->QueryInterface(m_eventsIid, reinterpret_cast<void**>(dispatch.Receive()))) &&
        FAILED(sink->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(dispatch.Receive()))))
        return CONNECT_E_CANNOTCONNECT;
    *cookie = m_nextCookie++;
    m_sinks.push_back(Sink{*cookie, dispatch});
    return S_OK;
}

HRESULT EventConnectionPoint::Unadvise(DWORD cookie)
{
    for (auto it = m_sinks.begin(); it != m_sinks.end(); ++it) {
        if (it->cookie == cookie) {
            m_sinks.erase(it);
            return S_OK;
        }
    }
    return CONNECT_E_NOCONNECTION;
}

HRESULT EventConnectionPoint::EnumConnections(IEnumConnections** connections)
{
    if (connections)
        *connections = nullptr;
    return E_NOTIMPL;
}

namespace {

class SinglePointEnumerator final : public ComObject<IEnumConnectionPoints> {
public:
    SinglePointEnumerator(IConnectionPoint* point, ULONG position) : m_point(ComRef<IConnectionPoint>::Share(point)), m_position(position) {}

    HRESULT STDMETHODCALLTYPE Next(ULONG count, IConnectionPoint** points, ULONG* fetched) override
    {
        if (!points)
            return E_POINTER;
        ULONG given = 0;
        if (count > 0 && m_position == 0) {
            points[0] = m_point.Get();
            points[0]->AddRef();
            given = 1;
            m_position = 1;
        }
        if (fetched)
            *fetched = given;
        return given == count ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override
    {
        const bool enough = count == 0 || m_position == 0;
        if (count > 0)
            m_position = 1;
        return enough && count <= 1 ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Reset() override
    {
        m_position = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Clone(IEnumConnectionPoints** clone) override
    {
        if (!clone)
            return E_POINTER;
        *clone = new SinglePointEnumerator(m_point.Get(), m_position);
        return S_OK;
    }

private:
    ComRef<IConnectionPoint> m_point;
    ULONG m_position;
};

} // namespace

HRESULT CreateSinglePointEnumerator(IConnectionPoint* point, IEnumConnectionPoints** enumerator)
{
    if (!enumerator)
        return E_POINTER;
    *enumerator = new SinglePointEnumerator(point, 0);
    return S_OK;
}

} // namespace vedit
