// The store end to end, as the main job shows it: this 64-bit program plays
// the browser add-in. It opens a page with frames in the browser layer, finds
// the frame that holds the log-in form, captures the form's controls, stores
// the page through CExpData (each database and crypto call one exchange with
// the installed 32-bit relay), loads it back by its URL, prints it, and
// deletes it again. The last store ends the relay.
//   store_demo [--relay=<folder>]   (default: the install folder)
#include "CExpData.h"
#include "RelayRecords.h"
#include "RelayState.h"

#include "CComPtr.h"
#include "HtmlCom.h"
#include "HtmlDocument.h"
#include "PageSource.h"
#include "PathHelpers.h"
#include "ProgramFolder.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <memory>
#include <string>

namespace {

void Print(const std::wstring& text) {
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                        nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &utf8[0], n,
                          nullptr, nullptr);
    std::fwrite(utf8.data(), 1, utf8.size(), stdout);
    std::fflush(stdout);
}

// The controls of the first form of a document, as the capture takes them:
// text, password, check box and submit inputs, with their current values.
bool CaptureFirstForm(IHTMLDocument2* document, CDataWebItem& item) {
    CComPtr<IHTMLElementCollection> forms;
    if (FAILED(document->get_forms(&forms)) || !forms) return false;
    CComPtr<IDispatch> first;
    if (FAILED(ItemDispatchAt(forms.p, 0, first))) return false;
    auto form = As<IHTMLFormElement>(first, IID_IHTMLFormElement);
    if (!form) return false;
    BSTR formName = nullptr;
    form->get_name(&formName);
    item.m_strFormName = TakeBstr(formName);
    item.m_nIndex = 0;
    long count = 0;
    form->get_length(&count);
    for (long i = 0; i < count; ++i) {
        CComPtr<IDispatch> element;
        if (FAILED(ItemDispatchAt(form.p, i, element))) continue;
        auto input = As<IHTMLInputElement>(element, IID_IHTMLInputElement);
        if (!input) continue;
        BSTR typeText = nullptr, nameText = nullptr, valueText = nullptr;
        input->get_type(&typeText);
        input->get_name(&nameText);
        input->get_value(&valueText);
        const std::wstring type = TakeBstr(typeText), name = TakeBstr(nameText),
                           value = TakeBstr(valueText);
        int kind = -1;
        if (type == L"text")
            kind = D_WEB_CTRL_TEXT;
        else if (type == L"password")
            kind = D_WEB_CTRL_PSWD;
        else if (type == L"checkbox")
            kind = D_WEB_CTRL_CHECK;
        else if (type == L"submit")
            kind = D_WEB_CTRL_SUBMIT;
        if (kind < 0) continue;
        CDataWebCtrl& ctrl = item.AddCtrl();
        ctrl.m_nType = kind;
        ctrl.m_strName = name;
        if (!ctrl.CreateValue()) return false;
        if (auto* text = ctrl.TextValue()) {
            text->m_strValue = value;
            long maxLength = -1;
            input->get_maxLength(&maxLength);
            text->m_nDataLen = maxLength > 0 && maxLength <= 500 ? maxLength : -1;
        } else if (auto* button = ctrl.ButtonValue()) {
            button->m_strValue = value;
            button->m_nSelected = 1;
        } else if (auto* choices = ctrl.SelValue()) {
            VARIANT_BOOL checked = VARIANT_FALSE;
            input->get_checked(&checked);
            CDataWebSelElement& choice = choices->Add();
            choice.m_strValue = value;
            choice.m_nSelect = checked == VARIANT_TRUE;
        }
    }
    return !item.m_ctrls.empty();
}

void PrintPage(const CDataWebForm& page) {
    Print(L"  " + page.m_strKey + L"  URL " + page.m_strUrl + L"\n  title " + page.m_strTitle +
          L", saved " + page.m_strUpdateDate + L"\n");
    for (const auto& item : page.m_items) {
        Print(L"  entry \"" + item->m_strName + L"\" (form \"" + item->m_strFormName + L"\", " +
              std::to_wstring(item->m_ctrls.size()) + L" controls)\n");
        for (const auto& ctrl : item->m_ctrls) {
            std::wstring value;
            if (auto* text = ctrl->TextValue()) value = text->m_strValue;
            if (auto* button = ctrl->ButtonValue()) value = button->m_strValue;
            if (auto* choices = ctrl->SelValue()) {
                for (const auto& choice : choices->m_elements) {
                    value += choice->m_strValue + (choice->m_nSelect ? L" (on)" : L" (off)");
                }
            }
            Print(L"    " + ctrl->m_strKey.substr(ctrl->m_strKey.find_last_of(L'\\') + 1) + L" " +
                  ctrl->m_strName + L" = " + value + L"\n");
        }
    }
}

