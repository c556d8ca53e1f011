// A stand-in for an INPUT element: an ElementDouble that also answers
// IHTMLInputElement with its type attribute.
#pragma once

#include "ElementDouble.h"

class InputDouble : public ElementDouble, public IHTMLInputElement {
public:
    explicit InputDouble(std::wstring type) : ElementDouble(L"INPUT"), m_type(std::move(type)) {}

    // IUnknown and IDispatch, shared by both interfaces
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ElementDouble::AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return ElementDouble::Release(); }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*,
                                     EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }

    // IHTMLInputElement
    HRESULT STDMETHODCALLTYPE get_type(BSTR* p) override;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-parameter"
    HRESULT STDMETHODCALLTYPE put_type(BSTR v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_value(BSTR v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_value(BSTR *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_name(BSTR v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_name(BSTR *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_status(VARIANT_BOOL v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_status(VARIANT_BOOL *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_disabled(VARIANT_BOOL v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_disabled(VARIANT_BOOL *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_form(IHTMLFormElement **p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_size(LONG v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_size(LONG *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_maxLength(LONG v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_maxLength(LONG *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE select() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_onchange(VARIANT v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_onchange(VARIANT *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_onselect(VARIANT v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_onselect(VARIANT *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_defaultValue(BSTR v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_defaultValue(BSTR *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_readOnly(VARIANT_BOOL v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_readOnly(VARIANT_BOOL *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE createTextRange(IHTMLTxtRange **range) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_indeterminate(VARIANT_BOOL v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_indeterminate(VARIANT_BOOL *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_defaultChecked(VARIANT_BOOL v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_defaultChecked(VARIANT_BOOL *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_checked(VARIANT_BOOL v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_checked(VARIANT_BOOL *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_border(VARIANT v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_border(VARIANT *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_vspace(LONG v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_vspace(LONG *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_hspace(LONG v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_hspace(LONG *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_alt(BSTR v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_alt(BSTR *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_src(BSTR v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_src(BSTR *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_lowsrc(BSTR v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_lowsrc(BSTR *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_vrml(BSTR v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_vrml(BSTR *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_dynsrc(BSTR v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_dynsrc(BSTR *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_readyState(BSTR *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_complete(VARIANT_BOOL *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_loop(VARIANT v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_loop(VARIANT *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_align(BSTR v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_align(BSTR *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_onload(VARIANT v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_onload(VARIANT *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_onerror(VARIANT v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_onerror(VARIANT *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_onabort(VARIANT v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_onabort(VARIANT *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_width(LONG v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_width(LONG *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_height(LONG v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_height(LONG *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_start(BSTR v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_start(BSTR *p) override { return E_NOTIMPL; }
#pragma GCC diagnostic pop

private:
    std::wstring m_type;
};
