#include "VersionTexts.h"

#include <windows.h>

#include <cwchar>
#include <vector>

namespace vantrel {

namespace {

bool QueryText(std::vector<BYTE>& block, const wchar_t* prefix, const wchar_t* key,
               std::wstring& text) {
    const std::wstring path = std::wstring(prefix) + key;
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(block.data(), path.c_str(), &value, &length) || !value || length == 0)
        return false;
    text.assign(static_cast<const wchar_t*>(value),
                wcsnlen(static_cast<const wchar_t*>(value), length));
    return true;
}

} // namespace

bool ReadVersionTexts(const std::wstring& path, VersionTexts& texts) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    if (size == 0) return false;
    std::vector<BYTE> block(size);
    if (!GetFileVersionInfoW(path.c_str(), 0, size, block.data())) return false;
    struct Translation {
        WORD language;
        WORD codePage;
    };
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", &value, &length) || !value ||
        length < sizeof(Translation))
        return false;
    const Translation first = *static_cast<const Translation*>(value);
    wchar_t prefix[48];
    swprintf(prefix, 48, L"\\StringFileInfo\\%04X%04X\\", first.language, first.codePage);
    if (!QueryText(block, prefix, L"FileVersion", texts.fileVersion)) return false;
    if (!QueryText(block, prefix, L"LegalCopyright", texts.legalCopyright))
        texts.legalCopyright.clear();
    return true;
}

} // namespace vantrel
