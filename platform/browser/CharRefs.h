// Character references in text and attribute values, decoded as browsers do:
// numeric ones with or without ";" (128 to 159 read as the Windows-1252
// characters pages mean by them), every named one of HTML 4.01 with ";", and
// the legacy ones (the Latin-1 names, amp, lt, gt, quot) also without it.
//
// Without ";" the longest legacy name that starts the word is taken, so
// "&micro5" is "µ5" and "&frac123" is "½3". In attribute values that hold
// URLs a legacy name followed by a letter, digit or "=" stays as written
// ("page?a=1&copy=2" keeps its parameter). Other attribute values read like
// text: the add-in's HTML copies write "&micro", "&Auml" and the like
// without ";" straight before whatever the value holds next, and the value
// must come back as it was stored.
#pragma once

#include <string>
#include <string_view>

namespace torva::browser {

enum class CharRefContext {
    Text,         // content of elements, text areas, titles
    Attribute,    // attribute values other than URLs (value, name, title, ...)
    UrlAttribute, // href, src, action and the other attributes holding URLs
};

std::wstring DecodeCharRefs(std::wstring_view raw, CharRefContext context);

// The context an attribute value is read in, from the lower-case name.
CharRefContext AttributeContext(std::wstring_view name) noexcept;

} // namespace torva::browser
