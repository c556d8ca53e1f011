// The HTML copy of the selected item's form: written to a temporary file,
// shown in the embedded browser and filled with the stored values.
#include "CRegistDlg.h"
#include "SetformFileName.h"

#include "PathHelpers.h"
#include "RegistHtml.h"
#include "ReplaceStr.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

using regist::As;
using regist::TakeBstr;

namespace {

// The name of the button list in the copy; no page control is named so.
constexpr wchar_t kButtonListName[] = L"submitselecttvrtvrsubmitselecttvrtvr";
constexpr wchar_t kPasswordMark[] = L"<!--password-->";
constexpr UINT_PTR kFillTimer = 1;
constexpr UINT kFillPeriodMs = 100;

// Everything that lands in the copy's markup, text or attribute, is escaped:
// a quote or "<" in a name or value would otherwise cut the copy's markup
// and lose the control.
std::wstring Esc(std::wstring text) {
    (void)ReplaceStr(text);
    return text;
}

std::wstring Num(int value) {
    return std::to_wstring(value);
}

std::wstring Trim(const std::wstring& text) {
    const wchar_t* space = L" \t\r\n";
    const size_t first = text.find_first_not_of(space);
    if (first == std::wstring::npos) return {};
    return text.substr(first, text.find_last_not_of(space) - first + 1);
}

std::wstring TextFragment(const CDataWebCtrl& ctrl) {
    const CDataWebTextValue& v = *ctrl.TextValue();
    const std::wstring name = Esc(ctrl.m_strName);
    std::wstring html = L"text(" + name + L")<INPUT TYPE=\"text\" name=\"" + name + L"\"";
    if (!v.m_strValue.empty()) html += L" value=\"" + Esc(v.m_strValue) + L"\"";
    if (v.m_nDataLen > 0)
        html += L" size=" + Num(v.m_nDataLen) + L" maxlength=" + Num(v.m_nDataLen);
    return html + L"><P>\r\n";
}

std::wstring PasswordFragment(const CDataWebCtrl& ctrl, bool hide) {
    const CDataWebTextValue& v = *ctrl.TextValue();
    const std::wstring name = Esc(ctrl.m_strName);
    const std::wstring size =
        v.m_nDataLen > 0 ? L" size=" + Num(v.m_nDataLen) + L" maxlength=" + Num(v.m_nDataLen) : L"";
    if (hide) {
        // No value in the file: the fill step puts the password in.
        return L"password(" + name + L")<INPUT TYPE=\"password\" name=\"" + name + L"\"" + size +
               L"><P>\n";
    }
    std::wstring html = std::wstring(kPasswordMark) + L"\npassword(" + name +
                        L")<INPUT TYPE=\"text\" name=\"" + name + L"\"";
    if (!v.m_strValue.empty()) html += L" value=\"" + Esc(v.m_strValue) + L"\"";
    html += size.empty() && v.m_strValue.empty() ? L" " : L"";
    return html + size + L"><P>\n" + kPasswordMark + L"\r\n";
}

std::wstring MultiFragment(const CDataWebCtrl& ctrl) {
    const CDataWebMultiText& v = *ctrl.MultiValue();
    const std::wstring name = Esc(ctrl.m_strName);
    return L"textarea(" + name + L")<br><textarea rows=" + Num(v.m_nRows) + L" cols=" +
           Num(v.m_nCols) + L" name=\"" + name + L"\">" + Esc(v.m_strText) + L"</textarea><p>";
}

std::wstring SelectFragment(const CDataWebCtrl& ctrl) {
    const CDataWebSelCtrl& v = *ctrl.SelValue();
    const std::wstring name = Esc(ctrl.m_strName);
    std::wstring html = L"select menu(" + name + L")\n\n<BLOCKQUOTE>\n<SELECT NAME=\"" + name +
                        (v.m_nMultiple == 1 ? L"\" MULTIPLE>" : L"\">");
    for (const auto& e : v.m_elements)
        html += L"<option value=\"" + Esc(e->m_strValue) + L"\">" + Esc(e->m_strText) + L"\n";
    return html + L"</SELECT>\n</BLOCKQUOTE><P>\r\n";
}

std::wstring ChoiceFragment(const CDataWebCtrl& ctrl, bool radio) {
    const CDataWebSelCtrl& v = *ctrl.SelValue();
    const std::wstring name = Esc(ctrl.m_strName);
    std::wstring html = radio ? L"radio(" + name + L")\n\n<BLOCKQUOTE>\n"
                              : L"check(" + name + L")\r\n\r\n<BLOCKQUOTE>\n";
    const wchar_t* type = radio ? L"radio" : L"checkbox";
    for (const auto& e : v.m_elements) {
        const std::wstring value = Esc(e->m_strValue);
        html += value + L"<INPUT TYPE=\"" + type + L"\"" + (e->m_nSelect == 1 ? L" checked" : L"") +
                L" name=\"" + name + L"\" value=\"" + value + L"\"><BR>\r\n";
    }
    return html + L"</BLOCKQUOTE><P>\r\n";
}

std::wstring ButtonList(const std::vector<const CDataWebCtrl*>& buttons) {
    std::wstring html =
        L"submit button\n\n<BLOCKQUOTE><SELECT NAME=\"" + std::wstring(kButtonListName) + L"\">\n";
    for (const CDataWebCtrl* button : buttons) {
        const CDataWebButtonValue& v = *button->ButtonValue();
        const std::wstring value = Esc(v.m_strValue);
        html += v.m_nSelected == 1 ? L"<option value=\"" + value + L"\" selected>" + value + L"\r\n"
                                   : L"<option value=\"" + value + L"\">" + value + L"\n";
    }
    return html + L"</SELECT>\n</BLOCKQUOTE><P>\r\n";
}

struct FileCloser {
    void operator()(FILE* file) const noexcept { std::fclose(file); }
};
using UniqueCFile = std::unique_ptr<FILE, FileCloser>;

// The copy is written as UTF-8 and says so, so that names and values that
// the ANSI code page cannot hold read back unchanged.
[[nodiscard]] bool WriteHtmlFile(FILE* file, const std::wstring& text) {
    if (text.empty()) return true;
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                           nullptr, 0, nullptr, nullptr);
    if (size <= 0) return false;
    std::string bytes(static_cast<size_t>(size), '\0');
    (void)::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                bytes.data(), size, nullptr, nullptr);
    return std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
}

