#include "InputElement.h"

#include "FormControls.h"

#include <climits>

namespace torva::browser {

bool InputElement::IsTextKind(const std::wstring& type) {
    return type == L"text" || type == L"password" || type == L"search" || type == L"email" ||
           type == L"tel" || type == L"url" || type == L"number";
}

HRESULT InputElement::QueryKind(REFIID iid, void** out) {
    const std::wstring type = node().InputType();
    if (iid == IID_IHTMLInputElement) {
        *out = static_cast<IHTMLInputElement*>(this);
    } else if (iid == IID_IHTMLInputTextElement && IsTextKind(type)) {
        *out = static_cast<IHTMLInputTextElement*>(this);
    } else if (iid == IID_IHTMLInputImage && type == L"image") {
        *out = static_cast<IHTMLInputImage*>(this);
    } else if (iid == IID_IHTMLInputButtonElement &&
               (type == L"submit" || type == L"reset" || type == L"button")) {
        *out = static_cast<IHTMLInputButtonElement*>(this);
    } else {
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

HRESULT InputElement::get_type(BSTR* p) {
    return ReturnBstr(node().InputType(), p);
}

HRESULT InputElement::put_value(BSTR v) {
    FormControls::SetValue(node(), FromBstr(v));
    document().Changed(node());
    return S_OK;
}

HRESULT InputElement::get_value(BSTR* p) {
    return ReturnBstr(FormControls::Value(node()), p);
}

HRESULT InputElement::put_name(BSTR v) {
    return SetAttributeProperty(L"name", v);
}

HRESULT InputElement::get_name(BSTR* p) {
    return AttributeProperty(L"name", p);
}

HRESULT InputElement::get_disabled(VARIANT_BOOL* p) {
    if (!p) return E_POINTER;
    *p = node().HasAttribute(L"disabled") ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT InputElement::get_form(IHTMLFormElement** p) {
    return FormOf(p);
}

HRESULT InputElement::put_maxLength(LONG v) {
    if (v < 0) return E_INVALIDARG;
    node().SetAttribute(L"maxlength", std::to_wstring(v));
    return S_OK;
}

HRESULT InputElement::get_maxLength(LONG* p) {
    if (!p) return E_POINTER;
    // Without a usable attribute the browser reports the largest length.
    const std::wstring s = node().Attribute(L"maxlength");
    wchar_t* end = nullptr;
    const long v = s.empty() ? -1 : std::wcstol(s.c_str(), &end, 10);
    *p = (v >= 0 && end && *end == L'\0') ? v : LONG_MAX;
    return S_OK;
}

HRESULT InputElement::get_defaultValue(BSTR* p) {
    return AttributeProperty(L"value", p);
}

HRESULT InputElement::get_readOnly(VARIANT_BOOL* p) {
    if (!p) return E_POINTER;
    *p = node().HasAttribute(L"readonly") ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT InputElement::get_size(LONG* p) {
    if (!p) return E_POINTER;
    const std::wstring s = node().Attribute(L"size");
    *p = s.empty() ? 20 : std::wcstol(s.c_str(), nullptr, 10);
    return S_OK;
}

HRESULT InputElement::put_alt(BSTR v) {
    return SetAttributeProperty(L"alt", v);
}

HRESULT InputElement::get_alt(BSTR* p) {
    return AttributeProperty(L"alt", p);
}

HRESULT InputElement::get_src(BSTR* p) {
    const std::wstring src = node().Attribute(L"src");
    return ReturnBstr(src.empty() ? src : ResolveAgainstPage(src), p);
}

HRESULT InputElement::put_status(VARIANT_BOOL v) {
    return put_checked(v);
}

HRESULT InputElement::get_status(VARIANT_BOOL* p) {
    return get_checked(p);
}

HRESULT InputElement::put_checked(VARIANT_BOOL v) {
    FormControls::SetChecked(document().root(), node(), v != VARIANT_FALSE);
    document().Changed(node());
    return S_OK;
}

HRESULT InputElement::get_checked(VARIANT_BOOL* p) {
    if (!p) return E_POINTER;
    *p = FormControls::Checked(node()) ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT InputElement::get_defaultChecked(VARIANT_BOOL* p) {
    if (!p) return E_POINTER;
    *p = node().HasAttribute(L"checked") ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

} // namespace torva::browser
