#include "SealedExport.h"

#include "AppDataRecords.h"
#include "ExportFixture.h"
#include "TestBase64.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>

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

std::vector<BYTE> FromHex(const char* hex) {
    std::vector<BYTE> bytes;
    for (size_t i = 0; hex[i] && hex[i + 1]; i += 2) {
        const char pair[3] = {hex[i], hex[i + 1], 0};
        bytes.push_back(static_cast<BYTE>(std::strtoul(pair, nullptr, 16)));
    }
    return bytes;
}

std::string Cp932(const std::wstring& text) {
    if (text.empty()) return {};
    std::string out(text.size() * 2 + 1, '\0');
    out.resize(static_cast<size_t>(
        ::WideCharToMultiByte(932, 0, text.c_str(), static_cast<int>(text.size()), out.data(),
                              static_cast<int>(out.size()), nullptr, nullptr)));
    return out;
}

// What a text sealed as field kind 5 holds: its code-page text, then zeros
// up to its UTF-16 length.
std::vector<BYTE> AnsiPayload(const std::wstring& text) {
    const std::string ansi = Cp932(text);
    std::vector<BYTE> bytes(text.size() * 2, 0);
    std::copy(ansi.begin(), ansi.end(), bytes.begin());
    return bytes;
}

// The UTF-16 bytes of a decimal text, without terminator (field kinds 1 and 3
// over a text).
std::vector<BYTE> Utf16Payload(const std::wstring& text) {
    const auto* p = reinterpret_cast<const BYTE*>(text.data());
    return std::vector<BYTE>(p, p + text.size() * 2);
}

std::vector<BYTE> Bytes(const std::string& text) {
    return std::vector<BYTE>(text.begin(), text.end());
}

// The web-form passwords of the fixture, by control name; the empty, the
// unreadable and the missing one are written empty.
const std::map<std::string, std::wstring>& WebPasswords() {
    static const std::map<std::string, std::wstring> passwords = {
        {"password", export_fixture::kRichPassword},
        {"after", export_fixture::kAfterPassword},
        {"empty", L""},
        {"broken", L""},
        {"missing", L""}};
    return passwords;
}

// The mode-1 escape over code-page 932 bytes (no trail byte is a CR, an LF
// or a quote): a sealed text field holds the text, the clear file its escape.
std::string EscapedAnsi(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            out += "\\\\n";
            ++i;
        } else if (text[i] == '\n') {
            out += "\\\\n";
        } else if (text[i] == '"') {
            out += "\\\"";
        } else if (text[i] != '\r') {
            out += text[i];
        }
    }
    return out;
}

} // namespace

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
        while (i < line.size() && !(line[i] == '"' && line[i - 1] != '\\'))
            field += line[i++];
        fields.push_back(field);
        ++i;
        if (i < line.size() && line[i] == ',') ++i;
    }
    return fields;
}

