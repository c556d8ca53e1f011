// A small ActiveX container for tests: a window, a client site and an
// in-place site, enough to embed the WebBrowser control and activate it.
#pragma once

#include "ComPtr.h"

#include <oleidl.h>

#include <Win32Handles.h>

namespace browser_test {

class TestContainer : public IOleClientSite, public IOleInPlaceSite {
public:
    TestContainer(); // creates the (hidden) container window
    ~TestContainer();

    HWND window() const { return m_window.get(); }
    // Embeds the control: SetClientSite, then DoVerb(verb) over the window's
    // client area.
    HRESULT Embed(IUnknown* control, LONG verb = OLEIVERB_INPLACEACTIVATE);
    // Closes and lets go of the control.
    void Close();

    int activations = 0, deactivations = 0, uiActivations = 0;
    long refs = 1;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
    // IOleClientSite
    HRESULT STDMETHODCALLTYPE SaveObject() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** c) override {
        *c = nullptr;
        return E_NOINTERFACE;
    }
    HRESULT STDMETHODCALLTYPE ShowObject() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }
    // IOleWindow
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* h) override {
        *h = m_window.get();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    // IOleInPlaceSite
    HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override {
        ++activations;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnUIActivate() override {
        ++uiActivations;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc,
                                               LPRECT pos, LPRECT clip,
                                               LPOLEINPLACEFRAMEINFO info) override;
    HRESULT STDMETHODCALLTYPE Scroll(SIZE) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override {
        ++deactivations;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT) override { return S_OK; }

private:
    torva::UniqueWindow m_window;
    torva::browser::ComPtr<IOleObject> m_control;
};

// The window chain the add-in walks: "Shell Embedding" > "Shell DocObject
// View" > "Internet Explorer_Server" below parent; null when broken.
HWND FindServerWindow(HWND parent);
// The index-th child window of a class under parent.
HWND FindChild(HWND parent, const wchar_t* cls, int index = 0);
std::wstring WindowText(HWND h);

} // namespace browser_test
