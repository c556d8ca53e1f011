#include "FormElement.h"

#include "ElementCollection.h"
#include "FormControls.h"

namespace torva::browser {

HRESULT FormElement::QueryKind(REFIID iid, void** out) {
    if (iid != IID_IHTMLFormElement) return E_NOINTERFACE;
    *out = static_cast<IHTMLFormElement*>(this);
    AddRef();
    return S_OK;
}

HRESULT FormElement::get_action(BSTR* p) {
    // The attribute as written; the browser resolves it only when it submits.
    return AttributeProperty(L"action", p);
}

HRESULT FormElement::put_action(BSTR v) {
    return SetAttributeProperty(L"action", v);
}

HRESULT FormElement::get_method(BSTR* p) {
    const std::wstring m = ToLowerAscii(node().Attribute(L"method"));
    return ReturnBstr(m == L"post" ? m : L"get", p);
}

HRESULT FormElement::get_target(BSTR* p) {
    return AttributeProperty(L"target", p);
}

HRESULT FormElement::get_name(BSTR* p) {
    if (!p) return E_POINTER;
    // A form without a name answers null, as the browser does.
    if (!node().HasAttribute(L"name")) {
        *p = nullptr;
        return S_OK;
    }
    return AttributeProperty(L"name", p);
}

HRESULT FormElement::put_name(BSTR v) {
    return SetAttributeProperty(L"name", v);
}

HRESULT FormElement::get_elements(IDispatch** p) {
    if (!p) return E_POINTER;
    AddRef(); // the form is its own elements collection
    *p = static_cast<IHTMLFormElement*>(this);
    return S_OK;
}

HRESULT FormElement::submit() {
    ComPtr<IHTMLFormElement> self(this);
    document().Submit(node(), nullptr);
    return S_OK;
}

HRESULT FormElement::get_length(LONG* p) {
    if (!p) return E_POINTER;
    *p = static_cast<LONG>(FormControls::Elements(node()).size());
    return S_OK;
}

HRESULT FormElement::item(VARIANT name, VARIANT index, IDispatch** pdisp) {
    return ItemOf(document(), FormControls::Elements(node()), name, index, pdisp);
}

HRESULT FormElement::tags(VARIANT tagName, IDispatch** pdisp) {
    if (!pdisp) return E_POINTER;
    *pdisp = nullptr;
    ComPtr<IHTMLElementCollection> controls = ComPtr<IHTMLElementCollection>::Adopt(
        ElementCollection::Create(document(), FormControls::Elements(node())));
    if (!controls) return E_OUTOFMEMORY;
    return controls->tags(tagName, pdisp);
}

} // namespace torva::browser
