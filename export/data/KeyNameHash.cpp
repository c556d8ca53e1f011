#include "KeyNameHash.h"

#include <cstdio>
#include <cwchar>

std::wstring CreateKeyNameHash(const std::wstring& text, const CryptApi& crypt) {
    DWORD digestLength = 0;
    if (crypt.HashData(TVRCT_HASH_SHA256, nullptr, 0, nullptr, 0, &digestLength) != TVRCT_OK ||
        digestLength == 0) {
        return {};
    }
    std::vector<BYTE> digest(digestLength);
    std::string ansi;
    if (!text.empty()) {
        const int size =
            ::WideCharToMultiByte(CP_THREAD_ACP, 0, text.data(), static_cast<int>(text.size()),
                                  nullptr, 0, nullptr, nullptr);
        if (size > 0) {
            ansi.assign(static_cast<size_t>(size), '\0');
            ::WideCharToMultiByte(CP_THREAD_ACP, 0, text.data(), static_cast<int>(text.size()),
                                  ansi.data(), size, nullptr, nullptr);
        }
        const size_t zero = ansi.find('\0');
        if (zero != std::string::npos) ansi.resize(zero);
    }
    DWORD outLength = 0;
    if (crypt.HashData(TVRCT_HASH_SHA256, reinterpret_cast<const BYTE*>(ansi.data()),
                       static_cast<DWORD>(ansi.size()), digest.data(), digestLength,
                       &outLength) != TVRCT_OK) {
        return {};
    }
    if (outLength > digestLength) outLength = digestLength;
    std::wstring hex;
    wchar_t pair[3];
    for (DWORD i = 0; i < outLength; ++i) {
        std::swprintf(pair, 3, L"%2.2x", static_cast<unsigned>(digest[i]));
        hex += pair;
    }
    return hex;
}

std::wstring CaptionHashInput(const std::wstring& caption, const std::vector<int32_t>& controlIds) {
    uint32_t sum = 0;
    for (int32_t id : controlIds)
        sum += static_cast<uint32_t>(id);
    wchar_t number[16];
    std::swprintf(number, 16, L"%x", sum);
    return caption + number;
}

std::wstring ApplicationKeyPath(const std::wstring& applicationHash) {
    return std::wstring(kAppDataRegKey) + L"\\" + applicationHash;
}
std::wstring CaptionKeyPath(const std::wstring& applicationKey, const std::wstring& captionHash) {
    return applicationKey + L"\\" + captionHash;
}
std::wstring ItemKeyPath(const std::wstring& captionKey, const std::wstring& itemHash) {
    return captionKey + L"\\" + itemHash;
}
std::wstring ControlKeyPath(const std::wstring& itemKey, int number) {
    wchar_t suffix[16];
    std::swprintf(suffix, 16, L"CTRL%03d", number);
    return itemKey + L"\\" + suffix;
}
