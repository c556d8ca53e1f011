// The character entities that ReplaceStr writes: the HTML 4.01 set, searched
// in order. Of the Latin-1 entities (160-255) only eight carry the closing
// ";" (nbsp, curren, uml, not, deg, acute, cedil, frac14); the other 88 are
// written without it, as pages stored by earlier releases show them.
#pragma once

#include <array>
#include <cstddef>

struct HtmlEntity {
    wchar_t code;
    const wchar_t* text;
};

inline constexpr std::size_t kHtmlEntityCount = 252;
extern const std::array<HtmlEntity, kHtmlEntityCount> g_htmlEntities;

// The entity text for one UTF-16 code unit, or null when it is written as is.
const wchar_t* FindHtmlEntity(wchar_t code) noexcept;
