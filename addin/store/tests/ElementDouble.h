// A stand-in for a live HTML element: counts its references and answers its
// tag name; every other property answers E_NOTIMPL through the browser
// layer's generated bases. Lives on the stack of a test, which checks that
// the model has released it before it goes.
#pragma once

#include <windows.h>
#include <mshtml.h>

#include "NotImplBases.h"

#include <string>

class ElementDouble : public torva::browser::IHTMLElementNotImpl {
public:
    explicit ElementDouble(std::wstring tagName = L"INPUT") : m_tagName(std::move(tagName)) {}
    virtual ~ElementDouble() = default;

    // References held by others than the test itself.
    ULONG References() const { return m_references; }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_references; }
    ULONG STDMETHODCALLTYPE Release() override { return --m_references; }

    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return E_NOTIMPL;
    }

    // IHTMLElement
    HRESULT STDMETHODCALLTYPE get_tagName(BSTR* p) override;

private:
    std::wstring m_tagName;
    ULONG m_references = 0;
};
