#include "RegistHtml.h"

namespace regist {

std::wstring Lower(std::wstring text) {
    for (wchar_t& c : text)
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    return text;
}

bool EqualsNoCase(const std::wstring& a, const std::wstring& b) {
    return Lower(a) == Lower(b);
}

namespace {

// item(index) through whichever collection interface the object offers.
CComPtr<IDispatch> ItemDispatch(IDispatch* collection, long index) {
    CComPtr<IDispatch> item;
    if (auto all = As<IHTMLElementCollection>(collection, IID_IHTMLElementCollection)) {
        (void)ItemDispatchAt(all.p, index, item);
    } else if (auto form = As<IHTMLFormElement>(collection, IID_IHTMLFormElement)) {
        (void)ItemDispatchAt(form.p, index, item);
    } else if (auto select = As<IHTMLSelectElement>(collection, IID_IHTMLSelectElement)) {
        (void)ItemDispatchAt(select.p, index, item);
    }
    return item;
}

} // namespace

CComPtr<IHTMLElement> CollectionItem(IDispatch* collection, long index) {
    CComPtr<IDispatch> item = ItemDispatch(collection, index);
    return As<IHTMLElement>(item, IID_IHTMLElement);
}

long CollectionLength(IDispatch* collection) {
    LONG length = -1;
    HRESULT hr = E_NOINTERFACE;
    if (auto all = As<IHTMLElementCollection>(collection, IID_IHTMLElementCollection)) {
        hr = all->get_length(&length);
    } else if (auto form = As<IHTMLFormElement>(collection, IID_IHTMLFormElement)) {
        hr = form->get_length(&length);
    } else if (auto select = As<IHTMLSelectElement>(collection, IID_IHTMLSelectElement)) {
        hr = select->get_length(&length);
    }
    return SUCCEEDED(hr) ? length : -1;
}

std::wstring TagName(IHTMLElement* element) {
    if (!element) return {};
    BSTR tag = nullptr;
    const HRESULT hr = element->get_tagName(&tag);
    std::wstring text = TakeBstr(tag);
    if (FAILED(hr)) return {};
    for (wchar_t& c : text)
        if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
    return text;
}

std::wstring ControlName(IHTMLElement* element) {
    BSTR name = nullptr;
    if (auto input = As<IHTMLInputElement>(element, IID_IHTMLInputElement)) {
        (void)input->get_name(&name);
    } else if (auto select = As<IHTMLSelectElement>(element, IID_IHTMLSelectElement)) {
        (void)select->get_name(&name);
    } else if (auto area = As<IHTMLTextAreaElement>(element, IID_IHTMLTextAreaElement)) {
        (void)area->get_name(&name);
    }
    return TakeBstr(name);
}

std::wstring InputType(IHTMLElement* element) {
    BSTR type = nullptr;
    if (auto input = As<IHTMLInputElement>(element, IID_IHTMLInputElement))
        (void)input->get_type(&type);
    return TakeBstr(type);
}

bool ReadValue(IHTMLElement* element, std::wstring& value) {
    BSTR text = nullptr;
    HRESULT hr = E_NOINTERFACE;
    if (auto input = As<IHTMLInputElement>(element, IID_IHTMLInputElement)) {
        hr = input->get_value(&text);
    } else if (auto area = As<IHTMLTextAreaElement>(element, IID_IHTMLTextAreaElement)) {
        hr = area->get_value(&text);
    }
    value = TakeBstr(text);
    return SUCCEEDED(hr);
}

bool WriteValue(IHTMLElement* element, const std::wstring& value) {
    const ScopedBstr text(value);
    HRESULT hr = E_NOINTERFACE;
    if (auto input = As<IHTMLInputElement>(element, IID_IHTMLInputElement)) {
        hr = input->put_value(text.Get());
    } else if (auto area = As<IHTMLTextAreaElement>(element, IID_IHTMLTextAreaElement)) {
        hr = area->put_value(text.Get());
    }
    return SUCCEEDED(hr);
}

bool ReadChecked(IHTMLElement* element, int& checked) {
    auto input = As<IHTMLInputElement>(element, IID_IHTMLInputElement);
    VARIANT_BOOL state = VARIANT_FALSE;
    if (!input || FAILED(input->get_checked(&state))) return false;
    checked = state != VARIANT_FALSE ? 1 : 0;
    return true;
}

bool WriteChecked(IHTMLElement* element, int checked) {
    auto input = As<IHTMLInputElement>(element, IID_IHTMLInputElement);
    return input && SUCCEEDED(input->put_checked(checked ? VARIANT_TRUE : VARIANT_FALSE));
}

bool ReadSelected(IHTMLElement* element, int& selected) {
    auto option = As<IHTMLOptionElement>(element, IID_IHTMLOptionElement);
    VARIANT_BOOL state = VARIANT_FALSE;
    if (!option || FAILED(option->get_selected(&state))) return false;
    selected = state != VARIANT_FALSE ? 1 : 0;
    return true;
}

bool WriteSelected(IHTMLElement* element, int selected) {
    auto option = As<IHTMLOptionElement>(element, IID_IHTMLOptionElement);
    return option && SUCCEEDED(option->put_selected(selected ? VARIANT_TRUE : VARIANT_FALSE));
}

} // namespace regist
