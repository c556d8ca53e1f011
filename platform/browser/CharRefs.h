// Character references in text and attribute values, decoded as browsers do:
// numeric ones with or without ";", the common named ones, and the legacy
// named ones also without ";" (except inside an attribute value when a letter,
// digit or "=" follows, where "&copy=1" in a URL must stay as it is).
#pragma once

#include <string>
#include <string_view>

namespace torva::browser {

std::wstring DecodeCharRefs(std::wstring_view raw, bool inAttribute);

} // namespace torva::browser
