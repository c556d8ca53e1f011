#include "ToolArguments.h"

namespace peltrix {
namespace {

int HexDigit(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    return -1;
}

} // namespace

bool ToolArguments::ParseDword(const std::wstring& text, DWORD& value) {
    if (text.empty() || text.size() > 10) return false;
    unsigned long long number = 0;
    for (const wchar_t c : text) {
        if (c < L'0' || c > L'9') return false;
        number = number * 10 + static_cast<unsigned>(c - L'0');
    }
    if (number > MAXDWORD) return false;
    value = static_cast<DWORD>(number);
    return true;
}

bool ToolArguments::ParseHex(const std::wstring& text, std::vector<BYTE>& bytes) {
    if (text.size() % 2 != 0) return false;
    std::vector<BYTE> parsed;
    parsed.reserve(text.size() / 2);
    for (std::size_t i = 0; i < text.size(); i += 2) {
        const int high = HexDigit(text[i]);
        const int low = HexDigit(text[i + 1]);
        if (high < 0 || low < 0) return false;
        parsed.push_back(static_cast<BYTE>(high * 16 + low));
    }
    bytes = std::move(parsed);
    return true;
}

} // namespace peltrix
