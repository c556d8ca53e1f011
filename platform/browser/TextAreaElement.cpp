#include "TextAreaElement.h"

namespace torva::browser {

HRESULT TextAreaElement::QueryKind(REFIID iid, void** out) {
    if (iid != IID_IHTMLTextAreaElement) return E_NOINTERFACE;
    *out = static_cast<IHTMLTextAreaElement*>(this);
    AddRef();
    return S_OK;
}

HRESULT TextAreaElement::NumberAttribute(const wchar_t* name, LONG fallback, LONG* p) {
    if (!p) return E_POINTER;
    const std::wstring s = node().Attribute(name);
    const long v = s.empty() ? 0 : std::wcstol(s.c_str(), nullptr, 10);
    *p = v > 0 ? v : fallback;
    return S_OK;
}

HRESULT TextAreaElement::get_type(BSTR* p) {
    return ReturnBstr(L"textarea", p);
}

HRESULT TextAreaElement::put_value(BSTR v) {
    node().state().value = FromBstr(v);
    document().Changed(node());
    return S_OK;
}

HRESULT TextAreaElement::get_value(BSTR* p) {
    return ReturnBstr(node().state().value, p);
}

HRESULT TextAreaElement::put_name(BSTR v) {
    return SetAttributeProperty(L"name", v);
}

HRESULT TextAreaElement::get_name(BSTR* p) {
    return AttributeProperty(L"name", p);
}

HRESULT TextAreaElement::get_disabled(VARIANT_BOOL* p) {
    if (!p) return E_POINTER;
    *p = node().HasAttribute(L"disabled") ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT TextAreaElement::get_form(IHTMLFormElement** p) {
    return FormOf(p);
}

HRESULT TextAreaElement::get_defaultValue(BSTR* p) {
    return ReturnBstr(node().TextContent(), p);
}

HRESULT TextAreaElement::get_readOnly(VARIANT_BOOL* p) {
    if (!p) return E_POINTER;
    *p = node().HasAttribute(L"readonly") ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

// Without the attributes the browser's defaults apply: 2 rows, 20 columns.
HRESULT TextAreaElement::get_rows(LONG* p) {
    return NumberAttribute(L"rows", 2, p);
}

HRESULT TextAreaElement::get_cols(LONG* p) {
    return NumberAttribute(L"cols", 20, p);
}

} // namespace torva::browser
