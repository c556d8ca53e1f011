#include "HtmlParser.h"

#include "HtmlTokenizer.h"

#include <algorithm>
#include <initializer_list>

namespace torva::browser {

namespace {

bool OneOf(const std::wstring& tag, std::initializer_list<const wchar_t*> set) {
    return std::any_of(set.begin(), set.end(), [&](const wchar_t* t) { return tag == t; });
}

bool IsVoid(const std::wstring& tag) {
    return OneOf(tag, {L"area", L"base", L"br", L"col", L"embed", L"hr", L"img", L"input", L"link",
                       L"meta", L"param", L"source", L"track", L"wbr", L"frame", L"basefont",
                       L"keygen", L"isindex"});
}

bool BelongsInHead(const std::wstring& tag) {
    return OneOf(tag, {L"title", L"meta", L"link", L"style", L"script", L"base", L"noscript"});
}

// Starting one of these ends an open paragraph.
bool ClosesParagraph(const std::wstring& tag) {
    return OneOf(tag, {L"address", L"article",  L"aside",  L"blockquote", L"center", L"div",
                       L"dl",      L"fieldset", L"footer", L"form",       L"h1",     L"h2",
                       L"h3",      L"h4",       L"h5",     L"h6",         L"header", L"hr",
                       L"menu",    L"nav",      L"ol",     L"p",          L"pre",    L"section",
                       L"table",   L"ul",       L"li",     L"dd",         L"dt",     L"listing"});
}

bool IsHeading(const std::wstring& tag) {
    return OneOf(tag, {L"h1", L"h2", L"h3", L"h4", L"h5", L"h6"});
}

// Elements that an implied end never reaches across.
bool IsScopeBoundary(const std::wstring& tag) {
    return OneOf(tag, {L"html", L"table", L"td", L"th", L"caption", L"button", L"object",
                       L"marquee", L"applet", L"frameset"});
}

// Elements that the form element pointer gives a form owner.
bool IsFormAssociated(const std::wstring& tag) {
    return OneOf(tag, {L"input", L"select", L"textarea", L"button", L"fieldset", L"object",
                       L"output", L"keygen"});
}

bool IsTableSection(const std::wstring& tag) {
    return OneOf(tag, {L"tbody", L"thead", L"tfoot"});
}

class TreeBuilder {
public:
    TreeBuilder() : m_doc(std::make_unique<HtmlNode>(HtmlNode::Kind::Document, L"")) {}

    std::unique_ptr<HtmlNode> Build(std::wstring_view markup) {
        HtmlTokenizer tokens(markup);
        for (HtmlToken t = tokens.Next(); t.type != HtmlToken::Type::End; t = tokens.Next()) {
            switch (t.type) {
            case HtmlToken::Type::StartTag:
                Start(t);
                break;
            case HtmlToken::Type::EndTag:
                End(t.name);
                break;
            case HtmlToken::Type::Text:
                Text(t.text);
                break;
            case HtmlToken::Type::Comment:
                Comment(t.text);
                break;
            default:
                break;
            }
        }
        EnsureHtml();
        if (!m_body && !m_frameset) EnsureBody();
        return std::move(m_doc);
    }

private:
    HtmlNode* Current() { return m_open.empty() ? m_doc.get() : m_open.back(); }

    void EnsureHtml() {
        if (m_html) return;
        m_html = m_doc->Append(std::make_unique<HtmlNode>(HtmlNode::Kind::Element, L"html"));
        m_open.assign(1, m_html);
    }
    HtmlNode* EnsureHead() {
        EnsureHtml();
        if (!m_head)
            m_head = m_html->Append(std::make_unique<HtmlNode>(HtmlNode::Kind::Element, L"head"));
        return m_head;
    }
    void EnsureBody() {
        EnsureHead();
        if (m_body || m_frameset) return;
        m_body = m_html->Append(std::make_unique<HtmlNode>(HtmlNode::Kind::Element, L"body"));
        m_open.assign({m_html, m_body});
    }

