#include "AboutVersion.h"

#include <cwchar>
#include <vector>

#include "TraceScope.h"

namespace {

// One string of the version block; empty when VerQueryValue finds none (its
// pointer and length are only used after it reported success).
CString QueryString(const std::vector<BYTE>& block, const CString& path) {
    void* value = nullptr;
    UINT length = 0;
    if (!::VerQueryValueW(block.data(), path, &value, &length) || !value || length == 0)
        return CString();
    const auto* text = static_cast<const wchar_t*>(value);
    return CString(text, static_cast<int>(wcsnlen(text, length)));
}

} // namespace

AboutVersionTexts ReadAboutVersionTexts(const wchar_t* modulePath) {
    TORVA_TRACE_SCOPE(L"ReadAboutVersionTexts");
    AboutVersionTexts texts;
    if (!modulePath || !*modulePath) return texts;
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(modulePath, &ignored);
    if (size == 0) return texts;
    std::vector<BYTE> block(size);
    if (!::GetFileVersionInfoW(modulePath, 0, size, block.data())) return texts;

    // The first language and code page of the translation table.
    void* table = nullptr;
    UINT tableBytes = 0;
    if (!::VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", &table, &tableBytes) ||
        !table || tableBytes < 2 * sizeof(WORD)) {
        TORVA_TRACE_ERROR(L"no translation table in the version block");
        return texts;
    }
    const auto* pair = static_cast<const WORD*>(table);
    CString prefix;
    prefix.Format(L"\\StringFileInfo\\%04X%04X\\", pair[0], pair[1]);
    texts.fileVersion = QueryString(block, prefix + L"FileVersion");
    texts.legalCopyright = QueryString(block, prefix + L"LegalCopyright");
    return texts;
}

AboutVersionTexts ReadProgramVersionTexts() {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return AboutVersionTexts{};
    return ReadAboutVersionTexts(path);
}

CString AboutVersionLine(const AboutVersionTexts& texts) {
    return CString(L"Version ") + texts.fileVersion;
}
