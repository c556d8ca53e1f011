// Builds the node tree of a page from its markup, repairing it as a browser
// does: html, head and body are implied, p, li, dd, dt, option, optgroup and
// table cells end when a sibling starts, stray end tags are ignored, a form
// inside a form is dropped, a form owns the controls up to its end tag (also
// those of later table cells) and everything left open ends with the input.
#pragma once

#include "HtmlNode.h"

#include <memory>
#include <string_view>

namespace torva::browser {

// Returns the document node; its one element child is the html element.
std::unique_ptr<HtmlNode> ParseHtml(std::wstring_view markup);

} // namespace torva::browser
