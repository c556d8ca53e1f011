#include "BandSite.h"

#include <Win32Handles.h>
#include <shlguid.h>

#include <algorithm>

namespace torva::browser {

namespace {
const wchar_t kToolbarKey[] = L"Software\\Microsoft\\Internet Explorer\\Toolbar";
}

ComPtr<BandSite> BandSite::Create(HWND strip, IWebBrowser2* browser) {
    return ComPtr<BandSite>::Adopt(new (std::nothrow) BandSite(strip, browser));
}

HRESULT BandSite::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid == IID_IUnknown || iid == IID_IOleWindow)
        *out = static_cast<IOleWindow*>(this);
    else if (iid == IID_IInputObjectSite)
        *out = static_cast<IInputObjectSite*>(this);
    else if (iid == IID_IOleCommandTarget)
        *out = static_cast<IOleCommandTarget*>(this);
    else if (iid == IID_IServiceProvider)
        *out = static_cast<IServiceProvider*>(this);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

HRESULT BandSite::GetWindow(HWND* hwnd) {
    if (!hwnd) return E_POINTER;
    *hwnd = m_strip;
    return S_OK;
}

HRESULT BandSite::OnFocusChangeIS(IUnknown*, BOOL) {
    return S_OK;
}

HRESULT BandSite::QueryStatus(const GUID*, ULONG, OLECMD[], OLECMDTEXT*) {
    return OLECMDERR_E_UNKNOWNGROUP;
}

HRESULT BandSite::Exec(const GUID*, DWORD, DWORD, VARIANT*, VARIANT*) {
    return OLECMDERR_E_UNKNOWNGROUP;
}

HRESULT BandSite::QueryService(REFGUID service, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    // SID_SWebBrowserApp is IID_IWebBrowserApp; the top-level browser
    // services name the same object here, as there are no frames of tabs.
    if (!m_browser) return E_NOINTERFACE;
    if (service == SID_SWebBrowserApp || service == SID_SInternetExplorer ||
        service == IID_IWebBrowser2)
        return m_browser->QueryInterface(iid, out);
    return E_NOINTERFACE;
}

int BandSite::LoadRegisteredBands() {
    UniqueRegKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kToolbarKey, 0, KEY_READ, key.put()) != ERROR_SUCCESS)
        return 0;
    int started = 0;
    for (DWORD i = 0;; ++i) {
        wchar_t name[128];
        DWORD len = 128;
        const LONG rc = RegEnumValueW(key.get(), i, name, &len, nullptr, nullptr, nullptr, nullptr);
        if (rc == ERROR_NO_MORE_ITEMS) break;
        if (rc != ERROR_SUCCESS) continue;
        CLSID clsid;
        if (FAILED(CLSIDFromString(name, &clsid)))
            continue; // other values (ITBarLayout...) are not bands
        if (StartBand(clsid, static_cast<DWORD>(m_bands.size()))) ++started;
    }
    return started;
}

bool BandSite::StartBand(const CLSID& clsid, DWORD id) {
    Band b{clsid, nullptr, nullptr, nullptr, {}};
    if (FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDeskBand,
                                reinterpret_cast<void**>(b.band.put()))))
        return false;
    b.withSite = b.band.As<IObjectWithSite>(IID_IObjectWithSite);
    if (!b.withSite || FAILED(b.withSite->SetSite(static_cast<IOleWindow*>(this)))) return false;
    b.info.dwMask = DBIM_MINSIZE | DBIM_MAXSIZE | DBIM_ACTUAL | DBIM_TITLE | DBIM_MODEFLAGS;
    b.band->GetBandInfo(id, DBIF_VIEWMODE_NORMAL, &b.info);
    b.band->GetWindow(&b.window);
    b.band->ShowDW(TRUE);
    m_bands.push_back(std::move(b));
    return true;
}

int BandSite::Layout(int width) {
    int x = 0, height = 0;
    for (auto& b : m_bands) {
        if (!b.window) continue;
        const int h = std::max<int>(b.info.ptMinSize.y > 0 ? b.info.ptMinSize.y : 24, 24);
        const int w = std::max<int>(b.info.ptActual.x > 0 ? b.info.ptActual.x : b.info.ptMinSize.x,
                                    width - x);
        MoveWindow(b.window, x, 0, w, h, TRUE);
        RECT border{x, 0, x + w, h};
        b.band->ResizeBorderDW(&border, static_cast<IOleWindow*>(this), TRUE);
        x += w;
        height = std::max(height, h);
    }
    return height;
}

void BandSite::CloseAll() {
    for (auto& b : m_bands) {
        b.band->ShowDW(FALSE);
        b.band->CloseDW(0);
        b.withSite->SetSite(nullptr);
    }
    m_bands.clear();
    m_browser.reset();
}

} // namespace torva::browser
