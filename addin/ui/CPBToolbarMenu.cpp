// The toolbar's menu commands: registration, the data manager, the on/off
// switch and the options, and the search for the page's form document.
#include "CPBToolbar.h"

#include "COptionDlg.h"
#include "CReflectionWnd.h"
#include "CRegistDlg.h"
#include "CSelFrameDlg.h"
#include "CSelectEntry.h"
#include "HtmlCom.h"
#include "HtmlFrames.h"
#include "PathHelpers.h"

#include "Trace.h"

#include <memory>
#include <string>
#include <vector>

namespace {

bool SameText(const std::wstring& text, const wchar_t* expected) {
    return ::lstrcmpiW(text.c_str(), expected) == 0;
}

// True when one of the document's forms has an element the registration
// can store: a text input, a select, or an input of another type than
// submit and hidden.
bool HasUsableForm(IHTMLDocument2* document) {
    CComPtr<IHTMLElementCollection> forms;
    long count = 0;
    if (FAILED(document->get_forms(&forms)) || !forms || FAILED(forms->get_length(&count)))
        return false;
    for (long f = 0; f < count; ++f) {
        CComPtr<IHTMLFormElement> form;
        if (FAILED(ItemAt(forms.p, f, IID_IHTMLFormElement, form))) continue;
        long elements = 0;
        if (FAILED(form->get_length(&elements))) continue;
        for (long e = 0; e < elements; ++e) {
            CComPtr<IDispatch> element;
            if (FAILED(ItemDispatchAt(form.p, e, element))) continue;
            if (As<IHTMLInputTextElement>(element, IID_IHTMLInputTextElement) ||
                As<IHTMLSelectElement>(element, IID_IHTMLSelectElement))
                return true;
            const CComPtr<IHTMLInputElement> input =
                As<IHTMLInputElement>(element, IID_IHTMLInputElement);
            ScopedBstr type;
            if (input && SUCCEEDED(input->get_type(type.Out())) && type.Get() &&
                !SameText(type.Text(), L"submit") && !SameText(type.Text(), L"hidden"))
                return true;
        }
    }
    return false;
}

void CollectFormDocuments(IHTMLDocument2* document, std::vector<CComPtr<IHTMLDocument2>>& found,
                          int depth) {
    if (!document || depth > kMaxFrameDepth) return;
    if (HasUsableForm(document)) {
        bool known = false;
        for (const auto& d : found)
            known = known || d.p == document;
        if (!known) found.emplace_back(document);
    }
    CComPtr<IHTMLFramesCollection2> frames;
    long count = 0;
    if (FAILED(document->get_frames(&frames)) || !frames || FAILED(frames->get_length(&count)))
        return;
    for (long i = 0; i < count; ++i) {
        CComPtr<IHTMLDocument2> child = FrameDocument(frames, i);
        if (child) CollectFormDocuments(child, found, depth + 1);
    }
}

} // namespace

IHTMLDocument2* CPBToolbar::GetHTMLDocument(IWebBrowser2* browser, BOOL showMessage,
                                            BOOL allowChoice) {
    TORVA_TRACE_ENTER(L"CPBToolbar::GetHTMLDocument");
    if (!browser) return nullptr;
    CComPtr<IDispatch> dispatch;
    CComPtr<IHTMLDocument2> top;
    if (FAILED(browser->get_Document(&dispatch)) ||
        FAILED(QueryAs(dispatch, IID_IHTMLDocument2, top)))
        return nullptr;
    std::vector<CComPtr<IHTMLDocument2>> found;
    CollectFormDocuments(top, found, 0);
    if (found.empty()) {
        if (showMessage)
            ::MessageBoxW(m_hWnd, L"このページにはフォームがありません。", nullptr, MB_ICONERROR);
        return nullptr;
    }
    if (found.size() == 1 || !allowChoice) return found.front().Detach();
    std::vector<IHTMLDocument2*> choices;
    for (const auto& d : found)
        choices.push_back(d.p);
    CSelFrameDlg dialog(choices);
    if (dialog.DoModal(::GetActiveWindow()) != IDOK || !dialog.GetSelectedDocument())
        return nullptr;
    IHTMLDocument2* chosen = dialog.GetSelectedDocument();
    chosen->AddRef();
    return chosen;
}

