#include "HtmlNode.h"

namespace torva::browser {

namespace {
wchar_t LowerAscii(wchar_t c) noexcept {
    return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c + 32) : c;
}
} // namespace

std::wstring ToLowerAscii(std::wstring_view s) {
    std::wstring r(s);
    for (auto& c : r)
        c = LowerAscii(c);
    return r;
}

std::wstring ToUpperAscii(std::wstring_view s) {
    std::wstring r(s);
    for (auto& c : r)
        if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - 32);
    return r;
}

bool EqualsNoCase(std::wstring_view a, std::wstring_view b) noexcept {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
    return true;
}

HtmlNode::HtmlNode(Kind kind, std::wstring nameOrText) : m_kind(kind) {
    if (kind == Kind::Element)
        m_tag = ToLowerAscii(nameOrText);
    else
        m_text = std::move(nameOrText);
}

HtmlNode* HtmlNode::Append(std::unique_ptr<HtmlNode> child) {
    child->m_parent = this;
    m_children.push_back(std::move(child));
    return m_children.back().get();
}

bool HtmlNode::HasAttribute(std::wstring_view name) const noexcept {
    for (const auto& a : m_attrs)
        if (a.first == name) return true;
    return false;
}

std::wstring HtmlNode::Attribute(std::wstring_view name) const {
    for (const auto& a : m_attrs)
        if (a.first == name) return a.second;
    return {};
}

void HtmlNode::SetAttribute(std::wstring_view name, std::wstring value) {
    const std::wstring key = ToLowerAscii(name);
    for (auto& a : m_attrs)
        if (a.first == key) {
            a.second = std::move(value);
            return;
        }
    m_attrs.emplace_back(key, std::move(value));
}

std::wstring HtmlNode::InputType() const {
    static const wchar_t* const known[] = {
        L"text",   L"password", L"checkbox", L"radio", L"submit", L"reset", L"image", L"button",
        L"hidden", L"file",     L"search",   L"email", L"tel",    L"url",   L"number"};
    const std::wstring t = ToLowerAscii(Attribute(L"type"));
    for (const wchar_t* k : known)
        if (t == k) return t;
    return L"text";
}

std::wstring HtmlNode::TextContent() const {
    if (m_kind == Kind::Text) return m_text;
    std::wstring r;
    for (const auto& c : m_children)
        if (c->m_kind != Kind::Comment) r += c->TextContent();
    return r;
}

void HtmlNode::CollectElements(std::vector<HtmlNode*>& out) const {
    for (const auto& c : m_children) {
        if (c->m_kind == Kind::Element || c->m_kind == Kind::Comment) out.push_back(c.get());
        c->CollectElements(out);
    }
}

const HtmlNode& HtmlNode::Root() const noexcept {
    const HtmlNode* n = this;
    while (n->m_parent)
        n = n->m_parent;
    return *n;
}

} // namespace torva::browser
