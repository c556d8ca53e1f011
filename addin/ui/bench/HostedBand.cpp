#include "HostedBand.h"

#include "UiTestSupport.h"

namespace bench {

namespace {

bool Fail(std::wstring& why, const wchar_t* what) {
    why = what;
    return false;
}

} // namespace

void Pump(DWORD ms) {
    const DWORD start = ::GetTickCount();
    do {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        ::Sleep(1);
    } while (::GetTickCount() - start < ms);
}

void AddCounts(RelayState::ExchangeCounts& sum, const RelayState::ExchangeCounts& counts) {
    for (size_t i = 0; i < sum.size(); ++i)
        sum[i] += counts[i];
}

bool HostedBand::Create(std::wstring& why) {
    m_owner = MakeActiveOwner(40, 40, 900, 500);
    if (!m_owner) return Fail(why, L"no top window");
    m_strip.reset(::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0,
                                    0, 880, 22, m_owner.get(), nullptr, nullptr, nullptr));
    if (!m_strip) return Fail(why, L"no band strip");
    m_browser = torva::browser::WebBrowser::Create();
    if (!m_browser) return Fail(why, L"no browser object");
    m_browser->SetTopWindow(m_owner.get());
    IWebBrowser2* browser = Browser();
    m_clock = LoadClock::Create(browser);
    m_browser->SetObserver(m_clock);
    // Advised before the band's sink, so the clock hears DocumentComplete first.
    IConnectionPointContainer* container = nullptr;
    if (FAILED(browser->QueryInterface(IID_IConnectionPointContainer,
                                       reinterpret_cast<void**>(&container))))
        return Fail(why, L"no connection points");
    if (SUCCEEDED(container->FindConnectionPoint(DIID_DWebBrowserEvents2, &m_point)))
        (void)m_point->Advise(static_cast<IDispatch*>(m_clock), &m_cookie);
    container->Release();
    if (!m_cookie) return Fail(why, L"the clock could not be advised");
    m_site = TestBandSite::Create(m_strip.get(), browser);
    if (!m_site) return Fail(why, L"no band site");
    if (CComObject<CStockBar>::CreateInstance(&m_band) != S_OK || !m_band)
        return Fail(why, L"the band object was not created");
    m_band->AddRef();
    if (m_band->SetSite(static_cast<IOleWindow*>(m_site)) != S_OK)
        return Fail(why, L"the band refused its site");
    return true;
}

HostedBand::~HostedBand() {
    if (m_band) {
        m_band->SetSite(nullptr);
        m_band->Release();
    }
    if (m_site) m_site->Release();
    if (m_point) {
        if (m_cookie) (void)m_point->Unadvise(m_cookie);
        m_point->Release();
    }
    if (m_browser) {
        m_browser->SetObserver(nullptr);
        m_browser->Shutdown();
    }
    m_browser.reset();
    if (m_clock) m_clock->Release();
}

CComPtr<IHTMLDocument2> HostedBand::Top() const {
    CComPtr<IDispatch> dispatch;
    CComPtr<IHTMLDocument2> document;
    if (SUCCEEDED(Browser()->get_Document(&dispatch)) && dispatch)
        dispatch->QueryInterface(IID_IHTMLDocument2, reinterpret_cast<void**>(&document));
    return document;
}

} // namespace bench
