#include "HtmlElement.h"

#include "ConnectionPoint.h"
#include "ElementCollection.h"
#include "PageSource.h"

namespace torva::browser {

HtmlElement::HtmlElement(HtmlDocument& doc, HtmlNode& node) : m_doc(&doc), m_node(node) {}

HtmlElement::~HtmlElement() {
    m_doc->ForgetWrapper(&m_node, this);
}

HRESULT HtmlElement::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IHTMLElement) {
        *out = static_cast<IHTMLElement*>(this);
    } else if (iid == IID_IConnectionPointContainer) {
        *out = static_cast<IConnectionPointContainer*>(this);
    } else {
        return QueryKind(iid, out);
    }
    AddRef();
    return S_OK;
}

HRESULT HtmlElement::QueryKind(REFIID, void**) {
    return E_NOINTERFACE;
}

HRESULT HtmlElement::AttributeProperty(const wchar_t* name, BSTR* p) {
    return ReturnBstr(m_node.Attribute(name), p);
}

HRESULT HtmlElement::SetAttributeProperty(const wchar_t* name, BSTR v) {
    m_node.SetAttribute(name, FromBstr(v));
    m_doc->Changed(m_node);
    return S_OK;
}

HRESULT HtmlElement::FormOf(IHTMLFormElement** p) {
    if (!p) return E_POINTER;
    *p = nullptr;
    HtmlNode* form = m_node.FormOwner();
    if (!form) return S_OK; // a control outside forms has none
    return m_doc->ElementFor(form)->QueryInterface(IID_IHTMLFormElement,
                                                   reinterpret_cast<void**>(p));
}

std::wstring HtmlElement::ResolveAgainstPage(const std::wstring& reference) const {
    return ResolveUrl(m_doc->url(), reference);
}

HRESULT HtmlElement::setAttribute(BSTR name, VARIANT value, LONG) {
    if (!name) return E_INVALIDARG;
    VARIANT text;
    VariantInit(&text);
    if (FAILED(VariantChangeType(&text, &value, 0, VT_BSTR))) return E_INVALIDARG;
    const std::wstring key = ToLowerAscii(FromBstr(name));
    const std::wstring v = FromBstr(text.bstrVal);
    VariantClear(&text);
    // The attributes that mirror live state change that state too, as the
    // properties of the same name do.
    if (key == L"value" && (m_node.Is(L"input") || m_node.Is(L"textarea")))
        m_node.state().value = v;
    m_node.SetAttribute(key, v);
    m_doc->Changed(m_node);
    return S_OK;
}

HRESULT HtmlElement::getAttribute(BSTR name, LONG, VARIANT* value) {
    if (!name || !value) return E_POINTER;
    VariantInit(value);
    const std::wstring key = ToLowerAscii(FromBstr(name));
    // As the old object model answers: properties first, so "value" is the
    // live value, then the markup; a missing attribute is VT_NULL.
    if (key == L"value" && (m_node.Is(L"input") || m_node.Is(L"textarea"))) {
        value->vt = VT_BSTR;
        return ReturnBstr(m_node.state().value, &value->bstrVal);
    }
    if (!m_node.HasAttribute(key)) {
        value->vt = VT_NULL;
        return S_OK;
    }
    value->vt = VT_BSTR;
    return ReturnBstr(m_node.Attribute(key), &value->bstrVal);
}

HRESULT HtmlElement::get_tagName(BSTR* p) {
    return ReturnBstr(m_node.kind() == HtmlNode::Kind::Comment ? L"!" : ToUpperAscii(m_node.tag()),
                      p);
}

HRESULT HtmlElement::get_id(BSTR* p) {
    return AttributeProperty(L"id", p);
}

HRESULT HtmlElement::get_className(BSTR* p) {
    return AttributeProperty(L"class", p);
}

HRESULT HtmlElement::get_parentElement(IHTMLElement** p) {
    if (!p) return E_POINTER;
    *p = nullptr;
    HtmlNode* parent = m_node.parent();
    if (!parent || !parent->IsElement()) return S_OK; // the html element has no parent element
    return m_doc->ElementFor(parent)->QueryInterface(IID_IHTMLElement, reinterpret_cast<void**>(p));
}

HRESULT HtmlElement::get_document(IDispatch** p) {
    if (!p) return E_POINTER;
    *p = ComPtr<IDispatch>(static_cast<IHTMLDocument2*>(m_doc.get())).detach();
    return S_OK;
}

HRESULT HtmlElement::get_innerText(BSTR* p) {
    return ReturnBstr(m_node.TextContent(), p);
}

HRESULT HtmlElement::get_all(IDispatch** p) {
    if (!p) return E_POINTER;
    std::vector<HtmlNode*> nodes;
    m_node.CollectElements(nodes);
    *p = ElementCollection::Create(*m_doc.get(), std::move(nodes));
    return *p ? S_OK : E_OUTOFMEMORY;
}

HRESULT HtmlElement::get_children(IDispatch** p) {
    if (!p) return E_POINTER;
    std::vector<HtmlNode*> nodes;
    for (const auto& c : m_node.children())
        if (c->kind() != HtmlNode::Kind::Text) nodes.push_back(c.get());
    *p = ElementCollection::Create(*m_doc.get(), std::move(nodes));
    return *p ? S_OK : E_OUTOFMEMORY;
}

HRESULT HtmlElement::click() {
    ComPtr<IHTMLElement> self(this); // a sink may drop the last other reference
    m_doc->Click(m_node);
    return S_OK;
}

HRESULT HtmlElement::EnumConnectionPoints(IEnumConnectionPoints** out) {
    if (out) *out = nullptr;
    return E_NOTIMPL;
}

HRESULT HtmlElement::FindConnectionPoint(REFIID iid, IConnectionPoint** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    // Every element speaks its click through the element event interfaces;
    // the button interfaces carry the same dispids.
    if (iid != DIID_HTMLButtonElementEvents && iid != DIID_HTMLElementEvents &&
        iid != DIID_HTMLInputTextElementEvents && iid != DIID_HTMLFormElementEvents)
        return CONNECT_E_NOCONNECTION;
    *out = ConnectionPoint::Create(this, iid, m_doc->SinksFor(&m_node));
    return *out ? S_OK : E_OUTOFMEMORY;
}

} // namespace torva::browser
