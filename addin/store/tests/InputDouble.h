// A stand-in for an INPUT element: an ElementDouble that also answers
// IHTMLInputElement with its type attribute.
#pragma once

#include "ElementDouble.h"

class InputDouble : public ElementDouble, public torva::browser::IHTMLInputElementNotImpl {
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
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return E_NOTIMPL;
    }

    // IHTMLInputElement
    HRESULT STDMETHODCALLTYPE get_type(BSTR* p) override;

private:
    std::wstring m_type;
};
