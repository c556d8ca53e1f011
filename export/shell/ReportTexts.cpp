#include "ReportTexts.h"

#include "FormLabels.h"
#include "ResourceStrings.h"

namespace vantrel {

namespace {

std::wstring Text(unsigned id) {
    return GetResourceString(id);
}

std::wstring Filled(unsigned id, const std::wstring& argument) {
    return FillFormat(Text(id), argument);
}

std::wstring NameLine(const WebControlNode& control) {
    return Filled(22077, control.NAME);
}

} // namespace

std::wstring OnOffText(int32_t value) {
    return Text(value == 1 ? 22002 : 22003);
}

std::wstring Masked(const std::wstring& text, wchar_t mask) {
    return std::wstring(text.size(), mask);
}

std::wstring WebControlText(const WebControlNode& control) {
    if (control.record == WebValueRecord::None) return {};
    switch (control.kind) {
    case D_WEB_CTRL_TEXT:
    case D_WEB_CTRL_UNUSED:
        return NameLine(control) + Filled(22078, control.VALUE);
    case D_WEB_CTRL_PSWD:
        return NameLine(control) + Text(22079) + Masked(control.VALUE, L'\x25CF') + L"\r\n";
    case D_WEB_CTRL_RADIO:
    case D_WEB_CTRL_CHECK:
    case D_WEB_CTRL_SELECT: {
        std::wstring text = NameLine(control);
        for (const WebElementNode& element : control.elements) {
            if (element.SELECT == 1)
                text += Filled(22080, element.TEXT.empty() ? element.VALUE : element.TEXT);
        }
        return text;
    }
    case D_WEB_CTRL_MULTI: {
        std::wstring text = Filled(22081, control.NAME) + Text(22082);
        if (control.COLS > 0) {
            const size_t cols = static_cast<size_t>(control.COLS);
            for (size_t at = 0; at < control.TEXT.size(); at += cols)
                text += control.TEXT.substr(at, cols) + L"\r\n\t    ";
        }
        return text + L"\r\n";
    }
    case D_WEB_CTRL_SUBMIT:
    case D_WEB_CTRL_IMAGE:
        return control.SELECT != 0 ? Filled(22081, control.VALUE) : std::wstring();
    default:
        return {};
    }
}

std::wstring PolicyReport(int32_t value, const std::wstring& policyName) {
    const std::wstring valueText = value == -1 ? Text(22022) : Text(value != 0 ? 22002 : 22003);
    return Text(22021) + L"  " + policyName + L"\t\xFF1A " + valueText;
}

std::wstring ClickText(int32_t autoClick, uint32_t clickPos) {
    const std::wstring x = std::to_wstring(clickPos >> 16);
    const std::wstring y = std::to_wstring(clickPos & 0xFFFF);
    if (autoClick != 0 && autoClick != 1) return Text(22054);
    // Both numbers of "%d, %d", in order.
    return FillFormat(FillFormat(Text(autoClick == 1 ? 22052 : 22053), x), y);
}

} // namespace vantrel

namespace vantrel {

namespace {

std::wstring FlagText(int32_t flag) {
    switch (flag & 0xFFFF) {
    case 0:
        return GetResourceString(22003);
    case 1:
        return GetResourceString(22002);
    default:
        return GetResourceString(22057);
    }
}

std::wstring Section(unsigned header, const std::wstring& body) {
    return body.empty() ? std::wstring() : std::wstring(GetResourceString(header)) + body + L"\r\n";
}

} // namespace

std::wstring ApplicationItemReport(const CDataApl* application, const CDataCaption* caption,
                                   const CDataItem* item) {
    if (!item) return {};
    std::wstring text = std::wstring(GetResourceString(22048)) + GetResourceString(22033);
    text += FillFormat(GetResourceString(22049), application ? application->APLNAME : L"");
    text += FillFormat(GetResourceString(22050), caption ? caption->CAPTION : L"");
    text += FillFormat(GetResourceString(22035), item->NAME);
    text += FillFormat(GetResourceString(22051), OnOffText(item->AUTOINPUT));
    text += FillFormat(GetResourceString(22055),
                       ClickText(item->AUTOCLICK, static_cast<uint32_t>(item->CLICKPOS)));
    std::wstring texts, passwords, checks, buttons;
    for (const auto& control : item->controls) {
        switch (control->TYPE) {
        case 1:
            texts += FillFormat(GetResourceString(22056), control->CAPTION);
            break;
        case 2:
            passwords += FillFormat(GetResourceString(22056), Masked(control->CAPTION, L'*'));
            break;
        case 3:
            checks += FillFormat(GetResourceString(22058), FlagText(control->FLAG));
            break;
        case 5:
            buttons += FillFormat(GetResourceString(22058), FlagText(control->FLAG));
            break;
        default:
            break;
        }
    }
    return text + Section(22040, texts) + Section(22041, passwords) + Section(22044, checks) +
           Section(22059, buttons);
}

} // namespace vantrel

