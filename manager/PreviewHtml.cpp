#include "PreviewHtml.h"

#include "WebFormLayout.h"

#include <windows.h>

namespace mablix {

namespace {

const wchar_t kPageStart[] =
    L"<html>\n<head>\n"
    L"<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">\n"
    L"</head>\n<body>\n<form>\n<FONT SIZE=\"2\">\n";
const wchar_t kPageEnd[] = L"</font>\n</form>\n</body>\n<html>\n";

// A quoted attribute value: ="text".
std::wstring Quoted(const std::wstring& text) {
    return L"=\"" + EscapeHtml(text) + L"\"";
}
std::wstring Quoted(std::int32_t number) {
    return L"=\"" + std::to_wstring(number) + L"\"";
}

// size="n", and maxLength="n" when the stored length limits the input.
std::wstring SizeAttributes(std::int32_t dataLen) {
    std::wstring text = L" size" + Quoted(dataLen);
    if (dataLen >= 1) text += L" maxLength" + Quoted(dataLen);
    return text;
}

void AppendText(std::wstring& page, const CDataWebCtrl& ctrl, const CDataWebTextValue& value,
                bool newItem) {
    page += L"text(" + EscapeHtml(ctrl.m_strName) + L")<INPUT TYPE=\"text\" name" +
            Quoted(ctrl.m_strName);
    if (!newItem && !value.m_strValue.empty()) page += L" value" + Quoted(value.m_strValue);
    page += SizeAttributes(value.m_nDataLen) + L"><P>\n";
}

// The value stays out of the page in both forms; the binder puts it into
// the element after loading.
void AppendPassword(std::wstring& page, const CDataWebCtrl& ctrl, const CDataWebTextValue& value,
                    int hidePwd) {
    const std::wstring name = EscapeHtml(ctrl.m_strName);
    if (hidePwd == 1) {
        page += L"password(" + name + L")<INPUT TYPE=\"password\" name" + Quoted(ctrl.m_strName) +
                SizeAttributes(value.m_nDataLen) + L"><P>\n";
        return;
    }
    page += std::wstring(kPasswordMarker) + L"\npassword(" + name + L")<INPUT TYPE=\"text\" name" +
            Quoted(ctrl.m_strName) + SizeAttributes(value.m_nDataLen) + L">" + kPasswordMarker +
            L"\n<P>\n";
}

void AppendChoices(std::wstring& page, const CDataWebCtrl& ctrl, const wchar_t* heading,
                   const wchar_t* type, bool newItem) {
    page += std::wstring(heading) + L"(" + EscapeHtml(ctrl.m_strName) + L")\n\n<BLOCKQUOTE>\n";
    if (const CDataWebSelCtrl* choices = ctrl.SelValue()) {
        for (const auto& choice : choices->m_elements) {
            const bool checked = !newItem && choice->m_nSelect == 1;
            page += EscapeHtml(choice->m_strValue) + L"<INPUT TYPE=\"" + type + L"\"" +
                    (checked ? L" checked" : L"") + L" name" + Quoted(ctrl.m_strName) + L" value" +
                    Quoted(choice->m_strValue) + L"><BR>\n";
        }
    }
    page += L"</BLOCKQUOTE><P>\n";
}

// Selections are applied by the binder after loading.
void AppendSelect(std::wstring& page, const CDataWebCtrl& ctrl) {
    const CDataWebSelCtrl* choices = ctrl.SelValue();
    page += L"select menu(" + EscapeHtml(ctrl.m_strName) + L")\n\n<BLOCKQUOTE>\n<SELECT NAME" +
            Quoted(ctrl.m_strName) + (choices && choices->m_nMultiple == 1 ? L" MULTIPLE" : L"") +
            L">\n";
    if (choices) {
        for (const auto& choice : choices->m_elements)
            page += L"<option value" + Quoted(choice->m_strValue) + L">" +
                    EscapeHtml(choice->m_strText) + L"\n";
    }
    page += L"</SELECT>\n</BLOCKQUOTE><P>\n";
}

void AppendTextArea(std::wstring& page, const CDataWebCtrl& ctrl, const CDataWebMultiText& area,
                    bool newItem) {
    page += L"textarea(" + EscapeHtml(ctrl.m_strName) + L")<br><textarea rows" +
            Quoted(area.m_nRows) + L" cols" + Quoted(area.m_nCols) + L" name" +
            Quoted(ctrl.m_strName) + L">\n";
    if (!newItem && !area.m_strText.empty()) page += EscapeHtml(area.m_strText);
    page += L"</textarea><p>";
}

// The choice of the button that submits, only when there is a choice.
void AppendButtonChoice(std::wstring& page, const CDataWebItem& item) {
    std::wstring options;
    int buttons = 0;
    for (const auto& ctrl : item.m_ctrls) {
        if (ctrl->m_nType != D_WEB_CTRL_SUBMIT && ctrl->m_nType != D_WEB_CTRL_IMAGE) continue;
        const CDataWebButtonValue* button = ctrl->ButtonValue();
        const std::wstring value = button ? button->m_strValue : std::wstring();
        options += L"<option value" + Quoted(value) + L">" + EscapeHtml(value) + L"\n";
        ++buttons;
    }
    if (buttons < 2) return;
    page += L"submit button\n<BLOCKQUOTE>\n<SELECT NAME=\"submitbtnselect\">\n" + options +
            L"</SELECT>\n</BLOCKQUOTE>\n";
}

} // namespace

std::wstring EscapeHtml(const std::wstring& text) {
    std::wstring escaped;
    escaped.reserve(text.size());
    for (const wchar_t c : text) {
        switch (c) {
        case L'&':
            escaped += L"&amp;";
            break;
        case L'<':
            escaped += L"&lt;";
            break;
        case L'>':
            escaped += L"&gt;";
            break;
        case L'"':
            escaped += L"&quot;";
            break;
        default:
            escaped += c;
            break;
        }
    }
    return escaped;
}

std::wstring BuildPreviewHtml(const CDataWebItem* item, const PreviewOptions& options) {
    std::wstring page = kPageStart;
    if (item) {
        for (const auto& ctrl : item->m_ctrls) {
            switch (ctrl->m_nType) {
            case D_WEB_CTRL_TEXT:
                if (const CDataWebTextValue* value = ctrl->TextValue())
                    AppendText(page, *ctrl, *value, options.newItem);
                break;
            case D_WEB_CTRL_PSWD:
                if (const CDataWebTextValue* value = ctrl->TextValue())
                    AppendPassword(page, *ctrl, *value, options.hidePwd);
                break;
            case D_WEB_CTRL_RADIO:
                AppendChoices(page, *ctrl, L"radio", L"radio", options.newItem);
                break;
            case D_WEB_CTRL_CHECK:
                AppendChoices(page, *ctrl, L"check", L"checkbox", options.newItem);
                break;
            case D_WEB_CTRL_SELECT:
                AppendSelect(page, *ctrl);
                break;
            case D_WEB_CTRL_MULTI:
                if (options.noMultiText == 1) break;
                if (const CDataWebMultiText* area = ctrl->MultiValue())
                    AppendTextArea(page, *ctrl, *area, options.newItem);
                break;
            default: // buttons are offered in one list below
                break;
            }
        }
        AppendButtonChoice(page, *item);
    }
    page += kPageEnd;
    return page;
}

std::string ToUtf8(const std::wstring& text) {
    if (text.empty()) return {};
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                           nullptr, 0, nullptr, nullptr);
    if (size <= 0) return {};
    std::string bytes(static_cast<size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(),
                          size, nullptr, nullptr);
    return bytes;
}

} // namespace mablix