    // Index of the nearest open element with this tag, not crossing a scope
    // boundary (unless the tag is the boundary itself); -1 when none.
    int FindOpen(const std::wstring& tag, bool stopAtBoundary = true) const {
        for (int i = static_cast<int>(m_open.size()) - 1; i >= 0; --i) {
            if (m_open[i]->tag() == tag) return i;
            if (stopAtBoundary && IsScopeBoundary(m_open[i]->tag())) return -1;
        }
        return -1;
    }
    void PopTo(int index) { m_open.resize(static_cast<size_t>(std::max(index, 1))); }
    void CloseIfOpen(const std::wstring& tag) {
        const int i = FindOpen(tag);
        if (i > 0) PopTo(i);
    }

    void Start(HtmlToken& t) {
        const std::wstring& tag = t.name;
        if (tag == L"html") {
            EnsureHtml();
            for (auto& a : t.attrs)
                if (!m_html->HasAttribute(a.first)) m_html->SetAttribute(a.first, a.second);
            return;
        }
        if (tag == L"head") {
            EnsureHead();
            return;
        }
        if (!m_body && !m_frameset && BelongsInHead(tag)) {
            Insert(EnsureHead(), t, true);
            return;
        }
        if (tag == L"frameset") {
            EnsureHead();
            if (m_body) return; // a frameset after body content is ignored
            HtmlNode* parent = m_frameset ? Current() : m_html;
            HtmlNode* fs = Insert(parent, t, false);
            if (!m_frameset) {
                m_frameset = fs;
                m_open.assign({m_html, fs});
            }
            return;
        }
        if (m_frameset) {
            if (tag == L"frame") Insert(Current(), t, false);
            return; // a frameset page has no body
        }
        if (tag == L"body") {
            const bool had = m_body != nullptr;
            EnsureBody();
            if (!had)
                for (auto& a : t.attrs)
                    m_body->SetAttribute(a.first, a.second);
            return;
        }
        EnsureBody();
        ImpliedEnds(tag);
        if (tag == L"form") {
            // Until its end tag a form owns the controls that follow, even
            // when a table cell's end has closed the element; another form
            // meanwhile is dropped.
            if (m_form || FindOpen(L"form", false) >= 0) return;
            m_form = Insert(Current(), t, false);
            return;
        }
        Insert(Current(), t, false);
    }

    void ImpliedEnds(const std::wstring& tag) {
        if (FindOpen(L"select") >= 0) {
            if (OneOf(tag, {L"input", L"textarea", L"select", L"keygen"})) CloseIfOpen(L"select");
        }
        if (ClosesParagraph(tag)) CloseIfOpen(L"p");
        if (tag == L"li") CloseWithin(L"li", {L"ul", L"ol"});
        if (tag == L"dd" || tag == L"dt") {
            CloseWithin(L"dd", {L"dl"});
            CloseWithin(L"dt", {L"dl"});
        }
        if (tag == L"option" || tag == L"optgroup") {
            if (Current()->Is(L"option")) m_open.pop_back();
            if (tag == L"optgroup" && Current()->Is(L"optgroup")) m_open.pop_back();
        }
        if (IsHeading(tag) && IsHeading(Current()->tag())) m_open.pop_back();
        if (tag == L"a") CloseIfOpen(L"a");
        if (tag == L"td" || tag == L"th") {
            CloseWithin(L"td", {L"tr", L"table"});
            CloseWithin(L"th", {L"tr", L"table"});
        }
        if (tag == L"tr") CloseWithin(L"tr", {L"table"});
        if (IsTableSection(tag)) {
            CloseWithin(L"tr", {L"table"});
            for (const wchar_t* s : {L"tbody", L"thead", L"tfoot"})
                CloseWithin(s, {L"table"});
        }
    }