bool OpensTo(const std::vector<BYTE>& clear, const std::string& expected) {
    std::string raw(clear.begin(), clear.end());
    if (raw.find('\0') != std::string::npos) raw.resize(raw.find('\0'));
    if (raw == expected || EscapedAnsi(raw) == expected) return true;
    if (clear.size() % 2 == 0) {
        std::wstring wide(reinterpret_cast<const wchar_t*>(clear.data()), clear.size() / 2);
        if (wide.find(L'\0') != std::wstring::npos) wide.resize(wide.find(L'\0'));
        std::string ansi(wide.size() * 2 + 1, '\0');
        ansi.resize(static_cast<size_t>(
            ::WideCharToMultiByte(932, 0, wide.c_str(), static_cast<int>(wide.size()), ansi.data(),
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
                result.mismatch =
                    "line " + std::to_string(l) + " field " + std::to_string(f) + ": " + c[f];
                return result;
            }
            ++result.opened;
        }
    }
    result.matches = true;
    return result;
}

namespace {

namespace fx = export_fixture;

const char* const kKindNames[] = {"web-form password",
                                  "application password",
                                  "policy",
                                  "rule",
                                  "logon mode",
                                  "touch type",
                                  "touch pass-code",
                                  "touch bitmap",
                                  "TPM",
                                  "fingerprint",
                                  "FeliCa",
                                  "USB",
                                  "SD",
                                  "device name",
                                  "device information"};

class SecretChecker {
public:
    SecretChecker(SecretsCheck& check, const std::wstring& passphrase)
        : m_check(check), m_passphrase(passphrase) {}

    // The field at index of the line must open to expected.
    void Expect(const std::vector<std::string>& fields, size_t index, const char* kind,
                const std::vector<BYTE>& expected, const std::string& where) {
        if (std::find(m_check.kinds.begin(), m_check.kinds.end(), kind) == m_check.kinds.end()) {
            m_check.kinds.push_back(kind);
        }
        if (index >= fields.size()) {
            m_check.faults.push_back(where + ": no " + kind + " field");
            return;
        }
        const OpenedField opened = OpenSealedField(fields[index], m_passphrase);
        if (!opened.ok) {
            m_check.faults.push_back(where + ": " + kind +
                                     " not sealed: " + fields[index].substr(0, 64));
        } else if (opened.clear != expected) {
            m_check.faults.push_back(where + ": " + kind + " opens to other bytes (" +
                                     std::to_string(opened.clear.size()) + " for " +
                                     std::to_string(expected.size()) + ")");
        } else {
            ++m_check.fields;
        }
    }
    void Fault(const std::string& text) { m_check.faults.push_back(text); }

private:
    SecretsCheck& m_check;
    const std::wstring& m_passphrase;
};

const fx::DeviceText* DeviceTextOf(int kind, int slot) {
    for (const fx::DeviceText& d : fx::kDeviceTexts) {
        if (d.kind == kind && d.slot == slot) return &d;
    }
    return nullptr;
}

const fx::DeviceSecret* DeviceSecretOf(int kind, int slot) {
    for (const fx::DeviceSecret& d : fx::kDeviceSecrets) {
        if (d.kind == kind && d.slot == slot) return &d;
    }
    return nullptr;
}

void CheckDeviceLine(SecretChecker& checker, const std::vector<std::string>& f,
                     const std::string& where) {
    const int code = std::atoi(f[1].c_str());
    if (code == 1) {
        checker.Expect(f, 4, "TPM", Bytes(std::to_string(fx::kPinCacheTime)), where);
        return;
    }
    static const char* const names[] = {"", "", "fingerprint", "FeliCa", "USB", "SD"};
    if (code < 2 || code > 5) {
        checker.Fault(where + ": device line of kind " + f[1]);
        return;
    }
    const int kind = code - 1;
    // A fingerprint line holds the slot's position, counted from 0.
    const int slot = std::atoi(f[2].c_str()) + (kind == 1 ? 1 : 0);
    const fx::DeviceSecret* secret = DeviceSecretOf(kind, slot);
    if (!secret) {
        checker.Fault(where + ": no such device secret in the fixture");
        return;
    }
    checker.Expect(f, 4, names[code], FromHex(secret->hex), where);
    if (kind == 1) return;
    const fx::DeviceText* text = DeviceTextOf(kind, slot);
    checker.Expect(f, 5, "device name", AnsiPayload(text ? text->name : L""), where);
    checker.Expect(f, 6, "device information", AnsiPayload(text ? text->info : L""), where);
}

std::vector<std::string> FixtureSecretsInClear() {
    std::vector<std::wstring> texts = {fx::kRichPassword, fx::kAfterPassword,
                                       fx::kApplicationPassword, fx::kAnyApplicationPassword};
    for (const fx::DeviceText& d : fx::kDeviceTexts) {
        texts.push_back(d.name);
        texts.push_back(d.info);
    }
    std::vector<std::string> forms;
    for (const std::wstring& text : texts) {
        forms.push_back(Cp932(text));
        forms.push_back(EscapedAnsi(Cp932(text)));
    }
    // Byte secrets as whole fields: as hexadecimal they are short enough to
    // turn up by chance inside a long base64 text.
    for (const fx::DeviceSecret& d : fx::kDeviceSecrets) {
        forms.push_back('"' + std::string(d.hex) + '"');
    }
    forms.push_back('"' + std::string(fx::kRuleHex) + '"');
    forms.push_back('"' + Hex(Bytes(std::to_string(fx::kPinCacheTime))) + '"');
    forms.push_back(Hex(fx::PassCodeBytes()));
    const std::vector<BYTE> bitmap = fx::BitmapBytes();
    forms.push_back(Base64(std::vector<BYTE>(bitmap.begin(), bitmap.begin() + 300)));
    return forms;
}

} // namespace

SecretsCheck CheckFixtureSecrets(const std::string& sealedText, const std::wstring& passphrase) {
    SecretsCheck check;
    SecretChecker checker(check, passphrase);
    const auto lines = Lines(sealedText);
    for (size_t l = 0; l < lines.size(); ++l) {
        const auto f = Fields(lines[l]);
        const std::string where = "line " + std::to_string(l);
        if (f.size() < 5) continue;
        switch (std::atoi(f[0].c_str())) {
        case 1:
            if (f.size() > 14 && f[12] == "1") {
                const auto password = WebPasswords().find(f[13]);
                if (password == WebPasswords().end()) {
                    checker.Fault(where + ": password control " + f[13] + " not in the fixture");
                } else {
                    checker.Expect(f, 14, "web-form password", AnsiPayload(password->second),
                                   where);
                }
            }
            break;
        case 2: {
            const int i = std::atoi(f[1].c_str()) - 1;
            if (i < 0 || i >= fx::kPolicyCount) {
                checker.Fault(where + ": policy " + f[1]);
                break;
            }
            std::vector<BYTE> text = Bytes(std::to_string(fx::kPolicyValues[i]));
            text.push_back(0);
            checker.Expect(f, 4, "policy", text, where);
            break;
        }
        case 4:
            checker.Expect(f, 4, "rule", FromHex(fx::kRuleHex), where);
            checker.Expect(f, 5, "logon mode", Utf16Payload(std::to_wstring(fx::kLogonMode)),
                           where);
            break;
        case 8:
            checker.Expect(f, 4, "touch type", Utf16Payload(std::to_wstring(fx::kTouchAuthType)),
                           where);
            checker.Expect(f, 7, "touch pass-code", fx::PassCodeBytes(), where);
            checker.Expect(f, 9, "touch bitmap", fx::BitmapBytes(), where);
            break;
        case 5:
            CheckDeviceLine(checker, f, where);
            break;
        case 6:
            if (f.size() > 13 && f[11] == "2") {
                std::wstring expected;
                if (f[4] == Cp932(fx::kApplicationName)) {
                    expected = fx::kApplicationPassword;
                } else if (f[4] == Cp932(kAnyApplicationName)) {
                    expected = fx::kAnyApplicationPassword;
                } else {
                    checker.Fault(where + ": application not in the fixture");
                    break;
                }
                checker.Expect(f, 13, "application password", AnsiPayload(expected), where);
            }
            break;
        default:
            break;
        }
    }
    for (const char* kind : kKindNames) {
        if (std::find(check.kinds.begin(), check.kinds.end(), kind) == check.kinds.end()) {
            check.faults.push_back(std::string("no ") + kind + " in the file");
        }
    }
    for (const std::string& secret : FixtureSecretsInClear()) {
        if (sealedText.find(secret) != std::string::npos) {
            check.faults.push_back("in clear: " + secret);
        }
    }
    return check;
}

} // namespace sealed_export
