#include "CTvrIEToolDlgElements.h"

#include "BoundSnapshot.h"
#include "HtmlCom.h"

namespace mablix {

std::optional<std::wstring> ElementText(const ElementRef& element) {
    if (const BoundSnapshot* taken = InstalledSnapshot()) {
        const BoundSnapshot::Values* values = taken->Find(element);
        return values ? values->text : std::nullopt;
    }
    if (!element) return std::nullopt;
    ScopedBstr value;
    if (auto input = As<IHTMLInputElement>(element.Get(), IID_IHTMLInputElement)) {
        if (FAILED(input->get_value(value.Out()))) return std::nullopt;
        return value.Text();
    }
    if (auto area = As<IHTMLTextAreaElement>(element.Get(), IID_IHTMLTextAreaElement)) {
        if (FAILED(area->get_value(value.Out()))) return std::nullopt;
        return value.Text();
    }
    return std::nullopt;
}

std::optional<bool> ElementChecked(const ElementRef& element) {
    if (const BoundSnapshot* taken = InstalledSnapshot()) {
        const BoundSnapshot::Values* values = taken->Find(element);
        return values ? values->checked : std::nullopt;
    }
    if (!element) return std::nullopt;
    auto input = As<IHTMLInputElement>(element.Get(), IID_IHTMLInputElement);
    VARIANT_BOOL checked = VARIANT_FALSE;
    if (!input || FAILED(input->get_checked(&checked))) return std::nullopt;
    return checked != VARIANT_FALSE;
}

std::optional<bool> OptionSelected(const ElementRef& element) {
    if (const BoundSnapshot* taken = InstalledSnapshot()) {
        const BoundSnapshot::Values* values = taken->Find(element);
        return values ? values->selected : std::nullopt;
    }
    if (!element) return std::nullopt;
    auto option = As<IHTMLOptionElement>(element.Get(), IID_IHTMLOptionElement);
    VARIANT_BOOL selected = VARIANT_FALSE;
    if (!option || FAILED(option->get_selected(&selected))) return std::nullopt;
    return selected != VARIANT_FALSE;
}

} // namespace mablix
