// A snapshot of elements of one page behind IHTMLElementCollection (all,
// forms, tags, an element's all). It holds its document, which owns the
// nodes.
#pragma once

#include "ComPtr.h"
#include "HtmlDocument.h"
#include "LiveObjects.h"
#include "NotImplBases.h"

#include <vector>

namespace torva::browser {

class ElementCollection final : public ObjectBase, public IHTMLElementCollectionNotImpl {
public:
    // Returns a new collection with one reference, null when out of memory.
    static IHTMLElementCollection* Create(HtmlDocument& doc, std::vector<HtmlNode*> nodes);

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    TORVA_BROWSER_REFCOUNT
    TORVA_BROWSER_NO_TYPEINFO

    // IHTMLElementCollection
    HRESULT STDMETHODCALLTYPE get_length(LONG* p) override;
    HRESULT STDMETHODCALLTYPE item(VARIANT name, VARIANT index, IDispatch** pdisp) override;
    HRESULT STDMETHODCALLTYPE tags(VARIANT tagName, IDispatch** pdisp) override;

private:
    ElementCollection(HtmlDocument& doc, std::vector<HtmlNode*> nodes)
        : m_doc(&doc), m_nodes(std::move(nodes)) {}

    ComPtr<HtmlDocument> m_doc;
    std::vector<HtmlNode*> m_nodes;
};

// The item(name, index) rule shared by the collections and by forms and
// selects, whose item walks their controls or options: a number (or a
// string of digits) picks by position; a name picks the elements whose name
// or id equals it: the one when there is one, else the index-th of them, or
// a collection of them all when no index is given. S_OK with null when
// nothing matches.
[[nodiscard]] HRESULT ItemOf(HtmlDocument& doc, const std::vector<HtmlNode*>& nodes,
                             const VARIANT& name, const VARIANT& index, IDispatch** out);

} // namespace torva::browser