void DetachCopy(CDataWebItem& item) {
    for (auto& ctrl : item.m_ctrls) {
        ctrl->m_element.Reset();
        if (CDataWebSelCtrl* sel = ctrl->SelValue())
            for (auto& e : sel->m_elements)
                e->m_element.Reset();
    }
}

} // namespace

std::wstring CRegistDlg::BuildFormHtml(const CDataWebItem& item) const {
    std::wstring html = L"<html>\n<head><meta http-equiv=\"Content-Type\" "
                        L"content=\"text/html; charset=utf-8\"></head>\n<body>\n<form>\n"
                        L"<FONT SIZE=2>\n";
    const bool hidePwd = m_store.m_option.m_nHidePwd == 1;
    std::vector<const CDataWebCtrl*> buttons;
    for (const auto& owned : item.m_ctrls) {
        const CDataWebCtrl& ctrl = *owned;
        if (!ctrl.HasValue()) continue;
        switch (ctrl.m_nType) {
        case D_WEB_CTRL_TEXT:
            html += TextFragment(ctrl);
            break;
        case D_WEB_CTRL_PSWD:
            html += PasswordFragment(ctrl, hidePwd);
            break;
        case D_WEB_CTRL_MULTI:
            html += MultiFragment(ctrl);
            break;
        case D_WEB_CTRL_SELECT:
            html += SelectFragment(ctrl);
            break;
        case D_WEB_CTRL_RADIO:
            html += ChoiceFragment(ctrl, true);
            break;
        case D_WEB_CTRL_CHECK:
            html += ChoiceFragment(ctrl, false);
            break;
        case D_WEB_CTRL_SUBMIT:
        case D_WEB_CTRL_IMAGE:
            buttons.push_back(&ctrl);
            break;
        default:
            break;
        }
    }
    if (buttons.size() > 1) html += ButtonList(buttons);
    return html + L"</font>\n</form>\n</body>\n</html>\n";
}