    // Ends an open element with this tag unless a container in stops comes
    // first.
    void CloseWithin(const std::wstring& tag, std::initializer_list<const wchar_t*> stops) {
        for (int i = static_cast<int>(m_open.size()) - 1; i > 0; --i) {
            if (m_open[i]->tag() == tag) {
                PopTo(i);
                return;
            }
            if (OneOf(m_open[i]->tag(), stops)) return;
        }
    }

    HtmlNode* Insert(HtmlNode* parent, HtmlToken& t, bool intoHead) {
        auto node = std::make_unique<HtmlNode>(HtmlNode::Kind::Element, t.name);
        for (auto& a : t.attrs)
            node->SetAttribute(a.first, std::move(a.second));
        HtmlNode* n = parent->Append(std::move(node));
        if (m_form && !intoHead && IsFormAssociated(t.name)) n->SetFormOwner(m_form);
        if (!IsVoid(t.name)) {
            if (intoHead) {
                // Head elements hold only raw text; the tokenizer ends them.
                m_headOpen = n;
            } else {
                m_open.push_back(n);
            }
        }
        return n;
    }

    void End(const std::wstring& tag) {
        if (m_headOpen) {
            if (m_headOpen->tag() == tag) m_headOpen = nullptr;
            return;
        }
        if (OneOf(tag, {L"html", L"body", L"head"}))
            return; // later content still belongs to the body
        if (tag == L"br") {
            HtmlToken br;
            br.name = L"br";
            EnsureBody();
            Insert(Current(), br, false);
            return;
        }
        if (tag == L"p" && FindOpen(L"p") < 0 && !m_frameset) {
            HtmlToken p; // "</p>" alone makes an empty paragraph
            p.name = L"p";
            EnsureBody();
            Insert(Current(), p, false);
            m_open.pop_back();
            return;
        }
        if (tag == L"form") {
            // The form's end ends its ownership; the element is closed if
            // it is still open.
            HtmlNode* form = m_form;
            m_form = nullptr;
            for (int i = static_cast<int>(m_open.size()) - 1; i > 0; --i)
                if (m_open[i] == form) {
                    PopTo(i);
                    break;
                }
            return;
        }
        const int i = FindOpen(tag, !IsScopeBoundary(tag) && tag != L"select");
        if (i > 0) PopTo(i);
    }

    void Text(const std::wstring& text) {
        if (m_headOpen) {
            AppendText(m_headOpen, text);
            return;
        }
        const bool blank = text.find_first_not_of(L" \t\r\n\f") == std::wstring::npos;
        if (m_frameset || (!m_body && blank)) return;
        EnsureBody();
        AppendText(Current(), text);
    }

    static void AppendText(HtmlNode* parent, const std::wstring& text) {
        const auto& kids = parent->children();
        if (!kids.empty() && kids.back()->kind() == HtmlNode::Kind::Text)
            kids.back()->AppendText(text);
        else
            parent->Append(std::make_unique<HtmlNode>(HtmlNode::Kind::Text, text));
    }

    void Comment(const std::wstring& text) {
        HtmlNode* parent = m_headOpen ? m_headOpen : Current();
        parent->Append(std::make_unique<HtmlNode>(HtmlNode::Kind::Comment, text));
    }

    std::unique_ptr<HtmlNode> m_doc;
    HtmlNode* m_html = nullptr;
    HtmlNode* m_head = nullptr;
    HtmlNode* m_body = nullptr;
    HtmlNode* m_frameset = nullptr;
    HtmlNode* m_headOpen = nullptr;
    HtmlNode* m_form = nullptr;    // the form element pointer: the form open for controls
    std::vector<HtmlNode*> m_open; // [0] is html once it exists
};

} // namespace

std::unique_ptr<HtmlNode> ParseHtml(std::wstring_view markup) {
    return TreeBuilder().Build(markup);
}

} // namespace torva::browser
