// Hosts toolbar bands as the browser does: every class id listed as a value
// name under HKLM "Software\Microsoft\Internet Explorer\Toolbar" is created
// and given this object as its site through IObjectWithSite::SetSite. The
// site answers IOleWindow (the toolbar strip), IInputObjectSite,
// IOleCommandTarget and IServiceProvider, whose SID_SWebBrowserApp service
// is the browser. The strip has the frame's width and a row's height before
// a band is sited (a band sizes its toolbar from its parent's client area
// then); each band gets a row across the whole width, as high as its
// GetBandInfo minimum (a variable-height band grows towards its actual
// height in integral steps), and is then shown with ShowDW and
// ResizeBorderDW. At close bands get ShowDW(FALSE), CloseDW and
// SetSite(NULL).
//
// Focus and keys go to bands through IInputObject: a click into a band or a
// Tab onto it calls UIActivateIO(TRUE, msg) and the band's window then has
// the focus (when the band did not move it, its first tab stop or the
// clicked window gets it); leaving it calls UIActivateIO(FALSE). Before
// keys are routed HasFocusIO tells which band has the focus, and its
// TranslateAcceleratorIO sees every keyboard message first. A band's
// OnFocusChangeIS makes it the active band (the one before is deactivated)
// or ends that.
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

    // Creates and sites every registered band, lays them out across width
    // and shows them; returns how many started.
    int LoadRegisteredBands(int width);
    // Gives each band a row of the strip across width; returns the height
    // used.
    int Layout(int width);
    // ShowDW(FALSE), CloseDW, SetSite(NULL) for every band, then forgets the
    // browser.
    void CloseAll();
    // The same for one band, which is then released and leaves its row (as
    // when the user closes that toolbar); the bands after it move up an
    // index. False for no such band.
    bool CloseBand(int index);
    int BandCount() const noexcept { return static_cast<int>(m_bands.size()); }
    HWND BandWindow(int index) const noexcept;
    // The band whose window is or holds hwnd; -1 when none.
    int BandOf(HWND hwnd) const noexcept;

    // UIActivateIO(TRUE, msg) for the band (msg: the click or key that
    // brings the focus there) and the focus into its window; the band active
    // before is deactivated. False when the band does not take the focus.
    bool Activate(int index, MSG* msg);
    // UIActivateIO(FALSE) for the active band; none is active then.
    void Deactivate();
    // The band that has the keyboard focus as its HasFocusIO says (the
    // active band asked first); -1 when none.
    int FocusedBand();
    // The band's TranslateAcceleratorIO: S_OK when it used the message.
    HRESULT TranslateKey(int index, MSG& msg);

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
        ComPtr<IInputObject> input; // null for a band that takes no focus
        HWND window;
        DESKBANDINFO info;
    };
    [[nodiscard]] bool StartBand(const CLSID& clsid, DWORD id, int width);
    bool Holds(const Band& b, HWND hwnd) const noexcept;

    HWND m_strip;
    ComPtr<IWebBrowser2> m_browser;
    std::vector<Band> m_bands;
    int m_active = -1; // the band last activated or reporting the focus
};

} // namespace torva::browser
