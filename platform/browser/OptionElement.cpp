#include "OptionElement.h"

#include "FormControls.h"

namespace torva::browser {

HRESULT OptionElement::QueryKind(REFIID iid, void** out) {
    if (iid != IID_IHTMLOptionElement) return E_NOINTERFACE;
    *out = static_cast<IHTMLOptionElement*>(this);
    AddRef();
    return S_OK;
}

HRESULT OptionElement::put_selected(VARIANT_BOOL v) {
    FormControls::SetSelected(node(), v != VARIANT_FALSE);
    document().Changed(node());
    return S_OK;
}

HRESULT OptionElement::get_selected(VARIANT_BOOL* p) {
    if (!p) return E_POINTER;
    *p = FormControls::Checked(node()) ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT OptionElement::put_value(BSTR v) {
    FormControls::SetValue(node(), FromBstr(v));
    document().Changed(node());
    return S_OK;
}

HRESULT OptionElement::get_value(BSTR* p) {
    return ReturnBstr(FormControls::Value(node()), p);
}

HRESULT OptionElement::get_defaultSelected(VARIANT_BOOL* p) {
    if (!p) return E_POINTER;
    *p = node().HasAttribute(L"selected") ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT OptionElement::get_index(LONG* p) {
    if (!p) return E_POINTER;
    *p = 0;
    for (HtmlNode* s = node().parent(); s; s = s->parent())
        if (s->Is(L"select")) {
            const auto opts = FormControls::Options(*s);
            for (size_t i = 0; i < opts.size(); ++i)
                if (opts[i] == &node()) *p = static_cast<LONG>(i);
            break;
        }
    return S_OK;
}

HRESULT OptionElement::get_text(BSTR* p) {
    return ReturnBstr(FormControls::OptionText(node()), p);
}

HRESULT OptionElement::get_form(IHTMLFormElement** p) {
    return FormOf(p);
}

} // namespace torva::browser
