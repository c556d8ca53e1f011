#include "SecretFieldEncoder.h"

#include "AnsiText.h"
#include "TextEscape.h"

#include <cstdio>
#include <cstring>
#include <cwchar>

namespace {

const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// The characters of a zero-terminated UTF-16 text held in length bytes.
size_t TextChars(const BYTE* data, DWORD length) {
    if (!data) return 0;
    return wcsnlen(reinterpret_cast<const wchar_t*>(data), length / sizeof(wchar_t));
}

void WipeText(std::wstring& text) {
    if (!text.empty()) ::SecureZeroMemory(text.data(), text.size() * sizeof(wchar_t));
}

// The ANSI form of the text in data, in wiped memory.
bool ToAnsi(const BYTE* data, DWORD length, SecretBytes& ansi) {
    std::string converted;
    const bool ok =
        AppendAnsi(reinterpret_cast<const wchar_t*>(data), TextChars(data, length), converted);
    if (ok) ansi = SecretBytes(reinterpret_cast<const BYTE*>(converted.data()), converted.size());
    if (!converted.empty()) ::SecureZeroMemory(converted.data(), converted.size());
    return ok;
}

EncodeStatus EncodePlain(const BYTE* data, DWORD length, int kind, std::string& out) {
    switch (kind) {
    case kFieldText:
    case kFieldAnsiText: {
        // Unsealed, a text is a field of the file like any other and is
        // escaped as one; both copies are wiped.
        std::wstring text(reinterpret_cast<const wchar_t*>(data), TextChars(data, length));
        std::wstring escaped = EscapeText(text, kEscapeMode);
        const bool converted = AppendAnsi(escaped, out);
        WipeText(text);
        WipeText(escaped);
        return converted ? EncodeStatus::Ok : EncodeStatus::Unconvertible;
    }
    case kFieldRaw: {
        const size_t n = data ? strnlen(reinterpret_cast<const char*>(data), length) : 0;
        out.append(reinterpret_cast<const char*>(data), n);
        return EncodeStatus::Ok;
    }
    case kFieldHex: {
        char pair[3];
        for (DWORD i = 0; i < length; ++i) {
            std::snprintf(pair, sizeof pair, "%02x", static_cast<unsigned>(data[i]));
            out += pair;
        }
        return EncodeStatus::Ok;
    }
    case kFieldNumber: {
        int32_t number = 0;
        if (data && length >= sizeof number) std::memcpy(&number, data, sizeof number);
        out += std::to_string(number);
        return EncodeStatus::Ok;
    }
    default:
        out += Base64String(data, length);
        return EncodeStatus::Ok;
    }
}

EncodeStatus EncodeSealed(const BYTE* data, DWORD length, int kind, const SecretText& passphrase,
                          std::string& out, const CryptApi& crypt) {
    // Kind 5 is sealed as its ANSI text followed by zeros to the same length,
    // made in a copy: the caller's data stay as they are.
    SecretBytes clear(length, 0);
    if (kind == kFieldAnsiText) {
        SecretBytes ansi;
        if (!ToAnsi(data, length, ansi)) return EncodeStatus::Unconvertible;
        std::memcpy(clear.data(), ansi.data(), ansi.size() < length ? ansi.size() : length);
    } else if (length) {
        std::memcpy(clear.data(), data, length);
    }
    const DWORD capacity = length + length / 2 + 512;
    std::vector<BYTE> cipher(capacity, 0);
    DWORD cipherLength = 0;
    if (crypt.PassEncrypt(passphrase.data(), static_cast<DWORD>(passphrase.size()), clear.data(),
                          length, cipher.data(), capacity, &cipherLength) != TVRCT_OK ||
        cipherLength > capacity) {
        return EncodeStatus::EncryptFailed;
    }
    const std::string inner = Base64String(cipher.data(), cipherLength);
    std::string frame = kPassHeaderMarker;
    frame += "<" + std::to_string(cipherLength) + ">";
    frame += "<" + inner + ">";
    frame +=
        "<" + std::to_string(FieldChecksum(inner.data(), static_cast<DWORD>(inner.size()))) + ">";
    out += Base64String(reinterpret_cast<const BYTE*>(frame.data()), frame.size());
    return EncodeStatus::Ok;
}

} // namespace

EncodeStatus EncodeSecretFieldTo(const BYTE* data, DWORD length, int kind,
                                 const SecretText& passphrase, std::string& out,
                                 const CryptApi& crypt) {
    if (!data) length = 0;
    std::string field;
    const EncodeStatus status = passphrase.empty()
                                    ? EncodePlain(data, length, kind, field)
                                    : EncodeSealed(data, length, kind, passphrase, field, crypt);
    if (status == EncodeStatus::Ok) out += field;
    if (!field.empty()) ::SecureZeroMemory(field.data(), field.size());
    return status;
}

BOOL EncodeSecretField(const BYTE* data, DWORD length, char* output, DWORD capacity, int kind,
                       const SecretText& passphrase, const CryptApi& crypt) {
    if (!output || capacity == 0) return FALSE;
    std::memset(output, 0, capacity);
    std::string field;
    if (EncodeSecretFieldTo(data, length, kind, passphrase, field, crypt) != EncodeStatus::Ok) {
        return FALSE;
    }
    const bool fits = field.size() < capacity;
    if (fits) std::memcpy(output, field.data(), field.size());
    if (!field.empty()) ::SecureZeroMemory(field.data(), field.size());
    return fits ? TRUE : FALSE;
}

void Base64Encode(const BYTE* data, DWORD length, char* output) {
    DWORD o = 0;
    DWORD i = 0;
    for (; i + 3 <= length; i += 3) {
        const uint32_t v = (data[i] << 16) | (data[i + 1] << 8) | data[i + 2];
        output[o++] = kAlphabet[(v >> 18) & 63];
        output[o++] = kAlphabet[(v >> 12) & 63];
        output[o++] = kAlphabet[(v >> 6) & 63];
        output[o++] = kAlphabet[v & 63];
    }
    const DWORD rest = length - i;
    if (rest) {
        uint32_t v = data[i] << 16;
        if (rest == 2) v |= data[i + 1] << 8;
        output[o++] = kAlphabet[(v >> 18) & 63];
        output[o++] = kAlphabet[(v >> 12) & 63];
        output[o++] = rest == 2 ? kAlphabet[(v >> 6) & 63] : '=';
        output[o++] = '=';
    }
}

std::string Base64String(const BYTE* data, size_t length) {
    std::string out(4 * ((length + 2) / 3), '\0');
    if (length) Base64Encode(data, static_cast<DWORD>(length), out.data());
    return out;
}

int32_t FieldChecksum(const char* text, DWORD length) {
    uint32_t sum = 0;
    for (DWORD i = 0; i + 4 <= length; i += 4) {
        uint32_t word;
        std::memcpy(&word, text + i, 4); // little-endian on every target of this program
        sum += word;
    }
    const uint32_t s = (sum & 0xFFFF) + (sum >> 16);
    const uint32_t r = (s >> 16) + (s & 0xFFFF);
    return static_cast<int32_t>(~(r & 0xFF));
}
