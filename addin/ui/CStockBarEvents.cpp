// The browser's events: navigation cancelling while the browser window is
// disabled, the end of the browser, and the work of a completed page.
#include "CStockBar.h"

#include "HtmlCom.h"
#include "SubmitClickFlag.h"

#include "Trace.h"

#include <exdispid.h>

#include <string>
#include <vector>

HRESULT CStockBar::Invoke(DISPID dispidMember, REFIID, LCID, WORD, DISPPARAMS* pDispParams,
                          VARIANT*, EXCEPINFO*, UINT*) {
    // The events run modal loops (dialogs, relay waits) in which the browser
    // may let the band go: it stays alive until the event is over.
    CComPtr<IDeskBand> self(static_cast<IDeskBand*>(this));
    try {
        switch (dispidMember) {
        case DISPID_BEFORENAVIGATE2:
            BeforeNavigate2(pDispParams);
            break;
        case DISPID_ONQUIT:
            ReleaseSinks();
            DisconnectBrowser();
            m_ReflectWnd.Toolbar().SetBrowser(nullptr);
            break;
        case DISPID_DOCUMENTCOMPLETE:
            if (m_bInDocumentComplete) {
                // Run once the running one is over; the browser does not
                // repeat the event.
                m_bDocumentCompletePending = true;
                break;
            }
            // This completion does the work of one put off before it and
            // not yet run: one fill per load.
            m_ReflectWnd.SetDeferredWork(nullptr);
            m_bInDocumentComplete = true;
            OnDocumentComplete();
            m_bInDocumentComplete = false;
            if (m_bDocumentCompletePending && m_ReflectWnd.m_hWnd) {
                m_bDocumentCompletePending = false;
                m_ReflectWnd.SetDeferredWork([this] {
                    m_ReflectWnd.SetDeferredWork(nullptr);
                    DISPPARAMS none{nullptr, nullptr, 0, 0};
                    (void)Invoke(DISPID_DOCUMENTCOMPLETE, IID_NULL, 0, DISPATCH_METHOD, &none,
                                 nullptr, nullptr, nullptr);
                });
                m_ReflectWnd.PostMessage(CReflectionWnd::WM_REFLECTION_DEFERRED);
            }
            break;
        default:
            break;
        }
    } catch (...) {
        m_bInDocumentComplete = false;
    }
    return S_OK;
}

void CStockBar::BeforeNavigate2(DISPPARAMS* params) {
    // The first argument (the last in order) is the Cancel flag, by reference.
    const bool cancellable = params && params->cArgs == 7 && params->rgvarg &&
                             params->rgvarg[0].vt == (VT_BYREF | VT_BOOL) &&
                             params->rgvarg[0].pboolVal;
    if (cancellable && m_pFrameWB && m_ExpData.m_nBrowserEnabled == 0 && g_bSubmitClicked == 0) {
        TORVA_TRACE_DETAIL(L"navigation cancelled while the browser is disabled");
        *params->rgvarg[0].pboolVal = VARIANT_TRUE;
    }
    g_bSubmitClicked = 0;
}

void CStockBar::OnDocumentComplete() {
    TORVA_TRACE_ENTER(L"CStockBar::OnDocumentComplete");
    CPBToolbar& toolbar = m_ReflectWnd.Toolbar();
    HWND combo = toolbar.ComboBox();
    HWND button = toolbar.InputButton();
    if (combo && ::IsWindow(combo)) {
        CExpData::DeleteComboBoxItem(combo);
        ::EnableWindow(combo, FALSE);
        if (button) ::EnableWindow(button, FALSE);
    }
    if (!m_pFrameWB) return;
    CComPtr<IWebBrowser2> browser(m_pFrameWB);
    CComPtr<IDispatch> dispatch;
    CComPtr<IHTMLDocument2> document;
    if (FAILED(browser->get_Document(&dispatch)) ||
        FAILED(QueryAs(dispatch, IID_IHTMLDocument2, document)))
        return;
    if (!IsComplete(document)) return; // a later event brings the whole page
    m_ExpData.m_pBrowser = browser;

    if (IsNewWindow(document)) {
        ReleaseSinks(); // the page before may have had some
        const BOOL enable = m_ExpData.SetComboBox(combo, browser);
        toolbar.SetPreselectedIndex(m_ExpData.m_nPreselectedIndex);
        if (combo) ::EnableWindow(combo, enable);
        if (button) ::EnableWindow(button, enable);
        TORVA_TRACE_RETURN_VOID(L"CStockBar::OnDocumentComplete");
        return;
    }

    CPBToolbar::ChangeInputButtonState(button, FALSE);
    const BOOL enable = m_ExpData.SetComboBox(combo, browser);
    toolbar.SetPreselectedIndex(m_ExpData.m_nPreselectedIndex);
    if (combo) ::EnableWindow(combo, enable);
    (void)SetButtonEvent();
    if (m_ExpData.GetOptionData() && m_ExpData.m_option.m_nStopFunc == 0 &&
        m_ExpData.m_option.m_nStopAutoInput == 0) {
        // Copies of the lines' URLs, each once: the fill runs modal loops and
        // relay waits in which the list may be refilled and its strings freed.
        std::vector<std::wstring> urls;
        const LRESULT count = combo ? ::SendMessageW(combo, CB_GETCOUNT, 0, 0) : 0;
        for (LRESULT i = 0; i < count; ++i) {
            const LRESULT data = ::SendMessageW(combo, CB_GETITEMDATA, static_cast<WPARAM>(i), 0);
            if (data == CB_ERR || data == 0) continue;
            const std::wstring& url = *reinterpret_cast<const std::wstring*>(data);
            bool seen = false;
            for (const auto& u : urls)
                seen = seen || u == url;
            if (!seen) urls.push_back(url);
        }
        for (const auto& url : urls) {
            if (m_ExpData.AutoInput(browser, url, std::wstring()) != 0) break;
            if (!m_pFrameWB) break; // the browser went meanwhile
        }
    }
    if (button && ::IsWindow(button)) {
        ::EnableWindow(button, enable);
        ::SetWindowTextW(button, L"入力開始");
    }
    if (combo && ::IsWindow(combo)) {
        ::InvalidateRect(combo, nullptr, FALSE);
        ::UpdateWindow(combo);
    }
    TORVA_TRACE_RETURN_VOID(L"CStockBar::OnDocumentComplete");
}
