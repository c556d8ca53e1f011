// Chooses the wrapper class of a node by its tag.
#include "CommentElement.h"
#include "FormElement.h"
#include "InputElement.h"
#include "OptionElement.h"
#include "SelectElement.h"
#include "TextAreaElement.h"

#include <new>

namespace torva::browser {

HtmlElement* CreateElementWrapper(HtmlDocument& doc, HtmlNode& node) {
    if (node.kind() == HtmlNode::Kind::Comment) return new (std::nothrow) CommentElement(doc, node);
    const std::wstring& tag = node.tag();
    if (tag == L"input") return new (std::nothrow) InputElement(doc, node);
    if (tag == L"form") return new (std::nothrow) FormElement(doc, node);
    if (tag == L"select") return new (std::nothrow) SelectElement(doc, node);
    if (tag == L"option") return new (std::nothrow) OptionElement(doc, node);
    if (tag == L"textarea") return new (std::nothrow) TextAreaElement(doc, node);
    return new (std::nothrow) HtmlElement(doc, node);
}

} // namespace torva::browser