std::wstring Now() {
    const std::time_t now = std::time(nullptr);
    wchar_t text[32] = {};
    std::wcsftime(text, 32, L"%Y/%m/%d %H:%M:%S", std::localtime(&now));
    return text;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    std::wstring relayFolder = GetModuleDirPath(); // the install folder
    for (int i = 1; i < argc; ++i) {
        const std::wstring arg = argv[i];
        if (arg.rfind(L"--relay=", 0) == 0) relayFolder = arg.substr(8);
    }
    if (relayFolder.empty()) {
        Print(L"[store demo] no install folder: HKLM SOFTWARE\\Kobel\\TORVA \"Location\" is not "
              L"set\n");
        return 2;
    }
    if (relayFolder.back() != L'\\') relayFolder += L'\\';
    const std::wstring here = torva::ProgramFolder();
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);

    RelayState::Instance().SetRelayFolder(relayFolder);
    // A 32-bit program can take minutes to start under emulation.
    RelayState::Instance().SetReadyOpens(2400);

    Print(L"[store demo] 64-bit add-in side, relay " + relayFolder + L"Zentrip.exe\n");
    auto top = torva::browser::HtmlDocument::Load(here + L"store-demo\\site.html");
    CComPtr<IHTMLDocument2> site(static_cast<IHTMLDocument2*>(top.get()));
    // The URL as the browser reports it for the frame's file.
    const std::wstring loginUrl = torva::browser::CanonicalUrl(here + L"store-demo\\login.html");
    CComPtr<IHTMLDocument2> login;
    login.p = CExpData::GetHtmlDocument(site, loginUrl);
    if (!login) {
        Print(L"[store demo] the log-in frame " + loginUrl + L" was not found\n");
        return 1;
    }
    BSTR title = nullptr;
    login->get_title(&title);
    CDataWebForm page;
    page.m_strUrl = loginUrl;
    page.m_strTitle = TakeBstr(title);
    page.m_strUpdateDate = Now();
    CDataWebItem& entry = page.AddItem();
    entry.m_strName = L"山田さんの会員ログイン";
    entry.m_nAutoInput = 1;
    if (!CaptureFirstForm(login, entry)) {
        Print(L"[store demo] the page has no form to capture\n");
        return 1;
    }
    Print(L"[store demo] captured frame " + loginUrl + L": form \"" + entry.m_strFormName +
          L"\", " + std::to_wstring(entry.m_ctrls.size()) + L" controls\n");

    int status = 1;
    {
        auto started = std::chrono::steady_clock::now();
        CExpData store; // the first store starts the relay and loads the URL list
        Print(L"[store demo] relay started in " +
              std::to_wstring(std::chrono::duration_cast<std::chrono::seconds>(
                                  std::chrono::steady_clock::now() - started)
                                  .count()) +
              L" s\n");
        RelayState::Instance().ResetCounts();
        if (store.SetWebPageData(&page, nullptr) != 0) {
            Print(L"[store demo] storing the page failed\n");
            return 1;
        }
        unsigned stored = 0;
        for (unsigned n : RelayState::Instance().Counts())
            stored += n;
        Print(L"[store demo] stored as " + page.m_strKey + L" in " + std::to_wstring(stored) +
              L" relay exchanges; the URL list now maps the URL to " +
              store.SearchSubKeyFromURL(loginUrl) + L"\n");

        RelayState::Instance().ResetCounts();
        std::unique_ptr<CDataWebForm> loaded(store.GetWebPageData(loginUrl, 1));
        unsigned loads = 0;
        for (unsigned n : RelayState::Instance().Counts())
            loads += n;
        if (!loaded) {
            Print(L"[store demo] loading the page by its URL failed\n");
        } else {
            Print(L"[store demo] loaded back by URL in " + std::to_wstring(loads) +
                  L" relay exchanges (password decrypted by the relay):\n");
            PrintPage(*loaded);
            const bool same = loaded->m_items.size() == 1 &&
                              loaded->m_items[0]->m_ctrls.size() == entry.m_ctrls.size() &&
                              loaded->m_items[0]->m_ctrls[1]->TextValue() &&
                              loaded->m_items[0]->m_ctrls[1]->TextValue()->m_strValue ==
                                  entry.m_ctrls[1]->TextValue()->m_strValue;
            Print(same ? L"[store demo] the loaded entry matches the captured form\n"
                       : L"[store demo] the loaded entry differs from the captured form\n");
            status = same ? 0 : 1;
        }
        const BOOL deleted = store.DeleteWebPageData(&page);
        std::unique_ptr<CDataWebForm> gone(store.GetWebPageData(loginUrl, 0));
        Print(!deleted || gone ? L"[store demo] the page is still there after its deletion\n"
                               : L"[store demo] deleted again; the URL finds nothing\n");
        if (!deleted || gone) status = 1;
    }
    Print(RelayState::Instance().RelayProcessId() == 0
              ? L"[store demo] the last store ended the relay\n"
              : L"[store demo] the relay is still running\n");
    top.reset();
    ::CoUninitialize();
    return status;
}
