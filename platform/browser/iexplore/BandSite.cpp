#include "BandSite.h"

#include <Win32Handles.h>
#include <shlguid.h>

#include <algorithm>

namespace torva::browser {

namespace {

const wchar_t kToolbarKey[] = L"Software\\Microsoft\\Internet Explorer\\Toolbar";
// A row for a band that names no height, and the strip's height while a
// band is sited.
constexpr int kDefaultRowHeight = 22;

// The row height a band asks for: its minimum; a variable-height band grows
// towards its actual height (at most its maximum) in its integral steps.
int RowHeight(const DESKBANDINFO& info) {
    int h = info.ptMinSize.y;
    if (info.dwModeFlags & DBIMF_VARIABLEHEIGHT) {
        int want = info.ptActual.y;
        if (info.ptMaxSize.y > 0 && want > info.ptMaxSize.y) want = info.ptMaxSize.y;
        const int step = info.ptIntegral.y > 0 ? info.ptIntegral.y : 1;
        if (want > h) h += (want - std::max(h, 0)) / step * step;
    }
    return h > 0 ? h : kDefaultRowHeight;
}

bool IsMouseDown(const MSG* msg) {
    return msg && (msg->message == WM_LBUTTONDOWN || msg->message == WM_RBUTTONDOWN ||
                   msg->message == WM_MBUTTONDOWN || msg->message == WM_LBUTTONDBLCLK);
}

bool SameObject(IUnknown* a, IUnknown* b) {
    if (!a || !b) return false;
    ComPtr<IUnknown> ia, ib;
    if (FAILED(a->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(ia.put()))) ||
        FAILED(b->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(ib.put()))))
        return false;
    return ia.get() == ib.get();
}

} // namespace

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

HRESULT BandSite::OnFocusChangeIS(IUnknown* obj, BOOL focus) {
    int index = -1;
    for (size_t i = 0; i < m_bands.size(); ++i)
        if (SameObject(m_bands[i].band.get(), obj)) index = static_cast<int>(i);
    if (index < 0) return E_INVALIDARG;
    if (!focus) {
        if (m_active == index) m_active = -1;
        return S_OK;
    }
    if (m_active >= 0 && m_active != index && m_bands[m_active].input) {
        // Set first: the band may report its own loss of focus meanwhile.
        const int before = m_active;
        m_active = index;
        m_bands[before].input->UIActivateIO(FALSE, nullptr);
    }
    m_active = index;
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

int BandSite::LoadRegisteredBands(int width) {
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
        if (StartBand(clsid, static_cast<DWORD>(m_bands.size()), width)) ++started;
    }
    // Placed before they are shown, as the browser adds a band to its
    // toolbar strip and then shows it.
    (void)Layout(width);
    for (auto& b : m_bands)
        b.band->ShowDW(TRUE);
    return started;
}

bool BandSite::StartBand(const CLSID& clsid, DWORD id, int width) {
    Band b{clsid, nullptr, nullptr, nullptr, nullptr, {}};
    if (FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDeskBand,
                                reinterpret_cast<void**>(b.band.put()))))
        return false;
    b.withSite = b.band.As<IObjectWithSite>(IID_IObjectWithSite);
    if (!b.withSite) return false;
    // A band builds its windows over its parent's client area when sited.
    RECT strip{};
    GetClientRect(m_strip, &strip);
    if (strip.right != width || strip.bottom <= 0)
        SetWindowPos(m_strip, nullptr, 0, 0, width, std::max<int>(strip.bottom, kDefaultRowHeight),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (FAILED(b.withSite->SetSite(static_cast<IOleWindow*>(this)))) return false;
    b.input = b.band.As<IInputObject>(IID_IInputObject);
    b.info.dwMask = DBIM_MINSIZE | DBIM_MAXSIZE | DBIM_INTEGRAL | DBIM_ACTUAL | DBIM_TITLE |
                    DBIM_MODEFLAGS | DBIM_BKCOLOR;
    b.band->GetBandInfo(id, DBIF_VIEWMODE_NORMAL, &b.info);
    b.band->GetWindow(&b.window);
    m_bands.push_back(std::move(b));
    return true;
}

