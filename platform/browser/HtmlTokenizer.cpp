#include "HtmlTokenizer.h"

#include "CharRefs.h"
#include "HtmlNode.h"

#include <cwctype>

namespace torva::browser {

namespace {
bool IsSpace(wchar_t c) noexcept {
    return c == L' ' || c == L'\t' || c == L'\n' || c == L'\r' || c == L'\f';
}
bool IsAsciiAlpha(wchar_t c) noexcept {
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z');
}
} // namespace

void HtmlTokenizer::SkipSpace() {
    while (m_pos < m_in.size() && IsSpace(m_in[m_pos]))
        ++m_pos;
}

HtmlToken HtmlTokenizer::Next() {
    if (m_pos >= m_in.size()) return {};
    if (!m_rawEnd.empty()) return ReadRawText();
    if (m_in[m_pos] == L'<' && m_pos + 1 < m_in.size()) {
        const wchar_t c = m_in[m_pos + 1];
        if (IsAsciiAlpha(c)) return ReadTag(false);
        if (c == L'/' && m_pos + 2 < m_in.size() && IsAsciiAlpha(m_in[m_pos + 2]))
            return ReadTag(true);
        if (c == L'/' && m_pos + 2 < m_in.size() && m_in[m_pos + 2] == L'>') {
            m_pos += 3; // "</>" is dropped
            return Next();
        }
        if (m_in.substr(m_pos, 4) == L"<!--") return ReadComment();
        if (c == L'!') {
            const bool doctype = EqualsNoCase(m_in.substr(m_pos + 2, 7), L"doctype");
            return ReadBogus(doctype ? HtmlToken::Type::Doctype : HtmlToken::Type::Comment, 2);
        }
        if (c == L'?') return ReadBogus(HtmlToken::Type::Comment, 1);
    }
    return ReadText();
}

HtmlToken HtmlTokenizer::ReadText() {
    const size_t start = m_pos;
    ++m_pos; // a '<' that opened no tag is text
    while (m_pos < m_in.size() && m_in[m_pos] != L'<')
        ++m_pos;
    HtmlToken t;
    t.type = HtmlToken::Type::Text;
    t.text = DecodeCharRefs(m_in.substr(start, m_pos - start), CharRefContext::Text);
    return t;
}

HtmlToken HtmlTokenizer::ReadRawText() {
    const size_t start = m_pos;
    size_t p = m_pos;
    for (;; ++p) {
        p = m_in.find(L"</", p);
        if (p == std::wstring_view::npos) {
            p = m_in.size();
            break;
        }
        const size_t n = m_rawEnd.size();
        if (EqualsNoCase(m_in.substr(p + 2, n), m_rawEnd) &&
            (p + 2 + n >= m_in.size() || IsSpace(m_in[p + 2 + n]) || m_in[p + 2 + n] == L'>' ||
             m_in[p + 2 + n] == L'/'))
            break;
    }
    m_pos = p;
    m_rawEnd.clear();
    if (p == start) return Next();
    HtmlToken t;
    t.type = HtmlToken::Type::Text;
    const std::wstring_view raw = m_in.substr(start, p - start);
    t.text = m_rawDecodes ? DecodeCharRefs(raw, CharRefContext::Text) : std::wstring(raw);
    return t;
}

HtmlToken HtmlTokenizer::ReadComment() {
    HtmlToken t;
    t.type = HtmlToken::Type::Comment;
    const size_t start = m_pos + 4;
    // "<!-->" and "<!--->" are empty comments, as browsers read them.
    if (m_in.substr(start, 1) == L">") {
        m_pos = start + 1;
        return t;
    }
    if (m_in.substr(start, 2) == L"->") {
        m_pos = start + 2;
        return t;
    }
    const size_t end = m_in.find(L"-->", start);
    if (end == std::wstring_view::npos) { // an unclosed comment runs to the end
        t.text = std::wstring(m_in.substr(start));
        m_pos = m_in.size();
        return t;
    }
    t.text = std::wstring(m_in.substr(start, end - start));
    m_pos = end + 3;
    return t;
}

HtmlToken HtmlTokenizer::ReadBogus(HtmlToken::Type type, size_t skip) {
    HtmlToken t;
    t.type = type;
    const size_t start = m_pos + skip;
    size_t end = m_in.find(L'>', start);
    if (end == std::wstring_view::npos) end = m_in.size();
    t.text = std::wstring(m_in.substr(start, end - start));
    m_pos = end < m_in.size() ? end + 1 : end;
    return t;
}

HtmlToken HtmlTokenizer::ReadTag(bool end) {
    HtmlToken t;
    t.type = end ? HtmlToken::Type::EndTag : HtmlToken::Type::StartTag;
    m_pos += end ? 2 : 1;
    const size_t nameStart = m_pos;
    while (m_pos < m_in.size() && !IsSpace(m_in[m_pos]) && m_in[m_pos] != L'>' &&
           m_in[m_pos] != L'/')
        ++m_pos;
    t.name = ToLowerAscii(m_in.substr(nameStart, m_pos - nameStart));
    for (;;) {
        SkipSpace();
        if (m_pos >= m_in.size()) break;
        const wchar_t c = m_in[m_pos];
        if (c == L'>') {
            ++m_pos;
            break;
        }
        if (c == L'/') {
            ++m_pos;
            if (m_pos < m_in.size() && m_in[m_pos] == L'>') t.selfClosing = true;
            continue;
        }
        const size_t an = m_pos++; // the first character may be '=' and then belongs to the name
        while (m_pos < m_in.size() && !IsSpace(m_in[m_pos]) && m_in[m_pos] != L'>' &&
               m_in[m_pos] != L'/' && m_in[m_pos] != L'=')
            ++m_pos;
        std::wstring name = ToLowerAscii(m_in.substr(an, m_pos - an));
        std::wstring value;
        SkipSpace();
        if (m_pos < m_in.size() && m_in[m_pos] == L'=') {
            ++m_pos;
            SkipSpace();
            if (m_pos < m_in.size() && (m_in[m_pos] == L'"' || m_in[m_pos] == L'\'')) {
                const wchar_t q = m_in[m_pos++];
                size_t close = m_in.find(q, m_pos);
                if (close == std::wstring_view::npos) close = m_in.size();
                value = DecodeCharRefs(m_in.substr(m_pos, close - m_pos), AttributeContext(name));
                m_pos = close < m_in.size() ? close + 1 : close;
            } else {
                const size_t vs = m_pos;
                while (m_pos < m_in.size() && !IsSpace(m_in[m_pos]) && m_in[m_pos] != L'>')
                    ++m_pos;
                value = DecodeCharRefs(m_in.substr(vs, m_pos - vs), AttributeContext(name));
            }
        }
        if (end) continue; // attributes of end tags are dropped
        bool seen = false;
        for (const auto& a : t.attrs)
            seen = seen || a.first == name;
        if (!seen) t.attrs.emplace_back(std::move(name), std::move(value));
    }
    if (!end) {
        if (t.name == L"script" || t.name == L"style" || t.name == L"xmp") {
            m_rawEnd = t.name;
            m_rawDecodes = false;
        } else if (t.name == L"textarea" || t.name == L"title") {
            m_rawEnd = t.name;
            m_rawDecodes = true;
        }
    }
    return t;
}

} // namespace torva::browser
