#include "FormFillIn.h"

#include "CChangeEntryDlg.h"
#include "CComPtr.h"
#include "CRegistDlg.h"
#include "CryptFlagScope.h"
#include "FormFiller.h"
#include "HtmlCom.h"
#include "Trace.h"

#include <memory>

namespace {

// Keeps the browser's window disabled, and the store's browser-enabled flag
// 0, while the user authenticates; the band object reads the flag.
class DisabledBrowser {
public:
    DisabledBrowser(CExpData& store, HWND window) noexcept : m_store(store), m_window(window) {
        if (m_window) ::EnableWindow(m_window, FALSE);
        m_store.m_nBrowserEnabled = 0;
    }
    ~DisabledBrowser() { Restore(); }
    DisabledBrowser(const DisabledBrowser&) = delete;
    DisabledBrowser& operator=(const DisabledBrowser&) = delete;

    void Restore() noexcept {
        if (m_restored) return;
        m_restored = true;
        if (m_window) ::EnableWindow(m_window, TRUE);
        m_store.m_nBrowserEnabled = 1;
    }

private:
    CExpData& m_store;
    HWND m_window;
    bool m_restored = false;
};

// The browser's top-level window; null for a browser that has none (an
// embedded control), which is then neither disabled nor brought forward.
HWND BrowserWindow(IWebBrowser2* browser) {
    SHANDLE_PTR handle = 0;
    if (FAILED(browser->get_HWND(&handle))) return nullptr;
    return reinterpret_cast<HWND>(handle);
}

void BringForward(HWND window) {
    if (window) ::SetForegroundWindow(window);
}

bool AnyPosition(const FormMatch& match) {
    for (const auto& at : match.positions) {
        if (!at.empty()) return true;
    }
    return false;
}

// A password of the entry that could not be had in clear: the form is
// filled without it, and must not be sent so.
bool LacksAPassword(const CDataWebItem& entry) {
    for (const auto& ctrl : entry.m_ctrls) {
        if (!ctrl || ctrl->m_nType != D_WEB_CTRL_PSWD) continue;
        const CDataWebTextValue* text = ctrl->TextValue();
        if (text && text->m_nNotDecrypted == 1) return true;
    }
    return false;
}

} // namespace

CDataWebItem* FormFillIn::ChooseEntry(const CDataWebForm& page, const std::wstring& name) {
    for (const auto& item : page.m_items) {
        if (!item) continue;
        if (name.empty() ? (!item->m_strName.empty() && item->m_nAutoInput == 1)
                         : item->m_strName == name) {
            return item.get();
        }
    }
    return nullptr;
}

int FormFillIn::Run(IWebBrowser2* browser, const std::wstring& url, const std::wstring& entryName) {
    if (!browser) return -1;
    CComPtr<IDispatch> dispatch;
    if (FAILED(browser->get_Document(&dispatch)) || !dispatch) return -1;
    CComPtr<IHTMLDocument2> top;
    if (FAILED(QueryAs(dispatch, IID_IHTMLDocument2, top))) return -1;
    CComPtr<IHTMLDocument2> document;
    *(&document) = CExpData::GetHtmlDocument(top, url); // a new reference
    if (!document) return 0;

    std::unique_ptr<CDataWebForm> page;
    {
        const CryptFlagScope crypt(m_store, 1);
        page.reset(m_store.GetWebPageData(url, 0));
    }
    if (!page) return 0;
    CDataWebItem* entry = ChooseEntry(*page, entryName);
    if (!entry) return 0;

    CComPtr<IHTMLElementCollection> forms;
    long formCount = 0;
    if (FAILED(document->get_forms(&forms)) || !forms || FAILED(forms->get_length(&formCount))) {
        return -1;
    }
    // A missing (negative) index cannot name any form on the page either.
    if (entry->m_nIndex < 0 || entry->m_nIndex >= formCount) {
        return FormGone(browser, document, *page, url, entryName);
    }

    std::wstring formName;
    CComPtr<IHTMLFormElement> elements;
    long elementCount = 0;
    if (FAILED(FormElements(forms, entry->m_nIndex, formName, elements, elementCount))) return -1;
    if (entry->m_ctrls.empty()) return -1;

    FormMatch match;
    if (formName == entry->m_strFormName) {
        FormMatcher matcher(elements, elementCount, m_store.m_option.m_nNoMultiText == 1);
        if (FAILED(matcher.Match(*entry, match))) return -1;
    } else {
        match.mismatch = true;
        match.positions.resize(entry->m_ctrls.size());
    }
    const bool same = match.matched == static_cast<int>(entry->m_ctrls.size());
    if (!same && page->m_nChangeFlg != 1) {
        return FormChanged(browser, document, *page, *entry, url, entryName);
    }
    // Told not to ask, a changed form is filled as far as it still matches;
    // where nothing matched there is nothing to fill, and no reason to ask
    // the user to authenticate or to decrypt anything.
    if (!AnyPosition(match)) return 0;
    return Fill(browser, elements, *page, *entry, match);
}

