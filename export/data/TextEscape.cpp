#include "TextEscape.h"

namespace {

// The length of the escaped text, so that it is made in one block: the
// text may be a secret, and a block left behind by growing would keep a
// copy of it in freed memory.
size_t EscapedLength(const std::wstring& text) {
    size_t length = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i];
        if (c == L'\r') {
            if (i + 1 < text.size() && text[i + 1] == L'\n') {
                length += 3;
                ++i;
            }
        } else if (c == L'\n') {
            length += 3;
        } else if (c == L'"') {
            length += 2;
        } else {
            ++length;
        }
    }
    return length;
}

std::wstring Escape(const std::wstring& text) {
    std::wstring out;
    out.reserve(EscapedLength(text));
    for (size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i];
        if (c == L'\r') {
            if (i + 1 < text.size() && text[i + 1] == L'\n') {
                out += L"\\\\n";
                ++i;
            }
            // A lone CR has no form in this file: it is left out.
        } else if (c == L'\n') {
            out += L"\\\\n";
        } else if (c == L'"') {
            out += L"\\\"";
        } else {
            out += c;
        }
    }
    return out;
}

void ReplaceAll(std::wstring& text, const std::wstring& from, const std::wstring& to) {
    size_t at = 0;
    while ((at = text.find(from, at)) != std::wstring::npos) {
        text.replace(at, from.size(), to);
        at += to.size();
    }
}

} // namespace

std::wstring EscapeText(const std::wstring& text, int mode) {
    if (mode == kEscapeMode) return Escape(text);
    if (mode == kUnescapeMode) {
        std::wstring out = text;
        ReplaceAll(out, L"\\\\n", L"\r\n");
        ReplaceAll(out, L"\\\"", L"\"");
        return out;
    }
    return text;
}
