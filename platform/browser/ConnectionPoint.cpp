#include "ConnectionPoint.h"

#include <new>

namespace torva::browser {

IConnectionPoint* ConnectionPoint::Create(IConnectionPointContainer* container, REFIID events,
                                          SinkList& sinks) {
    return new (std::nothrow) ConnectionPoint(container, events, sinks);
}

HRESULT ConnectionPoint::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid != IID_IUnknown && iid != IID_IConnectionPoint) return E_NOINTERFACE;
    *out = static_cast<IConnectionPoint*>(this);
    AddRef();
    return S_OK;
}

HRESULT ConnectionPoint::GetConnectionInterface(IID* iid) {
    if (!iid) return E_POINTER;
    *iid = m_events;
    return S_OK;
}

HRESULT ConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** out) {
    if (!out) return E_POINTER;
    *out = ComPtr<IConnectionPointContainer>(m_container).detach();
    return S_OK;
}

HRESULT ConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) {
    if (!sink || !cookie) return E_POINTER;
    *cookie = 0;
    // The sink must speak the event interface; one that answers only
    // IDispatch is taken too, as the events are delivered through Invoke.
    ComPtr<IDispatch> disp;
    if (FAILED(sink->QueryInterface(m_events, reinterpret_cast<void**>(disp.put()))) &&
        FAILED(sink->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(disp.put()))))
        return CONNECT_E_CANNOTCONNECT;
    *cookie = m_sinks.Add(std::move(disp));
    return S_OK;
}

HRESULT ConnectionPoint::Unadvise(DWORD cookie) {
    return m_sinks.Remove(cookie) ? S_OK : CONNECT_E_NOCONNECTION;
}

HRESULT ConnectionPoint::EnumConnections(IEnumConnections** out) {
    if (out) *out = nullptr;
    return E_NOTIMPL;
}

} // namespace torva::browser
