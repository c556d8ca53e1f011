#include "FillBench.h"

#include "BenchEntry.h"
#include "LoadClock.h"
#include "OptionKeyBackup.h"
#include "TestBandSite.h"
#include "UiTestSupport.h"

#include "AutoAnswer.h"
#include "AxHostWindow.h"
#include "CComObject.h"
#include "CStockBar.h"
#include "LiveForm.h"
#include "Win32Handles.h"
#include "WebBrowser.h"

#include <commctrl.h>
#include <ocidl.h>

#include <memory>

namespace bench {

namespace {

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
    for (size_t i = 0; i < sum.size(); ++i) sum[i] += counts[i];
}

// The browser window, band site and band of one run, torn down in order.
class HostedBand {
public:
    bool Create(std::wstring& why) {
        m_owner = MakeActiveOwner(40, 40, 900, 500);
        if (!m_owner) return Fail(why, L"no top window");
        m_strip.reset(::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN,
                                        0, 0, 880, 22, m_owner.get(), nullptr, nullptr, nullptr));
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

    ~HostedBand() {
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

    IWebBrowser2* Browser() const { return static_cast<IWebBrowser2*>(m_browser.get()); }
    torva::browser::WebBrowser& Object() const { return *m_browser.get(); }
    LoadClock& Clock() const { return *m_clock; }

    CComPtr<IHTMLDocument2> Top() const {
        CComPtr<IDispatch> dispatch;
        CComPtr<IHTMLDocument2> document;
        if (SUCCEEDED(Browser()->get_Document(&dispatch)) && dispatch)
            dispatch->QueryInterface(IID_IHTMLDocument2, reinterpret_cast<void**>(&document));
        return document;
    }

private:
    static bool Fail(std::wstring& why, const wchar_t* what) {
        why = what;
        return false;
    }

    torva::UniqueWindow m_owner;
    torva::UniqueWindow m_strip;
    torva::browser::ComPtr<torva::browser::WebBrowser> m_browser;
    LoadClock* m_clock = nullptr;
    IConnectionPoint* m_point = nullptr;
    DWORD m_cookie = 0;
    TestBandSite* m_site = nullptr;
    CComObject<CStockBar>* m_band = nullptr;
};

// One load; false when the page did not load or no DocumentComplete came.
bool Load(HostedBand& host, const std::wstring& path, double& toLast, double& toEnd, bool& filled) {
    host.Clock().Arm();
    if (host.Object().NavigateTo(path) != S_OK) return false;
    host.Object().RunPendingLoad(); // the events, the band's fill inside DocumentComplete
    toEnd = host.Clock().MsSinceComplete();
    toLast = host.Clock().MsToLastChange();
    if (!host.Clock().Completed()) return false;
    const LiveForm form(host.Top());
    filled = form.Value(L"user") == kUser && form.Value(L"pw") == kPassword &&
             form.Text(L"memo") == kMemo;
    Pump(5); // what the band posted for later
    return true;
}

} // namespace

FillResult RunFillBench(int loads) {
    FillResult result;
    (void)::OleInitialize(nullptr);
    (void)AxHostWindowInit();
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    {
        CExpData store; // keeps the relay up between the band's own stores
        OptionKeyBackup options;
        if (!options.Saved()) {
            result.why = L"the options could not be saved";
            return result;
        }
        options.WriteAutoInputAllowed();
        const std::wstring path = PagePath(L"login.html");
        const StoredLogin entry(store, path);
        if (!entry.Stored()) {
            result.why = L"the entry could not be stored";
            return result;
        }
        const peltrix::test::AutoAnswer allow(AUTH_CASE_INPUT, peltrix::test::AutoAnswer::kAllow);
        if (!allow.Applied()) {
            result.why = L"the PIN cannot be answered (another PIN is set)";
            return result;
        }
        HostedBand host;
        if (!host.Create(result.why)) return result;

        double toLast = 0, toEnd = 0;
        bool filled = false;
        if (!Load(host, path, toLast, toEnd, filled)) {
            result.why = L"the page did not load";
            return result;
        }
        result.warmupMs = toLast;
        for (int i = 0; i < loads; ++i) {
            RelayState::Instance().ResetCounts();
            if (!Load(host, path, toLast, toEnd, filled)) {
                result.why = L"load " + std::to_wstring(i + 1) + L" did not complete";
                return result;
            }
            AddCounts(result.exchanges, RelayState::Instance().Counts());
            result.toLastField.push_back(toLast);
            result.toHandlerEnd.push_back(toEnd);
            result.changesPerLoad = host.Clock().ChangesAfterComplete();
            if (!filled) ++result.unfilled;
        }
        result.ok = true;
    }
    ::OleUninitialize();
    return result;
}

} // namespace bench
