#include "LiveForm.h"

#include "HtmlCom.h"

CComPtr<IDispatch> LiveForm::Element(const std::wstring& name, long index) const {
    CComPtr<IDispatch> element;
    CComPtr<IHTMLElementCollection> all;
    if (!m_document || FAILED(m_document->get_all(&all)) || !all) return element;
    const ScopedBstr key(name);
    VARIANT byName;
    ::VariantInit(&byName);
    byName.vt = VT_BSTR;
    byName.bstrVal = key.Get();
    VARIANT at;
    ::VariantInit(&at);
    at.vt = VT_I4;
    at.lVal = index;
    if (FAILED(all->item(byName, at, &element))) element.Release();
    return element;
}

std::wstring LiveForm::Value(const std::wstring& name, long index) const {
    CComPtr<IHTMLInputElement> input =
        As<IHTMLInputElement>(Element(name, index), IID_IHTMLInputElement);
    ScopedBstr value;
    if (!input || FAILED(input->get_value(value.Out()))) return L"<none>";
    return value.Text();
}

bool LiveForm::Checked(const std::wstring& name, long index) const {
    CComPtr<IHTMLInputElement> input =
        As<IHTMLInputElement>(Element(name, index), IID_IHTMLInputElement);
    VARIANT_BOOL checked = VARIANT_FALSE;
    return input && SUCCEEDED(input->get_checked(&checked)) && checked != VARIANT_FALSE;
}

std::vector<bool> LiveForm::Selected(const std::wstring& name) const {
    std::vector<bool> states;
    CComPtr<IHTMLSelectElement> select =
        As<IHTMLSelectElement>(Element(name, 0), IID_IHTMLSelectElement);
    long length = 0;
    if (!select || FAILED(select->get_length(&length))) return states;
    for (long i = 0; i < length; ++i) {
        VARIANT at;
        ::VariantInit(&at);
        at.vt = VT_I4;
        at.lVal = i;
        VARIANT none;
        ::VariantInit(&none);
        CComPtr<IDispatch> item;
        if (FAILED(select->item(at, none, &item))) break;
        CComPtr<IHTMLOptionElement> option = As<IHTMLOptionElement>(item, IID_IHTMLOptionElement);
        VARIANT_BOOL selected = VARIANT_FALSE;
        states.push_back(option && SUCCEEDED(option->get_selected(&selected)) &&
                         selected != VARIANT_FALSE);
    }
    return states;
}

std::wstring LiveForm::Text(const std::wstring& name) const {
    CComPtr<IHTMLTextAreaElement> area =
        As<IHTMLTextAreaElement>(Element(name, 0), IID_IHTMLTextAreaElement);
    ScopedBstr value;
    if (!area || FAILED(area->get_value(value.Out()))) return L"<none>";
    return value.Text();
}
