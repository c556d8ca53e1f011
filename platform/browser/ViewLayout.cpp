#include "ViewLayout.h"

#include "FormControls.h"

#include <algorithm>
#include <initializer_list>

namespace torva::browser {

namespace {

constexpr int kMargin = 8;
constexpr int kGap = 4;

bool OneOf(const std::wstring& tag, std::initializer_list<const wchar_t*> set) {
    return std::any_of(set.begin(), set.end(), [&](const wchar_t* t) { return tag == t; });
}

bool IsBlock(const std::wstring& tag) {
    return OneOf(tag, {L"p",       L"div",     L"h1",         L"h2",       L"h3",     L"h4",
                       L"h5",      L"h6",      L"ul",         L"ol",       L"li",     L"form",
                       L"table",   L"tr",      L"blockquote", L"hr",       L"dl",     L"dt",
                       L"dd",      L"center",  L"pre",        L"fieldset", L"legend", L"address",
                       L"section", L"article", L"header",     L"footer",   L"nav",    L"iframe"});
}

bool IsHidden(const std::wstring& tag) {
    return OneOf(tag,
                 {L"head", L"script", L"style", L"title", L"noscript", L"option", L"optgroup"});
}

} // namespace

ViewLayout::ControlKind ViewLayout::KindOf(const HtmlNode& node) {
    if (node.Is(L"textarea")) return ControlKind::TextArea;
    if (node.Is(L"button")) return ControlKind::Button;
    if (node.Is(L"select")) {
        const std::wstring size = node.Attribute(L"size");
        const bool list = FormControls::IsMultiple(node) ||
                          (!size.empty() && std::wcstol(size.c_str(), nullptr, 10) > 1);
        return list ? ControlKind::ListBox : ControlKind::DropDown;
    }
    if (!node.Is(L"input")) return ControlKind::None;
    const std::wstring t = node.InputType();
    if (t == L"hidden") return ControlKind::None;
    if (t == L"password") return ControlKind::Password;
    if (t == L"checkbox") return ControlKind::CheckBox;
    if (t == L"radio") return ControlKind::Radio;
    if (t == L"submit" || t == L"reset" || t == L"button" || t == L"image")
        return ControlKind::Button;
    return ControlKind::Edit;
}

std::vector<ViewLayout::Item> ViewLayout::Build(HtmlDocument& doc) {
    m_items.clear();
    m_x = kMargin;
    m_y = kMargin;
    m_lineHeight = 0;
    Page(doc);
    Break();
    return std::move(m_items);
}

void ViewLayout::Page(HtmlDocument& doc) {
    HtmlNode* body = doc.Body();
    if (!body) return;
    if (body->Is(L"frameset")) {
        for (const auto& frame : doc.frames()) {
            Break(kGap);
            const std::wstring name = frame.node->Attribute(L"name");
            Words(L"[frame" + (name.empty() ? L"" : L" " + name) + L"]", Font::Bold, doc);
            Break();
            Page(*frame.document.get());
        }
        return;
    }
    Walk(doc, *body, Font::Normal);
}

void ViewLayout::Walk(HtmlDocument& doc, HtmlNode& node, Font font) {
    for (const auto& child : node.children()) {
        HtmlNode& c = *child;
        if (c.kind() == HtmlNode::Kind::Text) {
            Words(c.text(), font, doc);
            continue;
        }
        if (!c.IsElement() || IsHidden(c.tag())) continue;
        const std::wstring& tag = c.tag();
        if (tag == L"br") {
            Break();
            continue;
        }
        const ControlKind kind = KindOf(c);
        if (kind != ControlKind::None || (c.Is(L"input") && c.InputType() == L"hidden")) {
            if (kind == ControlKind::None) continue;
            Item item;
            item.control = kind;
            item.node = &c;
            item.page = &doc;
            int w = 0, h = 24;
            const std::wstring size = c.Attribute(L"size");
            const int chars =
                size.empty() ? 20 : std::clamp<int>(std::wcstol(size.c_str(), nullptr, 10), 1, 80);
            switch (kind) {
            case ControlKind::Edit:
            case ControlKind::Password:
                w = chars * 7 + 10;
                break;
            case ControlKind::CheckBox:
            case ControlKind::Radio:
                w = h = 18;
                break;
            case ControlKind::TextArea: {
                long rows = 0, cols = 0;
                rows = std::wcstol(c.Attribute(L"rows").c_str(), nullptr, 10);
                cols = std::wcstol(c.Attribute(L"cols").c_str(), nullptr, 10);
                w = static_cast<int>(std::clamp<long>(cols > 0 ? cols : 20, 4, 120)) * 7 + 24;
                h = static_cast<int>(std::clamp<long>(rows > 0 ? rows : 2, 1, 40)) * 16 + 8;
                break;
            }
            case ControlKind::Button: {
                const std::wstring t = c.Is(L"input") ? c.InputType() : L"";
                item.text = c.Is(L"button")            ? c.TextContent()
                            : t == L"image"            ? c.Attribute(L"alt")
                            : c.HasAttribute(L"value") ? c.Attribute(L"value")
                            : t == L"reset"            ? L"Reset"
                            : t == L"submit"           ? L"Submit Query"
                                                       : L"";
                w = std::max<int>(static_cast<int>(m_measure(item.text, Font::Normal).cx) + 24, 60);
                break;
            }
            case ControlKind::DropDown:
            case ControlKind::ListBox: {
                int widest = 40;
                const auto opts = FormControls::Options(c);
                for (HtmlNode* o : opts)
                    widest = std::max<int>(
                        widest,
                        static_cast<int>(m_measure(FormControls::OptionText(*o), Font::Normal).cx));
                w = widest + 36;
                if (kind == ControlKind::ListBox) {
                    long rows = std::wcstol(size.c_str(), nullptr, 10);
                    if (rows <= 1) rows = 4;
                    h = static_cast<int>(std::min<long>(rows, 20)) * 16 + 6;
                }
                break;
            }
            default:
                break;
            }
            Place(std::move(item), w, h);
            continue;
        }
        if (tag == L"iframe") {
            Break(kGap);
            for (const auto& frame : doc.frames())
                if (frame.node == &c) Page(*frame.document.get());
            Break(kGap);
            continue;
        }
        const bool block = IsBlock(tag);
        if (block) Break(tag == L"p" || tag[0] == L'h' ? kGap : 0);
        if (tag == L"li") Words(L"\u2022", font, doc);
        Font inner = font;
        if (tag == L"h1")
            inner = Font::Heading1;
        else if (tag == L"h2")
            inner = Font::Heading2;
        else if (tag == L"h3")
            inner = Font::Heading3;
        else if (OneOf(tag, {L"b", L"strong", L"th", L"h4", L"h5", L"h6", L"legend"}))
            inner = Font::Bold;
        Walk(doc, c, inner);
        if (block) Break(tag == L"p" || tag[0] == L'h' ? kGap : 0);
    }
}

void ViewLayout::Words(const std::wstring& text, Font font, HtmlDocument& doc) {
    size_t i = 0;
    while (i < text.size()) {
        if (iswspace(text[i])) {
            m_space = true;
            ++i;
            continue;
        }
        size_t j = i;
        while (j < text.size() && !iswspace(text[j]))
            ++j;
        std::wstring word = text.substr(i, j - i);
        if (m_space && m_x > kMargin) word.insert(0, L" ");
        m_space = false;
        const SIZE s = m_measure(word, font);
        Item item;
        item.text = word;
        item.font = font;
        item.page = &doc;
        Place(std::move(item), s.cx, s.cy);
        i = j;
    }
}

void ViewLayout::Place(Item item, int w, int h) {
    if (m_x > kMargin && m_x + w > m_width - kMargin) {
        Break();
        if (!item.text.empty() && item.text[0] == L' ' && item.control == ControlKind::None) {
            item.text.erase(0, 1);
            w = m_measure(item.text, item.font).cx;
        }
    }
    if (item.control != ControlKind::None && m_space && m_x > kMargin) m_x += kGap;
    m_space = false;
    item.rect = RECT{m_x, m_y, m_x + w, m_y + h};
    m_x += w + (item.control != ControlKind::None ? kGap : 0);
    m_lineHeight = std::max(m_lineHeight, h);
    m_items.push_back(std::move(item));
}

void ViewLayout::Break(int extra) {
    if (m_x > kMargin || m_lineHeight > 0) m_y += m_lineHeight + 2;
    m_y += extra;
    m_x = kMargin;
    m_lineHeight = 0;
    m_space = false;
}

} // namespace torva::browser
