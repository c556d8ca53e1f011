// The export's text escaping. Mode 1 (escape): a line break (CR LF, or a
// lone LF) becomes the three characters backslash, backslash, "n"; a lone CR
// is dropped; then every double quote becomes backslash + double quote.
// Mode 2 (unescape): backslash, backslash, "n" becomes CR LF, then backslash
// + double quote becomes a double quote. Any other mode returns the text.
#pragma once

#include <string>

constexpr int kEscapeMode = 1;
constexpr int kUnescapeMode = 2;

std::wstring EscapeText(const std::wstring& text, int mode);
