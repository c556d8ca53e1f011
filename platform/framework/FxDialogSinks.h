// The event sinks of one dialog's hosted controls: one sink per control id
// named in the dialog's event-sink map, advised on the control's default
// source interface. Owned by the dialog; lives on its thread.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include <vector>

#include "CComPtr.h"

class CDialog;
struct FxEventSinkMap;
class FxEventSinkObject;

class FxDialogSinks {
public:
    explicit FxDialogSinks(CDialog& owner);
    ~FxDialogSinks();
    FxDialogSinks(const FxDialogSinks&) = delete;
    FxDialogSinks& operator=(const FxDialogSinks&) = delete;

    // Advises a sink on every control of the map that has none yet; a
    // control that is missing or fires no events is left out.
    void ConnectFromMap(const FxEventSinkMap* map);
    void DisconnectAll() noexcept;
    // The number of controls with an advised sink.
    size_t Count() const noexcept { return m_links.size(); }

private:
    struct Link {
        UINT controlId;
        CComPtr<IConnectionPoint> point;
        DWORD cookie;
        CComPtr<FxEventSinkObject> sink;
    };
    bool IsConnected(UINT controlId) const noexcept;
    void Connect(UINT controlId);

    CDialog& m_owner;
    std::vector<Link> m_links;
};

// The interface id of the events a control fires by default: from
// IProvideClassInfo2, else its class's type information, else its first
// connection point. GUID_NULL when none is found.
IID FxDefaultSourceIid(IUnknown* control);
