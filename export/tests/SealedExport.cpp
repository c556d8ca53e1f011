#include "SealedExport.h"

#include "TestBase64.h"

namespace sealed_export {

namespace {

std::string Hex(const std::vector<BYTE>& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (BYTE b : bytes) {
        text += digits[b >> 4];
        text += digits[b & 15];
    }
    return text;
}

std::string Base64(const std::vector<BYTE>& bytes) {
    static const char table[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string text;
    for (size_t i = 0; i < bytes.size(); i += 3) {
        const unsigned v = (bytes[i] << 16) | (i + 1 < bytes.size() ? bytes[i + 1] << 8 : 0) |
                           (i + 2 < bytes.size() ? bytes[i + 2] : 0);
        text += table[(v >> 18) & 63];
        text += table[(v >> 12) & 63];
        text += i + 1 < bytes.size() ? table[(v >> 6) & 63] : '=';
        text += i + 2 < bytes.size() ? table[v & 63] : '=';
    }
    return text;
}

}  // namespace

std::vector<std::string> Lines(const std::string& bytes) {
    std::vector<std::string> lines;
    size_t at = 0;
    while (at < bytes.size()) {
        const size_t end = bytes.find("\r\n", at);
        if (end == std::string::npos) {
            lines.push_back(bytes.substr(at));
            break;
        }
        lines.push_back(bytes.substr(at, end - at));
        at = end + 2;
    }
    return lines;
}

std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields;
    size_t i = 0;
    while (i < line.size() && line[i] == '"') {
        std::string field;
        ++i;
        while (i < line.size() && !(line[i] == '"' && line[i - 1] != '\\')) field += line[i++];
        fields.push_back(field);
        ++i;
        if (i < line.size() && line[i] == ',') ++i;
    }
    return fields;
}

bool OpensTo(const std::vector<BYTE>& clear, const std::string& expected) {
    std::string raw(clear.begin(), clear.end());
    if (raw.find('\0') != std::string::npos) raw.resize(raw.find('\0'));
    if (raw == expected) return true;
    if (clear.size() % 2 == 0) {
        std::wstring wide(reinterpret_cast<const wchar_t*>(clear.data()), clear.size() / 2);
        if (wide.find(L'\0') != std::wstring::npos) wide.resize(wide.find(L'\0'));
        std::string ansi(wide.size() * 2 + 1, '\0');
        ansi.resize(static_cast<size_t>(::WideCharToMultiByte(
            932, 0, wide.c_str(), static_cast<int>(wide.size()), ansi.data(),
            static_cast<int>(ansi.size()), nullptr, nullptr)));
        if (ansi == expected) return true;
    }
    return Hex(clear) == expected || Base64(clear) == expected;
}

Comparison CompareSealedWithClear(const std::string& sealedText, const std::string& clearText,
                                  const std::wstring& passphrase) {
    Comparison result;
    const auto sealedLines = Lines(sealedText);
    const auto clearLines = Lines(clearText);
    result.lines = clearLines.size();
    if (sealedLines.size() != clearLines.size()) {
        result.mismatch = "line counts " + std::to_string(sealedLines.size()) + " and " +
                          std::to_string(clearLines.size());
        return result;
    }
    for (size_t l = 0; l < clearLines.size(); ++l) {
        const auto s = Fields(sealedLines[l]);
        const auto c = Fields(clearLines[l]);
        if (s.size() != c.size()) {
            result.mismatch = "fields of line " + std::to_string(l);
            return result;
        }
        for (size_t f = 0; f < c.size(); ++f) {
            if (s[f] == c[f]) continue;
            const OpenedField field = OpenSealedField(s[f], passphrase);
            if (!field.ok || !OpensTo(field.clear, c[f])) {
                result.mismatch = "line " + std::to_string(l) + " field " + std::to_string(f) + ": " + c[f];
                return result;
            }
            ++result.opened;
        }
    }
    result.matches = true;
    return result;
}

}  // namespace sealed_export
