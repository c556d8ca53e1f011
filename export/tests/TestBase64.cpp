#include "TestBase64.h"

#include "Corvane.h"

#include <cstdlib>

bool DecodeBase64(const std::string& text, std::vector<BYTE>& bytes) {
    static const std::string alphabet =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    bytes.clear();
    if (text.size() % 4 != 0) return false;
    for (size_t i = 0; i < text.size(); i += 4) {
        unsigned v = 0;
        int pad = 0;
        for (size_t j = 0; j < 4; ++j) {
            const char c = text[i + j];
            if (c == '=') {
                ++pad;
                v <<= 6;
                continue;
            }
            const size_t at = alphabet.find(c);
            if (at == std::string::npos || pad) return false;
            v = (v << 6) | static_cast<unsigned>(at);
        }
        bytes.push_back(static_cast<BYTE>(v >> 16));
        if (pad < 2) bytes.push_back(static_cast<BYTE>(v >> 8));
        if (pad < 1) bytes.push_back(static_cast<BYTE>(v));
    }
    return true;
}

OpenedField OpenSealedField(const std::string& field, const std::wstring& passphrase) {
    OpenedField opened;
    std::vector<BYTE> frame;
    if (!DecodeBase64(field, frame)) return opened;
    opened.frame.assign(frame.begin(), frame.end());
    const std::string marker = "<TVRPASSHEADER>";
    if (opened.frame.rfind(marker, 0) != 0) return opened;
    std::vector<std::string> parts;
    size_t at = marker.size();
    while (at < opened.frame.size()) {
        if (opened.frame[at] != '<') return opened;
        const size_t close = opened.frame.find('>', at);
        if (close == std::string::npos) return opened;
        parts.push_back(opened.frame.substr(at + 1, close - at - 1));
        at = close + 1;
    }
    if (parts.size() != 3) return opened;
    opened.length = std::strtol(parts[0].c_str(), nullptr, 10);
    opened.inner = parts[1];
    opened.checksum = std::strtol(parts[2].c_str(), nullptr, 10);
    std::vector<BYTE> cipher;
    if (!DecodeBase64(opened.inner, cipher) || static_cast<long>(cipher.size()) != opened.length) {
        return opened;
    }
    DWORD needed = 0;
    if (TvrCT_PassDecrypt(passphrase.c_str(), static_cast<DWORD>(passphrase.size()), cipher.data(),
                          static_cast<DWORD>(cipher.size()), nullptr, 0, &needed) != 0) {
        return opened;
    }
    opened.clear.assign(needed, 0);
    DWORD length = 0;
    if (TvrCT_PassDecrypt(passphrase.c_str(), static_cast<DWORD>(passphrase.size()), cipher.data(),
                          static_cast<DWORD>(cipher.size()), opened.clear.data(), needed,
                          &length) != 0) {
        return opened;
    }
    opened.clear.resize(length);
    opened.ok = true;
    return opened;
}