HRESULT FormFillIn::FormElements(IHTMLElementCollection* forms, long index, std::wstring& name,
                                 CComPtr<IHTMLFormElement>& elements, long& count) {
    CComPtr<IHTMLElement> formElement;
    HRESULT hr = FormMatcher::ElementAt(forms, index, &formElement);
    if (FAILED(hr)) return hr;
    if (FAILED(hr = FormControls(formElement, elements, count))) return hr;
    ScopedBstr formName;
    if (FAILED(hr = elements->get_name(formName.Out()))) return hr;
    name = formName.Text();
    return S_OK;
}

int FormFillIn::FormGone(IWebBrowser2* browser, IHTMLDocument2* document, CDataWebForm& page,
                         const std::wstring& url, const std::wstring& entryName) {
    if (page.m_nChangeFlg == 1) return 0;
    if (!AskReRegister(page)) return 0;
    CRegistDlg dialog(document, 0, CRegistDlg::STATE_REREGIST);
    // Only a saved registration is worth another try; a dialog that could
    // not be shown must not lead to the same question again.
    if (dialog.DoModal() != IDOK) return -1;
    return m_store.AutoInput(browser, url, entryName);
}

int FormFillIn::FormChanged(IWebBrowser2* browser, IHTMLDocument2* document, CDataWebForm& page,
                            const CDataWebItem& entry, const std::wstring& url,
                            const std::wstring& entryName) {
    if (!AskReRegister(page)) return 0;
    CRegistDlg dialog(document, entry.m_nIndex, CRegistDlg::STATE_REREGIST);
    if (dialog.DoModal() != IDOK) return -1;
    return m_store.AutoInput(browser, url, entryName);
}

bool FormFillIn::AskReRegister(CDataWebForm& page) {
    CChangeEntryDlg question;
    (void)question.DoModal();
    page.m_nChangeFlg = question.DoNotAsk();
    m_store.SetChangeFlag(&page);
    return question.Yes() == 1;
}

int FormFillIn::Fill(IWebBrowser2* browser, IHTMLFormElement* elements, CDataWebForm& page,
                     const CDataWebItem& entry, const FormMatch& match) {
    const HWND window = BrowserWindow(browser);
    {
        DisabledBrowser disabled(m_store, window);
        const BOOL allowed = m_store.IsAuthent(AUTH_CASE_INPUT);
        disabled.Restore();
        if (!allowed) {
            BringForward(window);
            return -1;
        }
    }
    {
        // The entry is one of page's items: its passwords come in clear, or
        // empty and marked where they cannot.
        const CryptFlagScope crypt(m_store, 1);
        m_store.GetWebFormDataEncrypt(&page);
    }
    BringForward(window);

    FormFiller filler(elements);
    FormFiller::Options options;
    options.fillMultiText = m_store.m_option.m_nNoMultiText == 0;
    options.autoSend = entry.m_nAutoSend == 1 && !LacksAPassword(entry);
    long button = -1;
    if (FAILED(filler.Fill(entry, match, options, button))) return -1;
    if (options.autoSend && button < 0) {
        // To be sent, but no marked button of the entry is on the page: the
        // form stays filled in and unsent, and is not reported as sent.
        TORVA_TRACE_DETAIL(L"* no button to send with *");
        return -1;
    }
    if (button >= 0 && FAILED(filler.Click(button))) return -1;
    return 1;
}