void CRegistDlg::CreateFormHTML(CDataWebItem* item) {
    if (!item) return;
    // The previous copy's elements must not be read as this one's.
    DetachCopy(*item);
    std::wstring folder;
    GetTempDirPath(folder);
    const std::wstring path = folder + SetformFileName(m_hWnd);
    m_strTempPath = path;
    {
        UniqueCFile file(::_wfopen(path.c_str(), L"wb"));
        if (!file) return;
        if (!WriteHtmlFile(file.get(), BuildFormHtml(*item))) return;
    }
    if (m_pBrowser) {
        VARIANT empty = EmptyVariant();
        const ScopedBstr url(path);
        (void)m_pBrowser->Navigate(url.Get(), &empty, &empty, &empty, &empty);
    }
    ::SetTimer(m_hWnd, kFillTimer, kFillPeriodMs, nullptr);
}

IHTMLDocument2* CRegistDlg::CopyDocument() const {
    if (!m_pBrowser) return nullptr;
    CComPtr<IDispatch> dispatch;
    if (FAILED(m_pBrowser->get_Document(&dispatch)) || !dispatch) return nullptr;
    return As<IHTMLDocument2>(dispatch, IID_IHTMLDocument2).Detach();
}

void CRegistDlg::FillCopy() {
    CComPtr<IHTMLDocument2> document;
    document.p = CopyDocument();
    if (!document) return;
    VARIANT_BOOL busy = VARIANT_FALSE;
    (void)m_pBrowser->get_Busy(&busy);
    BSTR stateText = nullptr;
    (void)document->get_readyState(&stateText);
    if (busy != VARIANT_FALSE || TakeBstr(stateText) != L"complete") return;
    ::KillTimer(m_hWnd, kFillTimer);

    CDataWebItem* item = RowItem(ListView_GetNextItem(m_hList, -1, LVNI_SELECTED));
    if (!item) return;
    CComPtr<IHTMLElementCollection> all;
    if (FAILED(document->get_all(&all)) || !all) return;
    const long count = regist::CollectionLength(all);
    int passwordFlag = 0;
    for (long i = 0; i < count; ++i) {
        CComPtr<IHTMLElement> element = regist::CollectionItem(all, i);
        if (!element) continue;
        if (auto comment = As<IHTMLCommentElement>(element, IID_IHTMLCommentElement)) {
            BSTR text = nullptr;
            (void)comment->get_text(&text);
            if (TakeBstr(text) == kPasswordMark) passwordFlag = passwordFlag ? 0 : 1;
            continue;
        }
        if (SetTextElement(element, item, passwordFlag)) continue;
        if (SetTextAreaElement(element, item)) continue;
        if (SetSelectMenuElement(element, item)) continue;
        (void)SetInputElement(element, item);
    }
}

BOOL CRegistDlg::SetTextElement(IHTMLElement* element, CDataWebItem* item, int passwordFlag) {
    auto text = As<IHTMLInputTextElement>(element, IID_IHTMLInputTextElement);
    if (!text) return FALSE;
    BSTR typeText = nullptr;
    BSTR nameText = nullptr;
    (void)text->get_type(&typeText);
    (void)text->get_name(&nameText);
    const std::wstring type = passwordFlag ? L"password" : regist::Lower(TakeBstr(typeText));
    if (passwordFlag) ::SysFreeString(typeText);
    const std::wstring name = TakeBstr(nameText);
    int kind = -1;
    if (type == L"text")
        kind = D_WEB_CTRL_TEXT;
    else if (type == L"password")
        kind = D_WEB_CTRL_PSWD;
    if (kind < 0) return FALSE;
    for (auto& ctrl : item->m_ctrls) {
        if (ctrl->m_nType != kind || ctrl->m_strName != name) continue;
        ctrl->m_element.Reset(element);
        const CDataWebTextValue* v = ctrl->TextValue();
        if (kind == D_WEB_CTRL_PSWD && v && !v->m_strValue.empty())
            (void)regist::WriteValue(element, v->m_strValue);
        return TRUE;
    }
    return FALSE;
}

