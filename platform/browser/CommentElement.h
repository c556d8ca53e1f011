// A comment, which the old object model lists among the elements (tag "!").
#pragma once

#include "HtmlElement.h"

namespace torva::browser {

class CommentElement final : public HtmlElement, public IHTMLCommentElementNotImpl {
public:
    using HtmlElement::HtmlElement;
    TORVA_BROWSER_ELEMENT_FORWARDERS

    // IHTMLCommentElement: the text includes "<!--" and "-->".
    HRESULT STDMETHODCALLTYPE get_text(BSTR* p) override;
    HRESULT STDMETHODCALLTYPE get_atomic(LONG* p) override;

protected:
    HRESULT QueryKind(REFIID iid, void** out) override;
};

} // namespace torva::browser
