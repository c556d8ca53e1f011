// An element of a page behind IHTMLElement, base of the wrappers of the
// element kinds. A wrapper holds its document (which owns the node) and
// answers IConnectionPointContainer for the button events, whose sinks the
// document keeps. Derived kinds add their interfaces and answer them in
// QueryKind.
#pragma once

#include "ComPtr.h"
#include "HtmlDocument.h"
#include "LiveObjects.h"
#include "NotImplBases.h"

#include <ocidl.h>

namespace torva::browser {

class HtmlElement : public ObjectBase,
                    public IHTMLElementNotImpl,
                    public IConnectionPointContainer {
public:
    HtmlElement(HtmlDocument& doc, HtmlNode& node);
    ~HtmlElement() override;

    HtmlNode& node() noexcept { return m_node; }
    HtmlDocument& document() noexcept { return *m_doc.get(); }
    bool TryRetain() noexcept { return TryAddRefImpl(); }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    TORVA_BROWSER_REFCOUNT
    TORVA_BROWSER_NO_TYPEINFO

    // IHTMLElement
    HRESULT STDMETHODCALLTYPE setAttribute(BSTR name, VARIANT value, LONG flags) override;
    HRESULT STDMETHODCALLTYPE getAttribute(BSTR name, LONG flags, VARIANT* value) override;
    HRESULT STDMETHODCALLTYPE get_tagName(BSTR* p) override;
    HRESULT STDMETHODCALLTYPE get_id(BSTR* p) override;
    HRESULT STDMETHODCALLTYPE get_className(BSTR* p) override;
    HRESULT STDMETHODCALLTYPE get_parentElement(IHTMLElement** p) override;
    HRESULT STDMETHODCALLTYPE get_document(IDispatch** p) override;
    HRESULT STDMETHODCALLTYPE get_innerText(BSTR* p) override;
    HRESULT STDMETHODCALLTYPE get_all(IDispatch** p) override;
    HRESULT STDMETHODCALLTYPE get_children(IDispatch** p) override;
    HRESULT STDMETHODCALLTYPE click() override;

    // IConnectionPointContainer
    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** out) override;
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** out) override;

protected:
    // Interfaces of the element's kind; S_OK with *out set and AddRef'ed, or
    // E_NOINTERFACE.
    virtual HRESULT QueryKind(REFIID iid, void** out);
    // Reads an attribute as a string property.
    [[nodiscard]] HRESULT AttributeProperty(const wchar_t* name, BSTR* p);
    [[nodiscard]] HRESULT SetAttributeProperty(const wchar_t* name, BSTR v);
    [[nodiscard]] HRESULT FormOf(IHTMLFormElement** p);
    std::wstring ResolveAgainstPage(const std::wstring& reference) const;

private:
    ComPtr<HtmlDocument> m_doc;
    HtmlNode& m_node;
};

// Creates the wrapper of the node's kind with one reference.
HtmlElement* CreateElementWrapper(HtmlDocument& doc, HtmlNode& node);

} // namespace torva::browser

// The IUnknown and IDispatch methods of a derived element kind, which has more
// vtables than its base; all of them reach the base's implementation.
#define TORVA_BROWSER_ELEMENT_FORWARDERS                                                           \
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {                    \
        return HtmlElement::QueryInterface(iid, out);                                              \
    }                                                                                              \
    ULONG STDMETHODCALLTYPE AddRef() override {                                                    \
        return HtmlElement::AddRef();                                                              \
    }                                                                                              \
    ULONG STDMETHODCALLTYPE Release() override {                                                   \
        return HtmlElement::Release();                                                             \
    }                                                                                              \
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override {                                 \
        return HtmlElement::GetTypeInfoCount(n);                                                   \
    }                                                                                              \
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT i, LCID l, ITypeInfo** t) override {                \
        return HtmlElement::GetTypeInfo(i, l, t);                                                  \
    }                                                                                              \
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID r, LPOLESTR* n, UINT c, LCID l, DISPID* d)      \
        override {                                                                                 \
        return HtmlElement::GetIDsOfNames(r, n, c, l, d);                                          \
    }                                                                                              \
    HRESULT STDMETHODCALLTYPE Invoke(DISPID d, REFIID r, LCID l, WORD f, DISPPARAMS* p,            \
                                     VARIANT* v, EXCEPINFO* e, UINT* a) override {                 \
        return HtmlElement::Invoke(d, r, l, f, p, v, e, a);                                        \
    }
