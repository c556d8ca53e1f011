// The toolbar's combo box of the entries stored for the page in the browser.
#include "CExpData.h"
#include "TraceScope.h"

#include "CComPtr.h"
#include "CryptFlagScope.h"
#include "HtmlFrames.h"
#include "HtmlCom.h"

#include <algorithm>
#include <memory>

namespace {

void CollectUrls(IHTMLDocument2* document, std::vector<std::wstring>& urls, int depth) {
    ScopedBstr url;
    if (SUCCEEDED(document->get_URL(url.Out()))) {
        std::wstring text = url.Text();
        if (!text.empty() && std::find(urls.begin(), urls.end(), text) == urls.end()) {
            urls.push_back(std::move(text));
        }
    }
    if (depth >= kMaxFrameDepth) return;
    CComPtr<IHTMLFramesCollection2> frames;
    if (FAILED(document->get_frames(&frames)) || !frames) return;
    long count = 0;
    if (FAILED(frames->get_length(&count))) return;
    for (long i = 0; i < count; ++i) {
        if (CComPtr<IHTMLDocument2> frame = FrameDocument(frames, i)) {
            CollectUrls(frame, urls, depth + 1);
        }
    }
}

// One line whose item data owns a copy of url; the line's index, or -1.
int AddLine(HWND combo, const std::wstring& name, const std::wstring& url) {
    const LRESULT index =
        ::SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    if (index == CB_ERR || index == CB_ERRSPACE) return -1;
    auto data = std::make_unique<std::wstring>(url);
    if (::SendMessageW(combo, CB_SETITEMDATA, static_cast<WPARAM>(index),
                       reinterpret_cast<LPARAM>(data.get())) == CB_ERR) {
        ::SendMessageW(combo, CB_DELETESTRING, static_cast<WPARAM>(index), 0);
        return -1;
    }
    (void)data.release(); // DeleteComboBoxItem frees it
    return static_cast<int>(index);
}

} // namespace

void CExpData::GetURLName(IHTMLDocument2* document, std::vector<std::wstring>& urls) {
    TORVA_TRACE_SCOPE(L"CExpData::GetURLName");
    if (document) CollectUrls(document, urls, 0);
}

void CExpData::DeleteComboBoxItem(HWND combo) {
    TORVA_TRACE_SCOPE(L"CExpData::DeleteComboBoxItem");
    if (!combo || !::IsWindow(combo)) TORVA_RETURN_VOID();
    const LRESULT count = ::SendMessageW(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT data = ::SendMessageW(combo, CB_GETITEMDATA, static_cast<WPARAM>(i), 0);
        if (data == CB_ERR || data == 0) continue;
        // Cleared before the free so that no line ever points at freed memory.
        ::SendMessageW(combo, CB_SETITEMDATA, static_cast<WPARAM>(i), 0);
        delete reinterpret_cast<std::wstring*>(data);
    }
    ::SendMessageW(combo, CB_RESETCONTENT, 0, 0);
}

BOOL CExpData::SetComboBox(HWND combo, IWebBrowser2* browser) {
    TORVA_TRACE_SCOPE(L"CExpData::SetComboBox");
    if (combo) ::EnableWindow(combo, FALSE);
    DeleteComboBoxItem(combo);
    (void)GetOptionData();
    m_nPreselectedIndex = -1;
    int selection = 0;
    if (!browser || !combo) {
        if (combo) ::EnableWindow(combo, TRUE);
        TORVA_RETURN_BOOL(FALSE);
    }
    CComPtr<IDispatch> dispatch;
    CComPtr<IHTMLDocument2> document;
    if (SUCCEEDED(browser->get_Document(&dispatch)) && dispatch) {
        (void)QueryAs(dispatch, IID_IHTMLDocument2, document);
    }
    if (!document) {
        ::EnableWindow(combo, TRUE);
        TORVA_RETURN_BOOL(FALSE);
    }
    std::vector<std::wstring> urls;
    GetURLName(document, urls);

    int added = 0;
    for (const std::wstring& url : urls) {
        std::unique_ptr<CDataWebForm> page;
        {
            // Passwords load empty: filling the box never asks to authenticate.
            const CryptFlagScope noCrypt(*this, 0);
            page.reset(GetWebPageData(url, 1));
        }
        if (!page) continue;
        for (const auto& item : page->m_items) {
            if (!item || item->m_strName.empty()) continue;
            const int index = AddLine(combo, item->m_strName, url);
            if (index < 0) continue;
            ++added;
            if (item->m_nAutoInput == 1) {
                m_nPreselectedIndex = index;
                selection = index;
            }
        }
    }
    ::EnableWindow(combo, TRUE);
    if (added == 0) TORVA_RETURN_BOOL(FALSE);
    ::SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(selection), 0);
    TORVA_RETURN_BOOL(TRUE);
}
