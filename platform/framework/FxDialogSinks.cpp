#include "FxDialogSinks.h"

#include <atomic>

#include "AxHostWindow.h"
#include "CDialog.h"
#include "FxEventSink.h"

// The sink of one control: answers the control's source interface as a
// plain IDispatch and hands each call to the dialog's event-sink map. The
// dialog pointer is cleared when the sink is disconnected, so a late call
// from a control that still holds the sink finds nobody.
class FxEventSinkObject : public IDispatch {
public:
    FxEventSinkObject(CDialog* owner, const FxEventSinkMap* map, UINT controlId,
                      REFIID source) noexcept
        : m_owner(owner), m_map(map), m_controlId(controlId), m_source(source) {}
    virtual ~FxEventSinkObject() = default;

    void Orphan() noexcept { m_owner = nullptr; }

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == m_source) {
            *out = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++m_refs; }
    STDMETHODIMP_(ULONG) Release() override {
        const ULONG left = --m_refs;
        if (left == 0) delete this;
        return left;
    }
    // IDispatch
    STDMETHODIMP GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
        if (info) *info = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP Invoke(DISPID dispid, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO*, UINT*) override {
        if (result) ::VariantInit(result);
        if (!m_owner) return S_OK;
        for (const FxEventSinkMap* map = m_map; map; map = map->base ? map->base() : nullptr) {
            for (const FxEventSinkEntry* row = map->entries; row->controlId; ++row) {
                if (row->controlId != m_controlId || row->dispid != dispid) continue;
                try {
                    return row->thunk(m_owner, params);
                } catch (...) {
                    // No exception may unwind into the control.
                    return E_UNEXPECTED;
                }
            }
        }
        return S_OK; // an event nobody handles
    }

private:
    std::atomic<ULONG> m_refs{1};
    CDialog* m_owner;
    const FxEventSinkMap* m_map;
    UINT m_controlId;
    IID m_source;
};

IID FxDefaultSourceIid(IUnknown* control) {
    if (!control) return GUID_NULL;
    CComPtr<IProvideClassInfo2> info2;
    if (SUCCEEDED(
            control->QueryInterface(IID_IProvideClassInfo2, reinterpret_cast<void**>(&info2)))) {
        IID iid{};
        if (SUCCEEDED(info2->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &iid))) return iid;
    }
    CComPtr<IProvideClassInfo> info;
    if (SUCCEEDED(
            control->QueryInterface(IID_IProvideClassInfo, reinterpret_cast<void**>(&info)))) {
        CComPtr<ITypeInfo> classInfo;
        TYPEATTR* attr = nullptr;
        if (SUCCEEDED(info->GetClassInfo(&classInfo)) && SUCCEEDED(classInfo->GetTypeAttr(&attr))) {
            IID found = GUID_NULL;
            for (UINT i = 0; i < attr->cImplTypes && found == GUID_NULL; ++i) {
                INT flags = 0;
                HREFTYPE ref = 0;
                CComPtr<ITypeInfo> implemented;
                TYPEATTR* implAttr = nullptr;
                if (FAILED(classInfo->GetImplTypeFlags(i, &flags))) continue;
                if ((flags & (IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE)) !=
                    (IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE))
                    continue;
                if (SUCCEEDED(classInfo->GetRefTypeOfImplType(i, &ref)) &&
                    SUCCEEDED(classInfo->GetRefTypeInfo(ref, &implemented)) &&
                    SUCCEEDED(implemented->GetTypeAttr(&implAttr))) {
                    found = implAttr->guid;
                    implemented->ReleaseTypeAttr(implAttr);
                }
            }
            classInfo->ReleaseTypeAttr(attr);
            if (found != GUID_NULL) return found;
        }
    }
    CComPtr<IConnectionPointContainer> container;
    if (FAILED(control->QueryInterface(IID_IConnectionPointContainer,
                                       reinterpret_cast<void**>(&container))))
        return GUID_NULL;
    CComPtr<IEnumConnectionPoints> points;
    if (FAILED(container->EnumConnectionPoints(&points)) || !points) return GUID_NULL;
    CComPtr<IConnectionPoint> point;
    while (points->Next(1, &point, nullptr) == S_OK && point) {
        IID iid{};
        if (SUCCEEDED(point->GetConnectionInterface(&iid)) && iid != IID_IPropertyNotifySink)
            return iid;
    }
    return GUID_NULL;
}

FxDialogSinks::FxDialogSinks(CDialog& owner) : m_owner(owner) {}

FxDialogSinks::~FxDialogSinks() {
    DisconnectAll();
}

bool FxDialogSinks::IsConnected(UINT controlId) const noexcept {
    for (const Link& link : m_links)
        if (link.controlId == controlId) return true;
    return false;
}

void FxDialogSinks::ConnectFromMap(const FxEventSinkMap* map) {
    for (const FxEventSinkMap* level = map; level; level = level->base ? level->base() : nullptr) {
        for (const FxEventSinkEntry* row = level->entries; row->controlId; ++row) {
            if (!IsConnected(row->controlId)) Connect(row->controlId);
        }
    }
}

void FxDialogSinks::Connect(UINT controlId) {
    const UINT controlMessage = AxHostGetControlMessage();
    const HWND host = ::GetDlgItem(m_owner.m_hWnd, static_cast<int>(controlId));
    if (!controlMessage || !host) return;
    IUnknown* control = reinterpret_cast<IUnknown*>(::SendMessageW(host, controlMessage, 0, 0));
    const IID source = FxDefaultSourceIid(control);
    if (source == GUID_NULL) return;
    CComPtr<IConnectionPointContainer> container;
    if (FAILED(control->QueryInterface(IID_IConnectionPointContainer,
                                       reinterpret_cast<void**>(&container))))
        return;
    Link link{controlId, {}, 0, {}};
    if (FAILED(container->FindConnectionPoint(source, &link.point))) return;
    FxEventSinkObject* sink =
        new FxEventSinkObject(&m_owner, m_owner.GetEventSinkMap(), controlId, source);
    link.sink.p = sink; // takes the creation reference
    if (FAILED(link.point->Advise(sink, &link.cookie))) {
        sink->Orphan();
        return;
    }
    m_links.push_back(std::move(link));
}

void FxDialogSinks::DisconnectAll() noexcept {
    for (Link& link : m_links) {
        link.sink->Orphan();
        (void)link.point->Unadvise(link.cookie);
    }
    m_links.clear();
}
