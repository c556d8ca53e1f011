#include "CStockBar.h"

#include "SubmitClickFlag.h"

#include "ConnectionPoints.h"
#include "GdiScopes.h"
#include "Trace.h"

#include <exdispid.h>
#include <shlguid.h>

std::int32_t g_bSubmitClicked = 0;

namespace {

// MulDiv(value, the screen's logical DPI, 96); 96 when there is no screen DC
// or it reports a non-positive value.
int ScreenScaled(int value, int axis) noexcept {
    const torva::WindowDC screen(nullptr);
    int dpi = screen.get() ? ::GetDeviceCaps(screen.get(), axis) : 96;
    if (dpi <= 0) dpi = 96;
    return ::MulDiv(value, dpi, 96);
}

} // namespace

HRESULT CreateStockBar(REFIID iid, void** object) noexcept {
    return CStockBar::CreateInstance(nullptr, iid, object);
}

CStockBar::CStockBar() {
    // The toolbar's commands keep the band alive through its window.
    m_ReflectWnd.SetOwner(static_cast<IDeskBand*>(this));
}

CStockBar::~CStockBar() {
    FinalRelease();
}

void CStockBar::FinalRelease() noexcept {
    ReleaseSinks();
    DisconnectBrowser();
    m_ReflectWnd.SetDeferredWork(nullptr);
    m_ReflectWnd.Toolbar().SetBrowser(nullptr);
    m_pSite.Release();
}

// IOleWindow

HRESULT CStockBar::GetWindow(HWND* phwnd) {
    if (!phwnd) return E_INVALIDARG;
    *phwnd = m_ReflectWnd.m_hWnd;
    return S_OK;
}

HRESULT CStockBar::ContextSensitiveHelp(BOOL fEnterMode) {
    m_bEnterHelpMode = fEnterMode;
    return S_OK;
}

// IDockingWindow

HRESULT CStockBar::ShowDW(BOOL fShow) {
    m_bShow = fShow;
    if (m_ReflectWnd.m_hWnd) ::ShowWindow(m_ReflectWnd.m_hWnd, fShow ? SW_SHOW : SW_HIDE);
    return S_OK;
}

HRESULT CStockBar::CloseDW(DWORD) {
    return ShowDW(FALSE);
}

HRESULT CStockBar::ResizeBorderDW(LPCRECT, IUnknown*, BOOL) {
    return E_NOTIMPL;
}

// IDeskBand

HRESULT CStockBar::GetBandInfo(DWORD dwBandID, DWORD dwViewMode, DESKBANDINFO* pdbi) {
    m_dwBandID = dwBandID;
    m_dwViewMode = dwViewMode;
    if (!pdbi) return E_INVALIDARG;
    if (pdbi->dwMask & DBIM_MINSIZE) {
        pdbi->ptMinSize.x = ScreenScaled(380, LOGPIXELSX);
        pdbi->ptMinSize.y = ScreenScaled(22, LOGPIXELSY);
    }
    if (pdbi->dwMask & DBIM_MAXSIZE) pdbi->ptMaxSize = {-1, -1};
    if (pdbi->dwMask & DBIM_INTEGRAL) pdbi->ptIntegral = {1, 1};
    if (pdbi->dwMask & DBIM_ACTUAL) pdbi->ptActual = {0, 0};
    if (pdbi->dwMask & DBIM_TITLE) pdbi->wszTitle[0] = L'\0';
    if (pdbi->dwMask & DBIM_MODEFLAGS) pdbi->dwModeFlags = DBIMF_NORMAL;
    // The default background.
    pdbi->dwMask &= ~static_cast<DWORD>(DBIM_BKCOLOR);
    return S_OK;
}

// IObjectWithSite

