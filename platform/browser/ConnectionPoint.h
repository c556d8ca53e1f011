// One connection point of a container (an element's button events, the
// browser's DWebBrowserEvents2). The sinks live in a SinkList owned by the
// container's page or browser, so they survive the release of this object
// and of the container's wrapper; this object keeps the container alive.
#pragma once

#include "ComPtr.h"
#include "LiveObjects.h"
#include "SinkList.h"

#include <ocidl.h>
#include <olectl.h>

namespace torva::browser {

class ConnectionPoint final : public ObjectBase, public IConnectionPoint {
public:
    // Returns a new object with one reference.
    static IConnectionPoint* Create(IConnectionPointContainer* container, REFIID events,
                                    SinkList& sinks);

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    TORVA_BROWSER_REFCOUNT

    // IConnectionPoint
    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override;
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** out) override;
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** out) override;

private:
    ConnectionPoint(IConnectionPointContainer* container, REFIID events, SinkList& sinks)
        : m_container(container), m_events(events), m_sinks(sinks) {}

    ComPtr<IConnectionPointContainer> m_container;
    IID m_events;
    SinkList& m_sinks;
};

} // namespace torva::browser
