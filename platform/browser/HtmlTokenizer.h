// Splits markup into tags, text and comments the way a browser's tokenizer
// does for the pages this layer meets: any case, attributes quoted,
// single-quoted, unquoted or bare, character references decoded, raw text in
// script and style, escapable raw text in textarea and title. Malformed input
// never fails: what is not a tag is text.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace torva::browser {

struct HtmlToken {
    enum class Type { StartTag, EndTag, Text, Comment, Doctype, End };
    Type type = Type::End;
    std::wstring name; // lower-case tag name
    std::vector<std::pair<std::wstring, std::wstring>> attrs;
    std::wstring text; // text (decoded) or comment content
    bool selfClosing = false;
};

class HtmlTokenizer {
public:
    explicit HtmlTokenizer(std::wstring_view input) : m_in(input) {}
    HtmlToken Next();

private:
    HtmlToken ReadTag(bool end);
    HtmlToken ReadComment();
    HtmlToken ReadBogus(HtmlToken::Type type, size_t skip);
    HtmlToken ReadText();
    HtmlToken ReadRawText();
    void SkipSpace();

    std::wstring_view m_in;
    size_t m_pos = 0;
    std::wstring m_rawEnd; // tag whose end closes raw text, empty otherwise
    bool m_rawDecodes = false;
};

} // namespace torva::browser
