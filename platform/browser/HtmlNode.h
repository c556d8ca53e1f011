// One node of a parsed page. The tree is owned by its document: a node owns
// its children, and its parent pointer stays valid as long as the tree does.
// Besides the markup, a form control node carries its live state (what the
// user typed or ticked), which starts from the markup and is what scripts and
// the add-in read and write.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace torva::browser {

class HtmlNode {
public:
    enum class Kind { Document, Element, Text, Comment };

    HtmlNode(Kind kind, std::wstring nameOrText);

    Kind kind() const noexcept { return m_kind; }
    bool IsElement() const noexcept { return m_kind == Kind::Element; }
    // Lower-case tag name of an element; empty for other kinds.
    const std::wstring& tag() const noexcept { return m_tag; }
    bool Is(std::wstring_view tag) const noexcept { return IsElement() && m_tag == tag; }
    // Text of a text or comment node (a comment's without "<!--" and "-->").
    const std::wstring& text() const noexcept { return m_text; }
    void AppendText(std::wstring_view more) { m_text += more; }

    HtmlNode* parent() const noexcept { return m_parent; }
    const std::vector<std::unique_ptr<HtmlNode>>& children() const noexcept { return m_children; }
    HtmlNode* Append(std::unique_ptr<HtmlNode> child);

    // Attribute names are kept in lower case; the first of duplicates wins.
    bool HasAttribute(std::wstring_view name) const noexcept;
    std::wstring Attribute(std::wstring_view name) const;
    void SetAttribute(std::wstring_view name, std::wstring value);
    const std::vector<std::pair<std::wstring, std::wstring>>& attributes() const noexcept {
        return m_attrs;
    }

    // Lower-case type of an input, "text" when missing or unknown.
    std::wstring InputType() const;
    // Text content of the subtree, as textContent gives it.
    std::wstring TextContent() const;
    // Elements of the subtree in document order, this node excluded.
    void CollectElements(std::vector<HtmlNode*>& out) const;
    // The form a control belongs to, as the parser's form element pointer
    // assigned it: a form opened in one table cell owns the controls of the
    // following cells too, up to its end tag, though the cell's end closed
    // the form element. Null for controls outside forms and other nodes.
    HtmlNode* FormOwner() const noexcept { return m_formOwner; }
    void SetFormOwner(HtmlNode* form) noexcept { m_formOwner = form; }
    // The topmost node of the tree (the document node of a parsed page).
    const HtmlNode& Root() const noexcept;

    // Live state of form controls.
    struct ControlState {
        bool initialised = false;
        std::wstring value;
        bool checked = false; // inputs: checked; options: selected
    };
    ControlState& state() noexcept { return m_state; }
    const ControlState& state() const noexcept { return m_state; }

private:
    Kind m_kind;
    std::wstring m_tag;
    std::wstring m_text;
    HtmlNode* m_parent = nullptr;
    HtmlNode* m_formOwner = nullptr; // a node of the same tree
    std::vector<std::unique_ptr<HtmlNode>> m_children;
    std::vector<std::pair<std::wstring, std::wstring>> m_attrs;
    ControlState m_state;
};

std::wstring ToLowerAscii(std::wstring_view s);
std::wstring ToUpperAscii(std::wstring_view s);
bool EqualsNoCase(std::wstring_view a, std::wstring_view b) noexcept;

} // namespace torva::browser