LRESULT CPBToolbar::OnMenuReg(WORD, WORD, HWND, BOOL&) {
    TORVA_TRACE_ENTER(L"CPBToolbar::OnMenuReg");
    const CReflectionWnd::OwnerHold hold(m_pHost);
    CComPtr<IWebBrowser2> browser(m_pBrowser);
    CComPtr<IHTMLDocument2> document;
    *(&document) = GetHTMLDocument(browser, TRUE, TRUE);
    if (!document) return 0;
    ScopedBstr url;
    const std::wstring pageUrl =
        SUCCEEDED(document->get_URL(url.Out())) ? url.Text() : std::wstring();
    // Only whether a page is stored counts here: read without decryption,
    // which would ask the user to authenticate for nothing.
    const bool stored =
        std::unique_ptr<CDataWebForm>(m_ExpData.GetWebPageData(pageUrl, 0)) != nullptr;
    int state = CRegistDlg::STATE_NEW;
    if (stored) {
        CSelectEntry choice;
        if (choice.DoModal(::GetActiveWindow()) != IDOK) return 0;
        state = choice.Overwrite() ? CRegistDlg::STATE_OVERWRITE : CRegistDlg::STATE_ADD;
    }
    CRegistDlg dialog(document, 0, state);
    (void)dialog.DoModal(::GetActiveWindow());
    if (dialog.SaveFlag() == 1) RefreshComboBox();
    return 0;
}

LRESULT CPBToolbar::OnMenuManage(WORD, WORD, HWND, BOOL&) {
    TORVA_TRACE_ENTER(L"CPBToolbar::OnMenuManage");
    const CReflectionWnd::OwnerHold hold(m_pHost);
    std::wstring folder = GetModuleDirPath();
    if (!folder.empty() && folder.back() != L'\\') folder += L'\\';
    const std::wstring application = folder + L"Mablix.exe";
    const DWORD attributes =
        folder.empty() ? INVALID_FILE_ATTRIBUTES : ::GetFileAttributesW(application.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        ::MessageBoxW(m_hWnd, L"データ管理プログラム (Mablix.exe) がインストールされていません。",
                      nullptr, MB_ICONERROR);
        return 0;
    }
    wchar_t commandLine[64] = {};
    ::wsprintfW(commandLine, L"IEWND=%d", static_cast<int>(reinterpret_cast<INT_PTR>(m_hWnd)));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (::CreateProcessW(application.c_str(), commandLine, nullptr, nullptr, FALSE, 0, nullptr,
                         folder.c_str(), &startup, &process)) {
        const torva::UniqueHandle thread(process.hThread);
        const torva::UniqueHandle child(process.hProcess);
    }
    return 0;
}

LRESULT CPBToolbar::OnMenuOnOff(WORD, WORD, HWND, BOOL&) {
    TORVA_TRACE_ENTER(L"CPBToolbar::OnMenuOnOff");
    const CReflectionWnd::OwnerHold hold(m_pHost);
    // Writing after a failed read would store the defaults over the user's
    // other options.
    if (!m_ExpData.GetOptionData()) return 0;
    m_ExpData.m_option.m_nStopFunc = 1 - m_ExpData.m_option.m_nStopFunc;
    m_ExpData.SetOptionData();
    ShowIcon(m_ExpData.m_option.m_nStopFunc == 1);
    if (m_hWnd) {
        ::InvalidateRect(m_hWnd, nullptr, TRUE);
        ::UpdateWindow(m_hWnd);
    }
    return 0;
}

LRESULT CPBToolbar::OnMenuOption(WORD, WORD, HWND, BOOL&) {
    TORVA_TRACE_ENTER(L"CPBToolbar::OnMenuOption");
    const CReflectionWnd::OwnerHold hold(m_pHost);
    COptionDlg dialog;
    const INT_PTR result = dialog.DoModal(::GetActiveWindow());
    if (!m_hWnd) return 0; // the band's windows went meanwhile
    if (result == IDOK) {
        RefreshComboBox();
        ShowIcon(m_ExpData.m_option.m_nStopFunc == 1);
        ::InvalidateRect(m_hWnd, nullptr, TRUE);
        ::UpdateWindow(m_hWnd);
    }
    ::SetForegroundWindow(m_hWnd);
    return 0;
}
