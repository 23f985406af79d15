// The component's one connection point: the hosts' event sinks, and firing an event to
// each of them through IDispatch::Invoke. Its references count on the component's.
#pragma once
#include <ocidl.h>
#include <olectl.h>
#include <windows.h>

#include <vector>

#include "standins/videoedit/win_util.h"

namespace vedit {

class EventConnectionPoint final : public IConnectionPoint {
public:
    EventConnectionPoint(IConnectionPointContainer* owner, const IID& eventsIid)
        : m_owner(owner), m_eventsIid(eventsIid) {}
    EventConnectionPoint(const EventConnectionPoint&) = delete;
    EventConnectionPoint& operator=(const EventConnectionPoint&) = delete;

    // Calls dispid on every sink with the arguments in their natural order. Sinks advised
    // or unadvised by a handler during the call take effect from the next event.
    void Fire(DISPID dispid, const std::vector<double>& arguments);
    void UnadviseAll() { m_sinks.clear(); }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return m_owner->AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return m_owner->Release(); }
    // IConnectionPoint
    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override;
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** container) override;
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** connections) override;

private:
    struct Sink {
        DWORD cookie;
        ComRef<IDispatch> dispatch;
    };
    IConnectionPointContainer* m_owner;
    IID m_eventsIid;
    std::vector<Sink> m_sinks;
    DWORD m_nextCookie = 1;
};

// Enumerates the one connection point, as IConnectionPointContainer promises.
HRESULT CreateSinglePointEnumerator(IConnectionPoint* point, IEnumConnectionPoints** enumerator);

} // namespace vedit