BOOL CRegistDlg::SetTextAreaElement(IHTMLElement* element, CDataWebItem* item) {
    auto area = As<IHTMLTextAreaElement>(element, IID_IHTMLTextAreaElement);
    if (!area) return FALSE;
    BSTR nameText = nullptr;
    (void)area->get_name(&nameText);
    const std::wstring name = Trim(TakeBstr(nameText));
    for (auto& ctrl : item->m_ctrls) {
        if (ctrl->m_nType != D_WEB_CTRL_MULTI || ctrl->m_strName != name) continue;
        ctrl->m_element.Reset(element);
        if (const CDataWebMultiText* v = ctrl->MultiValue())
            (void)regist::WriteValue(element, v->m_strText);
        return TRUE;
    }
    return FALSE;
}

BOOL CRegistDlg::SetSelectMenuElement(IHTMLElement* element, CDataWebItem* item) {
    auto select = As<IHTMLSelectElement>(element, IID_IHTMLSelectElement);
    if (!select) return FALSE;
    BSTR nameText = nullptr;
    (void)select->get_name(&nameText);
    const std::wstring name = TakeBstr(nameText);
    const long count = regist::CollectionLength(select);

    if (name == kButtonListName) {
        std::vector<const CDataWebCtrl*> taken;
        for (long i = 0; i < count; ++i) {
            CComPtr<IHTMLElement> option = regist::CollectionItem(select, i);
            auto optionElement = As<IHTMLOptionElement>(option, IID_IHTMLOptionElement);
            if (!optionElement) continue;
            BSTR text = nullptr;
            (void)optionElement->get_text(&text);
            const std::wstring label = Trim(TakeBstr(text));
            for (auto& ctrl : item->m_ctrls) {
                const CDataWebButtonValue* v = ctrl->ButtonValue();
                if (!v || Trim(v->m_strValue) != label) continue;
                bool already = false;
                for (const CDataWebCtrl* t : taken)
                    already = already || t == ctrl.get();
                if (already) continue;
                taken.push_back(ctrl.get());
                ctrl->m_element.Reset(option);
                (void)regist::WriteSelected(option, v->m_nSelected);
                break;
            }
        }
        return TRUE;
    }

    for (auto& ctrl : item->m_ctrls) {
        if (ctrl->m_nType != D_WEB_CTRL_SELECT || ctrl->m_strName != name) continue;
        ctrl->m_element.Reset(element);
        CDataWebSelCtrl* v = ctrl->SelValue();
        if (!v) return TRUE;
        for (long i = 0; i < count; ++i) {
            CComPtr<IHTMLElement> option = regist::CollectionItem(select, i);
            auto optionElement = As<IHTMLOptionElement>(option, IID_IHTMLOptionElement);
            if (!optionElement) continue;
            BSTR valueText = nullptr;
            BSTR textText = nullptr;
            (void)optionElement->get_value(&valueText);
            (void)optionElement->get_text(&textText);
            const std::wstring value = TakeBstr(valueText);
            const std::wstring text = Trim(TakeBstr(textText));
            for (auto& e : v->m_elements) {
                if (e->m_strValue != value || Trim(e->m_strText) != text || e->m_element) continue;
                e->m_element.Reset(option);
                (void)regist::WriteSelected(option, e->m_nSelect);
                break;
            }
        }
        return TRUE;
    }
    return FALSE;
}

BOOL CRegistDlg::SetInputElement(IHTMLElement* element, CDataWebItem* item) {
    auto input = As<IHTMLInputElement>(element, IID_IHTMLInputElement);
    if (!input) return FALSE;
    const std::wstring type = regist::Lower(regist::InputType(element));
    int kind = -1;
    if (type == L"radio")
        kind = D_WEB_CTRL_RADIO;
    else if (type == L"checkbox")
        kind = D_WEB_CTRL_CHECK;
    if (kind < 0) return FALSE;
    const std::wstring name = regist::ControlName(element);
    std::wstring value;
    (void)regist::ReadValue(element, value);
    for (auto& ctrl : item->m_ctrls) {
        if (ctrl->m_nType != kind || ctrl->m_strName != name) continue;
        if (CDataWebSelCtrl* v = ctrl->SelValue())
            for (auto& e : v->m_elements)
                if (e->m_strValue == value) {
                    e->m_element.Reset(element);
                    return TRUE;
                }
        return FALSE;
    }
    return FALSE;
}
