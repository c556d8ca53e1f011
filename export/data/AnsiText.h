// UTF-16 to the system's ANSI code page for the export file. A character
// that the code page cannot hold is a failure, never a silent "?".
#pragma once

#include <string>

// Appends the ANSI form of text[0, length) to out; false (out unchanged)
// when a character has no form in the code page.
bool AppendAnsi(const wchar_t* text, size_t length, std::string& out);
inline bool AppendAnsi(const std::wstring& text, std::string& out) {
    return AppendAnsi(text.data(), text.size(), out);
}
