#pragma once
#include <windows.h>
#include <oleidl.h>
#include "CComObject.h"
#include "CComObjectRootEx.h"
#include "CComPtr.h"

// The container side of one hosted ActiveX control: its client site and
// in-place site over the host window. Lives on the host window's thread.
class CAxHostSite : public CComObjectRootEx<CComSingleThreadModel>,
                    public IOleClientSite,
                    public IOleInPlaceSite {
public:
    BEGIN_COM_MAP(CAxHostSite)
    COM_INTERFACE_ENTRY(IOleClientSite)
    COM_INTERFACE_ENTRY(IOleInPlaceSite)
    COM_INTERFACE_ENTRY2(IOleWindow, IOleInPlaceSite)
    END_COM_MAP()

    // Creates the control named by a class id ("{...}") or ProgID and
    // activates it in place over window's client area.
    [[nodiscard]] HRESULT CreateControl(HWND window, const wchar_t* name);
    // Deactivates and lets go of the control; the site stays until released.
    void DestroyControl();
    void Resize(const RECT& rect);
    IUnknown* Control() const noexcept { return m_control; }

    // IOleClientSite
    STDMETHOD(SaveObject)() override { return E_NOTIMPL; }
    STDMETHOD(GetMoniker)(DWORD, DWORD, IMoniker** moniker) override;
    STDMETHOD(GetContainer)(IOleContainer** container) override;
    STDMETHOD(ShowObject)() override { return S_OK; }
    STDMETHOD(OnShowWindow)(BOOL) override { return S_OK; }
    STDMETHOD(RequestNewObjectLayout)() override { return E_NOTIMPL; }
    // IOleWindow
    STDMETHOD(GetWindow)(HWND* window) override;
    STDMETHOD(ContextSensitiveHelp)(BOOL) override { return E_NOTIMPL; }
    // IOleInPlaceSite
    STDMETHOD(CanInPlaceActivate)() override { return S_OK; }
    STDMETHOD(OnInPlaceActivate)() override { return S_OK; }
    STDMETHOD(OnUIActivate)() override { return S_OK; }
    STDMETHOD(GetWindowContext)
    (IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, RECT* position, RECT* clip,
     OLEINPLACEFRAMEINFO* info) override;
    STDMETHOD(Scroll)(SIZE) override { return E_NOTIMPL; }
    STDMETHOD(OnUIDeactivate)(BOOL) override { return S_OK; }
    STDMETHOD(OnInPlaceDeactivate)() override { return S_OK; }
    STDMETHOD(DiscardUndoState)() override { return E_NOTIMPL; }
    STDMETHOD(DeactivateAndUndo)() override { return E_NOTIMPL; }
    STDMETHOD(OnPosRectChange)(const RECT* rect) override;

private:
    HWND m_window = nullptr;
    CComPtr<IUnknown> m_control;
    CComPtr<IOleObject> m_oleObject;
};