HRESULT CStockBar::SetSite(IUnknown* pUnkSite) {
    TORVA_TRACE_ENTER(L"CStockBar::SetSite");
    try {
        DeleteTempHtmlFile();
        if (m_pSite) {
            m_ReflectWnd.Toolbar().SetBrowser(nullptr);
            m_pSite.Release();
        }
        // Whatever site comes next, the old browser's events go: a band
        // advised twice would get each event twice and keep the browser.
        ReleaseSinks();
        DisconnectBrowser();
        if (!pUnkSite) {
            TORVA_TRACE_RETURN_HEX(L"CStockBar::SetSite", S_OK);
            return S_OK;
        }

        CComPtr<IOleWindow> oleWindow;
        m_hWndParent = nullptr;
        if (SUCCEEDED(
                pUnkSite->QueryInterface(IID_IOleWindow, reinterpret_cast<void**>(&oleWindow))))
            oleWindow->GetWindow(&m_hWndParent);
        if (!::IsWindow(m_hWndParent)) return E_FAIL;
        if (!RegisterAndCreateWindow()) return E_FAIL;
        if (FAILED(
                pUnkSite->QueryInterface(IID_IInputObjectSite, reinterpret_cast<void**>(&m_pSite))))
            return E_FAIL;

        CComPtr<IOleCommandTarget> target;
        CComPtr<IServiceProvider> provider;
        if (SUCCEEDED(pUnkSite->QueryInterface(IID_IOleCommandTarget,
                                               reinterpret_cast<void**>(&target))) &&
            SUCCEEDED(target->QueryInterface(IID_IServiceProvider,
                                             reinterpret_cast<void**>(&provider))) &&
            SUCCEEDED(provider->QueryService(SID_SWebBrowserApp, IID_IWebBrowser2,
                                             reinterpret_cast<void**>(&m_pFrameWB))) &&
            m_pFrameWB) {
            m_ReflectWnd.Toolbar().SetBrowser(m_pFrameWB);
            DWORD cookie = 0;
            if (SUCCEEDED(ComAdvise(m_pFrameWB, static_cast<IDeskBand*>(this),
                                    DIID_DWebBrowserEvents2, &cookie)))
                m_dwCookie = cookie;
        }
    } catch (...) {
        return E_FAIL;
    }
    TORVA_TRACE_RETURN_HEX(L"CStockBar::SetSite", S_OK);
    return S_OK;
}

HRESULT CStockBar::GetSite(REFIID riid, void** ppvSite) {
    if (!ppvSite) return E_POINTER;
    *ppvSite = nullptr;
    if (!m_pSite) return E_FAIL;
    return m_pSite->QueryInterface(riid, ppvSite);
}

BOOL CStockBar::RegisterAndCreateWindow() {
    // A band sited again keeps its window and moves it to the new parent.
    if (m_ReflectWnd.m_hWnd && ::IsWindow(m_ReflectWnd.m_hWnd)) {
        if (::GetParent(m_ReflectWnd.m_hWnd) != m_hWndParent)
            ::SetParent(m_ReflectWnd.m_hWnd, m_hWndParent);
        return TRUE;
    }
    RECT rect{};
    ::GetClientRect(m_hWndParent, &rect);
    m_ReflectWnd.Create(m_hWndParent, rect, nullptr,
                        WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
    return m_ReflectWnd.m_hWnd != nullptr;
}

void CStockBar::DisconnectBrowser() noexcept {
    if (m_pFrameWB && m_dwCookie)
        (void)ComUnadvise(m_pFrameWB, DIID_DWebBrowserEvents2, m_dwCookie);
    m_dwCookie = 0;
    m_pFrameWB.Release();
    m_ExpData.m_pBrowser = nullptr;
}

// IInputObject

HRESULT CStockBar::UIActivateIO(BOOL, MSG*) {
    return S_OK;
}

HRESULT CStockBar::HasFocusIO() {
    HWND toolbar = m_ReflectWnd.Toolbar().m_hWnd;
    return toolbar && ::GetFocus() == toolbar ? S_OK : S_FALSE;
}

HRESULT CStockBar::TranslateAcceleratorIO(MSG*) {
    // No key is translated: the browser dispatches every key itself.
    return S_FALSE;
}
