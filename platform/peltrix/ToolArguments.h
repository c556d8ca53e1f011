// Parsing shared by the command-line tools, and what a tool run produces.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace peltrix {

// What a tool prints and the process exit code: 0 done, 1 bad use, 2 the
// settings could not be read or written, 3 refused (PeltrixPin: the current
// PIN was missing or wrong).
struct ToolOutcome {
    int exitCode = 0;
    std::string text; // ASCII, one or more lines, each ending in '\n'
};

class ToolArguments {
public:
    // Decimal digits only, fitting a DWORD.
    static bool ParseDword(const std::wstring& text, DWORD& value);
    // Pairs of hex digits in either letter case; empty text is zero bytes.
    static bool ParseHex(const std::wstring& text, std::vector<BYTE>& bytes);
    static ToolOutcome Done(std::string text) { return {0, std::move(text)}; }
    static ToolOutcome BadUse(const std::string& problem, const char* usage) {
        return {1, problem + "\n" + usage};
    }
    static ToolOutcome Failed(const std::string& what, DWORD status) {
        return {2, what + " failed (Peltrix result " + std::to_string(status) + ").\n"};
    }
};

} // namespace peltrix