#include "CExportStore.h"
#include "TextEscape.h"

namespace vantrel {

namespace {

constexpr unsigned kSectionHeaders[] = {22040, 22041, 22042, 22043, 22044, 22045, 22046, 22047};

struct WebReport {
    std::wstring blocks;
    std::wstring sections[8]; // kinds 0-6, and 7 for both buttons

    void Add(const std::wstring& title, const std::wstring& url, const WebItemNode& item) {
        blocks += GetResourceString(22032);
        blocks += GetResourceString(22033);
        blocks += FillFormat(GetResourceString(22034), EscapeText(title, kUnescapeMode));
        blocks += FillFormat(L"   URL\t\t\xFF1A  %s\r\n", url);
        blocks += FillFormat(GetResourceString(22035), EscapeText(item.NAME, kUnescapeMode));
        blocks += FillFormat(GetResourceString(22036), EscapeText(item.FORMNAME, kUnescapeMode));
        blocks += FillFormat(GetResourceString(22038), OnOffText(item.AUTOINPUT));
        blocks += FillFormat(GetResourceString(22039), OnOffText(item.AUTOSEND));
        for (const auto& control : item.controls) {
            if (control->kind < 0 || control->kind > 8) continue;
            const int section = control->kind == 8 ? 7 : control->kind;
            sections[section] += EscapeText(WebControlText(*control), kUnescapeMode);
        }
    }
    std::wstring Text() const {
        std::wstring text = blocks;
        for (int kind = 0; kind < 8; ++kind)
            text += Section(kSectionHeaders[kind], sections[kind]);
        return text;
    }
};

} // namespace

std::wstring WebFormItemReport(const CExportStore& store, const std::wstring& itemText,
                               const std::wstring& parentText, void* treeItem) {
    WebReport report;
    bool found = false;
    for (const auto& page : store.Pages()) {
        const std::wstring label = page->TITLE + L"(" + page->URL + L")";
        if (label != parentText) continue;
        for (const auto& item : page->items) {
            if (!item->NAME.empty() && item->NAME == itemText) {
                report.Add(page->TITLE, page->URL, *item);
                found = true;
            }
        }
        if (found) break;
    }
    if (!found && treeItem) {
        std::wstring title, url, updateDate;
        if (const WebItemNode* item =
                store.FindWebItemByTreeItem(treeItem, &title, &url, &updateDate)) {
            report.Add(title, url, *item);
            found = true;
        }
    }
    return found ? report.Text() : std::wstring();
}

} // namespace vantrel

namespace vantrel {

std::wstring AuthInfoReport(int code, const std::wstring& deviceName, bool registered,
                            const std::wstring& pinCacheText) {
    if (code < 81 || code > 85) return {};
    std::wstring text = GetResourceString(22023);
    if (code == 81) return text + FillFormat(GetResourceString(22024), pinCacheText);
    std::wstring name = deviceName;
    if (code == 83 && name == GetResourceString(22025)) name = GetResourceString(22026);
    return text + L"  " + name +
           FillFormat(GetResourceString(22027), GetResourceString(registered ? 22028 : 22022));
}

} // namespace vantrel

namespace vantrel {

int PolicyIdOfCode(int code) {
    if (code >= 33 && code <= 40) return code - 31;
    return code == 41 ? 1 : 0;
}

} // namespace vantrel

namespace vantrel {

namespace {

std::wstring OnOffLine(unsigned id, int32_t value) {
    return FillFormat(GetResourceString(id), OnOffText(value));
}

} // namespace

std::wstring WebFormOptionsReport(const WebFormOptions& options) {
    std::wstring text = GetResourceString(22001);
    if (options.present != 1) return text + GetResourceString(22014);
    text += OnOffLine(22004, options.STOPFUNC);
    text += GetResourceString(22005);
    text += OnOffLine(22006, options.STOPAUTOINPUT);
    text += GetResourceString(22007);
    text += OnOffLine(22008, options.SETAUTO);
    text += OnOffLine(22009, options.CHECKSET);
    text += OnOffLine(22010, options.ONLYPWD);
    text += GetResourceString(22011);
    text += OnOffLine(22012, options.NOMULTITEXT);
    text += OnOffLine(22013, options.HIDEPWD);
    return text;
}

std::wstring ApplicationOptionsReport(const int32_t (&values)[4]) {
    std::wstring text = GetResourceString(22015);
    text += OnOffLine(22016, values[KEEP_OPT_STOPAUTOFUNC]);
    text += GetResourceString(22005);
    text += OnOffLine(22017, values[KEEP_OPT_STOPAUTOINPUT]);
    text += GetResourceString(22018);
    text += OnOffLine(22019, values[KEEP_OPT_STOPASSIST]);
    text += GetResourceString(22011);
    text += OnOffLine(22020, values[KEEP_OPT_HIDEPWD]);
    return text;
}

} // namespace vantrel
