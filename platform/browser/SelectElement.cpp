#include "SelectElement.h"

#include "ElementCollection.h"
#include "FormControls.h"

namespace torva::browser {

HRESULT SelectElement::QueryKind(REFIID iid, void** out) {
    if (iid != IID_IHTMLSelectElement) return E_NOINTERFACE;
    *out = static_cast<IHTMLSelectElement*>(this);
    AddRef();
    return S_OK;
}

HRESULT SelectElement::get_size(LONG* p) {
    if (!p) return E_POINTER;
    const std::wstring s = node().Attribute(L"size");
    *p = s.empty() ? 0 : std::wcstol(s.c_str(), nullptr, 10);
    return S_OK;
}

HRESULT SelectElement::get_multiple(VARIANT_BOOL* p) {
    if (!p) return E_POINTER;
    *p = FormControls::IsMultiple(node()) ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT SelectElement::put_name(BSTR v) {
    return SetAttributeProperty(L"name", v);
}

HRESULT SelectElement::get_name(BSTR* p) {
    return AttributeProperty(L"name", p);
}

HRESULT SelectElement::get_options(IDispatch** p) {
    if (!p) return E_POINTER;
    *p = ElementCollection::Create(document(), FormControls::Options(node()));
    return *p ? S_OK : E_OUTOFMEMORY;
}

HRESULT SelectElement::put_selectedIndex(LONG v) {
    FormControls::SetSelectedIndex(node(), v);
    document().Changed(node());
    return S_OK;
}

HRESULT SelectElement::get_selectedIndex(LONG* p) {
    if (!p) return E_POINTER;
    *p = FormControls::SelectedIndex(node());
    return S_OK;
}

HRESULT SelectElement::get_type(BSTR* p) {
    return ReturnBstr(FormControls::IsMultiple(node()) ? L"select-multiple" : L"select-one", p);
}

HRESULT SelectElement::put_value(BSTR v) {
    FormControls::SetValue(node(), FromBstr(v));
    document().Changed(node());
    return S_OK;
}

HRESULT SelectElement::get_value(BSTR* p) {
    return ReturnBstr(FormControls::Value(node()), p);
}

HRESULT SelectElement::get_disabled(VARIANT_BOOL* p) {
    if (!p) return E_POINTER;
    *p = node().HasAttribute(L"disabled") ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT SelectElement::get_form(IHTMLFormElement** p) {
    return FormOf(p);
}

HRESULT SelectElement::get_length(LONG* p) {
    if (!p) return E_POINTER;
    *p = static_cast<LONG>(FormControls::Options(node()).size());
    return S_OK;
}

HRESULT SelectElement::item(VARIANT name, VARIANT index, IDispatch** pdisp) {
    return ItemOf(document(), FormControls::Options(node()), name, index, pdisp);
}

} // namespace torva::browser
