#include "CharRefs.h"

#include <cwctype>

namespace torva::browser {

namespace {

struct NamedRef {
    const wchar_t* name;
    char32_t code;
    bool legacy; // recognised without the ";"
};

constexpr NamedRef kNamed[] = {
    {L"amp", 0x26, true},      {L"lt", 0x3C, true},       {L"gt", 0x3E, true},
    {L"quot", 0x22, true},     {L"nbsp", 0xA0, true},     {L"copy", 0xA9, true},
    {L"reg", 0xAE, true},      {L"yen", 0xA5, true},      {L"deg", 0xB0, true},
    {L"plusmn", 0xB1, true},   {L"times", 0xD7, true},    {L"divide", 0xF7, true},
    {L"middot", 0xB7, true},   {L"laquo", 0xAB, true},    {L"raquo", 0xBB, true},
    {L"para", 0xB6, true},     {L"sect", 0xA7, true},     {L"pound", 0xA3, true},
    {L"cent", 0xA2, true},     {L"auml", 0xE4, true},     {L"ouml", 0xF6, true},
    {L"uuml", 0xFC, true},     {L"eacute", 0xE9, true},   {L"szlig", 0xDF, true},
    {L"apos", 0x27, false},    {L"euro", 0x20AC, false},  {L"hellip", 0x2026, false},
    {L"mdash", 0x2014, false}, {L"ndash", 0x2013, false}, {L"lsquo", 0x2018, false},
    {L"rsquo", 0x2019, false}, {L"ldquo", 0x201C, false}, {L"rdquo", 0x201D, false},
    {L"trade", 0x2122, false}, {L"bull", 0x2022, false},
};

void AppendCodePoint(std::wstring& out, char32_t c) {
    if (c == 0 || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = 0xFFFD;
    if (c >= 0x10000) {
        c -= 0x10000;
        out += static_cast<wchar_t>(0xD800 + (c >> 10));
        out += static_cast<wchar_t>(0xDC00 + (c & 0x3FF));
    } else {
        out += static_cast<wchar_t>(c);
    }
}

// Decodes the reference that starts at raw[i] == '&'; returns the characters
// consumed, 0 when it is no reference (the '&' then stands for itself).
size_t DecodeOne(std::wstring_view raw, size_t i, bool inAttribute, std::wstring& out) {
    size_t p = i + 1;
    if (p < raw.size() && raw[p] == L'#') {
        ++p;
        const bool hex = p < raw.size() && (raw[p] == L'x' || raw[p] == L'X');
        if (hex) ++p;
        const size_t digitsStart = p;
        char32_t value = 0;
        while (p < raw.size() && (hex ? std::iswxdigit(raw[p]) : std::iswdigit(raw[p]))) {
            const wchar_t d = raw[p];
            const unsigned v = std::iswdigit(d) ? d - L'0' : (std::towlower(d) - L'a' + 10);
            if (value <= 0x10FFFF) value = value * (hex ? 16 : 10) + v;
            ++p;
        }
        if (p == digitsStart) return 0;
        if (p < raw.size() && raw[p] == L';') ++p;
        AppendCodePoint(out, value);
        return p - i;
    }
    size_t end = p;
    while (end < raw.size() && std::iswalnum(raw[end]))
        ++end;
    const std::wstring_view word = raw.substr(p, end - p);
    const bool semicolon = end < raw.size() && raw[end] == L';';
    if (semicolon) {
        for (const auto& r : kNamed)
            if (word == r.name) {
                AppendCodePoint(out, r.code);
                return end + 1 - i;
            }
    }
    // Without ";" the longest legacy name that prefixes the word is taken.
    const NamedRef* best = nullptr;
    size_t bestLen = 0;
    for (const auto& r : kNamed) {
        const std::wstring_view name(r.name);
        if (r.legacy && word.substr(0, name.size()) == name && name.size() > bestLen) {
            best = &r;
            bestLen = name.size();
        }
    }
    if (!best) return 0;
    const size_t after = p + bestLen;
    if (inAttribute && after < raw.size() && (std::iswalnum(raw[after]) || raw[after] == L'='))
        return 0;
    AppendCodePoint(out, best->code);
    return after - i;
}

} // namespace

std::wstring DecodeCharRefs(std::wstring_view raw, bool inAttribute) {
    std::wstring out;
    out.reserve(raw.size());
    for (size_t i = 0; i < raw.size();) {
        if (raw[i] == L'&') {
            const size_t used = DecodeOne(raw, i, inAttribute, out);
            if (used) {
                i += used;
                continue;
            }
        }
        out += raw[i++];
    }
    return out;
}

} // namespace torva::browser