int BandSite::Layout(int width) {
    int y = 0;
    for (auto& b : m_bands) {
        if (!b.window) continue;
        const int h = RowHeight(b.info);
        MoveWindow(b.window, 0, y, width, h, TRUE);
        RECT border{0, y, width, y + h};
        b.band->ResizeBorderDW(&border, static_cast<IOleWindow*>(this), TRUE);
        y += h;
    }
    return y;
}

HWND BandSite::BandWindow(int index) const noexcept {
    return index >= 0 && index < BandCount() ? m_bands[index].window : nullptr;
}

bool BandSite::Holds(const Band& b, HWND hwnd) const noexcept {
    return b.window && hwnd && (hwnd == b.window || IsChild(b.window, hwnd));
}

int BandSite::BandOf(HWND hwnd) const noexcept {
    for (size_t i = 0; i < m_bands.size(); ++i)
        if (Holds(m_bands[i], hwnd)) return static_cast<int>(i);
    return -1;
}

bool BandSite::Activate(int index, MSG* msg) {
    if (index < 0 || index >= BandCount()) return false;
    Band& b = m_bands[index];
    if (!b.input) return false;
    if (m_active >= 0 && m_active != index) Deactivate();
    m_active = index;
    if (b.input->UIActivateIO(TRUE, msg) != S_OK) {
        m_active = -1;
        return false;
    }
    // A band that accepts but leaves the focus where it was (the add-in's
    // toolbar does) still has its window take it: the window clicked, or
    // the first tab stop inside.
    if (!Holds(b, GetFocus())) {
        HWND target = IsMouseDown(msg) && Holds(b, msg->hwnd) ? msg->hwnd : nullptr;
        if (!target) target = GetNextDlgTabItem(b.window, nullptr, FALSE);
        if (!Holds(b, target)) target = b.window;
        SetFocus(target);
    }
    return true;
}

void BandSite::Deactivate() {
    const int index = m_active;
    m_active = -1;
    if (index >= 0 && index < BandCount() && m_bands[index].input)
        m_bands[index].input->UIActivateIO(FALSE, nullptr);
}

int BandSite::FocusedBand() {
    if (m_active >= 0 && m_active < BandCount() && m_bands[m_active].input &&
        m_bands[m_active].input->HasFocusIO() == S_OK)
        return m_active;
    for (size_t i = 0; i < m_bands.size(); ++i)
        if (static_cast<int>(i) != m_active && m_bands[i].input &&
            m_bands[i].input->HasFocusIO() == S_OK) {
            m_active = static_cast<int>(i);
            return m_active;
        }
    return -1;
}

HRESULT BandSite::TranslateKey(int index, MSG& msg) {
    if (index < 0 || index >= BandCount() || !m_bands[index].input) return S_FALSE;
    return m_bands[index].input->TranslateAcceleratorIO(&msg);
}

bool BandSite::CloseBand(int index) {
    if (index < 0 || index >= BandCount()) return false;
    if (m_active == index) Deactivate();
    // Out of the list before the calls: a band may call back into the site
    // (OnFocusChangeIS) while it closes.
    Band b = std::move(m_bands[static_cast<size_t>(index)]);
    m_bands.erase(m_bands.begin() + index);
    if (m_active > index) --m_active;
    b.band->ShowDW(FALSE);
    b.band->CloseDW(0);
    b.withSite->SetSite(nullptr);
    return true;
}

void BandSite::CloseAll() {
    m_active = -1;
    for (auto& b : m_bands) {
        b.band->ShowDW(FALSE);
        b.band->CloseDW(0);
        b.withSite->SetSite(nullptr);
    }
    m_bands.clear();
    m_browser.reset();
}

} // namespace torva::browser
