// The browser's process as the benchmarks host it: the browser stand-in's
// WebBrowser object in a top window, a band site in a strip of it, and the
// band object (CStockBar) created and sited in this process as the browser
// does. A LoadClock is advised before the band's sink. Torn down in order
// (band, site, clock's advice, browser). UI thread only.
#pragma once

#include "LoadClock.h"
#include "TestBandSite.h"

#include "CComObject.h"
#include "CComPtr.h"
#include "CStockBar.h"
#include "RelayState.h"
#include "Win32Handles.h"
#include "WebBrowser.h"

#include <mshtml.h>
#include <ocidl.h>

#include <string>

namespace bench {

// Dispatches this thread's messages for ms milliseconds.
void Pump(DWORD ms);
// Adds counts to sum, type by type.
void AddCounts(RelayState::ExchangeCounts& sum, const RelayState::ExchangeCounts& counts);

class HostedBand {
public:
    HostedBand() = default;
    ~HostedBand();
    HostedBand(const HostedBand&) = delete;
    HostedBand& operator=(const HostedBand&) = delete;

    // False, with why, when a part could not be made.
    bool Create(std::wstring& why);

    IWebBrowser2* Browser() const { return static_cast<IWebBrowser2*>(m_browser.get()); }
    torva::browser::WebBrowser& Object() const { return *m_browser.get(); }
    LoadClock& Clock() const { return *m_clock; }
    HWND Window() const noexcept { return m_owner.get(); }
    // The top page's document, or null.
    CComPtr<IHTMLDocument2> Top() const;

private:
    torva::UniqueWindow m_owner;
    torva::UniqueWindow m_strip;
    torva::browser::ComPtr<torva::browser::WebBrowser> m_browser;
    LoadClock* m_clock = nullptr;
    IConnectionPoint* m_point = nullptr;
    DWORD m_cookie = 0;
    TestBandSite* m_site = nullptr;
    CComObject<CStockBar>* m_band = nullptr;
};

} // namespace bench
