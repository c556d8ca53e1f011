#include "ReplaceStr.h"

#include "HtmlEntityTable.h"

namespace {

// A reference written without its ";" is read up to the next character: a
// ";" there is taken as the reference's own end and lost, and a letter, a
// digit or "=" can make a browser read the name longer or leave it as it is.
bool EndsTheReference(wchar_t next) {
    return next == L';' || next == L'=' || (next >= L'0' && next <= L'9') ||
           (next >= L'A' && next <= L'Z') || (next >= L'a' && next <= L'z');
}

} // namespace

BOOL ReplaceStr(std::wstring& text) {
    std::wstring result;
    result.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const wchar_t* entity = FindHtmlEntity(text[i]);
        if (!entity) {
            result += text[i];
            continue;
        }
        result += entity;
        if (result.back() != L';' && i + 1 < text.size() && EndsTheReference(text[i + 1])) {
            result += L';';
        }
    }
    text = std::move(result);
    return TRUE;
}
