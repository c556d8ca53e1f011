// Hosts toolbar bands as the browser does: every class id listed as a value
// name under HKLM "Software\Microsoft\Internet Explorer\Toolbar" is created
// and given this object as its site through IObjectWithSite::SetSite. The
// site answers IOleWindow (the toolbar strip), IInputObjectSite,
// IOleCommandTarget and IServiceProvider, whose SID_SWebBrowserApp service
// is the browser. Bands are shown with ShowDW and ResizeBorderDW, and at
// close get ShowDW(FALSE), CloseDW and SetSite(NULL).
//
// UI thread only.
#pragma once

#include "ComPtr.h"
#include "LiveObjects.h"

#include <docobj.h>
#include <servprov.h>
#include <shlobj.h>

#include <string>
#include <vector>

namespace torva::browser {

class BandSite final : public ObjectBase,
                       public IOleWindow,
                       public IInputObjectSite,
                       public IOleCommandTarget,
                       public IServiceProvider {
public:
    // strip: the window bands live in; browser: what SID_SWebBrowserApp gives.
    static ComPtr<BandSite> Create(HWND strip, IWebBrowser2* browser);

    // Creates and sites every registered band; returns how many started.
    int LoadRegisteredBands();
    // Lays the bands out side by side in the strip; returns the height used.
    int Layout(int width);
    // ShowDW(FALSE), CloseDW, SetSite(NULL) for every band, then forgets the
    // browser.
    void CloseAll();
    int BandCount() const noexcept { return static_cast<int>(m_bands.size()); }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    TORVA_BROWSER_REFCOUNT

    // IOleWindow
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* hwnd) override;
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    // IInputObjectSite
    HRESULT STDMETHODCALLTYPE OnFocusChangeIS(IUnknown* obj, BOOL focus) override;
    // IOleCommandTarget
    HRESULT STDMETHODCALLTYPE QueryStatus(const GUID*, ULONG, OLECMD[], OLECMDTEXT*) override;
    HRESULT STDMETHODCALLTYPE Exec(const GUID*, DWORD, DWORD, VARIANT*, VARIANT*) override;
    // IServiceProvider
    HRESULT STDMETHODCALLTYPE QueryService(REFGUID service, REFIID iid, void** out) override;

private:
    BandSite(HWND strip, IWebBrowser2* browser) : m_strip(strip), m_browser(browser) {}

    struct Band {
        CLSID clsid;
        ComPtr<IDeskBand> band;
        ComPtr<IObjectWithSite> withSite;
        HWND window;
        DESKBANDINFO info;
    };
    [[nodiscard]] bool StartBand(const CLSID& clsid, DWORD id);

    HWND m_strip;
    ComPtr<IWebBrowser2> m_browser;
    std::vector<Band> m_bands;
};

} // namespace torva::browser
