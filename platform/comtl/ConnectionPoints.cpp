#include "ConnectionPoints.h"
#include "CComPtr.h"

namespace {

HRESULT FindPoint(IUnknown* source, REFIID iid, IConnectionPoint** point) {
    if (!source) return E_INVALIDARG;
    CComPtr<IConnectionPointContainer> container;
    const HRESULT hr =
        source->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container));
    if (FAILED(hr)) return hr;
    return container->FindConnectionPoint(iid, point);
}

} // namespace

HRESULT ComAdvise(IUnknown* source, IUnknown* sink, REFIID iid, DWORD* cookie) {
    if (!cookie) return E_POINTER;
    *cookie = 0;
    if (!sink) return E_INVALIDARG;
    CComPtr<IConnectionPoint> point;
    const HRESULT hr = FindPoint(source, iid, &point);
    if (FAILED(hr)) return hr;
    return point->Advise(sink, cookie);
}

HRESULT ComUnadvise(IUnknown* source, REFIID iid, DWORD cookie) {
    CComPtr<IConnectionPoint> point;
    const HRESULT hr = FindPoint(source, iid, &point);
    if (FAILED(hr)) return hr;
    return point->Unadvise(cookie);
}
