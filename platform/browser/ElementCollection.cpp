#include "ElementCollection.h"

#include <new>

namespace torva::browser {

namespace {

// The variant as a position, when it is a number.
bool AsIndex(const VARIANT& v, long& index) {
    VARIANT tmp;
    VariantInit(&tmp);
    const VARIANT* src = &v;
    if (v.vt == (VT_VARIANT | VT_BYREF) && v.pvarVal) src = v.pvarVal;
    switch (src->vt) {
    case VT_I2:
    case VT_I4:
    case VT_UI2:
    case VT_UI4:
    case VT_INT:
    case VT_UINT:
    case VT_I1:
    case VT_UI1:
    case VT_R4:
    case VT_R8:
    case VT_I8:
    case VT_UI8:
        if (FAILED(VariantChangeType(&tmp, const_cast<VARIANT*>(src), 0, VT_I4))) return false;
        index = tmp.lVal;
        return true;
    case VT_BSTR: {
        const std::wstring s = FromBstr(src->bstrVal);
        if (s.empty() || s.find_first_not_of(L"0123456789") != std::wstring::npos) return false;
        index = std::stol(s);
        return true;
    }
    default:
        return false;
    }
}

bool IsMissing(const VARIANT& v) {
    return v.vt == VT_EMPTY || v.vt == VT_ERROR || v.vt == VT_NULL;
}

} // namespace

HRESULT ItemOf(HtmlDocument& doc, const std::vector<HtmlNode*>& nodes, const VARIANT& name,
               const VARIANT& index, IDispatch** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    long pos = 0;
    if (AsIndex(name, pos)) {
        if (pos < 0 || static_cast<size_t>(pos) >= nodes.size()) return S_OK;
        *out = doc.ElementFor(nodes[static_cast<size_t>(pos)]).detach();
        return S_OK;
    }
    const VARIANT* key =
        (name.vt == (VT_VARIANT | VT_BYREF) && name.pvarVal) ? name.pvarVal : &name;
    if (key->vt != VT_BSTR) return IsMissing(*key) ? S_OK : E_INVALIDARG;
    const std::wstring wanted = FromBstr(key->bstrVal);
    if (wanted.empty()) return S_OK; // nothing is named ""
    std::vector<HtmlNode*> matches;
    for (HtmlNode* n : nodes)
        if (n->IsElement() && (n->Attribute(L"name") == wanted || n->Attribute(L"id") == wanted))
            matches.push_back(n);
    if (matches.empty()) return S_OK;
    long which = 0;
    if (AsIndex(index, which)) {
        if (which < 0 || static_cast<size_t>(which) >= matches.size()) return S_OK;
        *out = doc.ElementFor(matches[static_cast<size_t>(which)]).detach();
        return S_OK;
    }
    if (matches.size() == 1) {
        *out = doc.ElementFor(matches.front()).detach();
        return S_OK;
    }
    *out = ElementCollection::Create(doc, std::move(matches));
    return *out ? S_OK : E_OUTOFMEMORY;
}

IHTMLElementCollection* ElementCollection::Create(HtmlDocument& doc, std::vector<HtmlNode*> nodes) {
    return new (std::nothrow) ElementCollection(doc, std::move(nodes));
}

HRESULT ElementCollection::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid != IID_IUnknown && iid != IID_IDispatch && iid != IID_IHTMLElementCollection)
        return E_NOINTERFACE;
    *out = static_cast<IHTMLElementCollection*>(this);
    AddRef();
    return S_OK;
}

HRESULT ElementCollection::get_length(LONG* p) {
    if (!p) return E_POINTER;
    *p = static_cast<LONG>(m_nodes.size());
    return S_OK;
}

HRESULT ElementCollection::item(VARIANT name, VARIANT index, IDispatch** pdisp) {
    return ItemOf(*m_doc.get(), m_nodes, name, index, pdisp);
}

HRESULT ElementCollection::tags(VARIANT tagName, IDispatch** pdisp) {
    if (!pdisp) return E_POINTER;
    *pdisp = nullptr;
    if (tagName.vt != VT_BSTR) return E_INVALIDARG;
    const std::wstring tag = ToLowerAscii(FromBstr(tagName.bstrVal));
    std::vector<HtmlNode*> r;
    for (HtmlNode* n : m_nodes)
        if (n->Is(tag) || (tag == L"!" && n->kind() == HtmlNode::Kind::Comment)) r.push_back(n);
    *pdisp = Create(*m_doc.get(), std::move(r));
    return *pdisp ? S_OK : E_OUTOFMEMORY;
}

} // namespace torva::browser
