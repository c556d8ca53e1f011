// An INPUT element. IHTMLInputElement answers for every type; the text,
// image and button interfaces only for the types that have them, as the
// browser offers them: text for the typed-text kinds (text, password and
// the newer text-like kinds, not hidden), image for image, button for
// submit, reset and button.
#pragma once

#include "HtmlElement.h"

namespace torva::browser {

class InputElement final : public HtmlElement,
                           public IHTMLInputElementNotImpl,
                           public IHTMLInputTextElementNotImpl,
                           public IHTMLInputImageNotImpl,
                           public IHTMLInputButtonElementNotImpl {
public:
    using HtmlElement::HtmlElement;
    TORVA_BROWSER_ELEMENT_FORWARDERS

    static bool IsTextKind(const std::wstring& type);

    // Shared by the input interfaces
    HRESULT STDMETHODCALLTYPE get_type(BSTR* p) override;
    HRESULT STDMETHODCALLTYPE put_value(BSTR v) override;
    HRESULT STDMETHODCALLTYPE get_value(BSTR* p) override;
    HRESULT STDMETHODCALLTYPE put_name(BSTR v) override;
    HRESULT STDMETHODCALLTYPE get_name(BSTR* p) override;
    HRESULT STDMETHODCALLTYPE get_disabled(VARIANT_BOOL* p) override;
    HRESULT STDMETHODCALLTYPE get_form(IHTMLFormElement** p) override;
    HRESULT STDMETHODCALLTYPE put_maxLength(LONG v) override;
    HRESULT STDMETHODCALLTYPE get_maxLength(LONG* p) override;
    HRESULT STDMETHODCALLTYPE get_defaultValue(BSTR* p) override;
    HRESULT STDMETHODCALLTYPE get_readOnly(VARIANT_BOOL* p) override;
    HRESULT STDMETHODCALLTYPE get_size(LONG* p) override;
    HRESULT STDMETHODCALLTYPE put_alt(BSTR v) override;
    HRESULT STDMETHODCALLTYPE get_alt(BSTR* p) override;
    HRESULT STDMETHODCALLTYPE get_src(BSTR* p) override;

    // IHTMLInputElement
    HRESULT STDMETHODCALLTYPE put_status(VARIANT_BOOL v) override;
    HRESULT STDMETHODCALLTYPE get_status(VARIANT_BOOL* p) override;
    HRESULT STDMETHODCALLTYPE put_checked(VARIANT_BOOL v) override;
    HRESULT STDMETHODCALLTYPE get_checked(VARIANT_BOOL* p) override;
    HRESULT STDMETHODCALLTYPE get_defaultChecked(VARIANT_BOOL* p) override;

protected:
    HRESULT QueryKind(REFIID iid, void** out) override;
};

} // namespace torva::browser
