#include "ExportPathRules.h"

namespace vantrel {

std::wstring WithCsvExtension(const std::wstring& path) {
    if (path.empty()) return path;
    const auto dot = path.rfind(L'.');
    const std::wstring extension =
        dot == std::wstring::npos ? std::wstring() : path.substr(dot + 1);
    // The comparison is case-sensitive: a capital "CSV" gets the lower-case
    // extension added, as the file dialog's filter expects.
    return extension == L"csv" ? path : path + L".csv";
}

bool HasNoForbiddenCharacter(const std::wstring& path) {
    return path.find_first_of(L"/,;*?\"<>|") == std::wstring::npos;
}

bool IsDroppableCsv(const std::wstring& path) {
    const auto dot = path.rfind(L'.');
    return dot != std::wstring::npos && path.compare(dot, std::wstring::npos, L".csv") == 0;
}

PathCheck CheckExportInput(const std::wstring& path, const std::wstring& passphrase,
                           const std::wstring& confirmation) {
    if (path.empty()) return PathCheck::EmptyPath;
    if (!HasNoForbiddenCharacter(path)) return PathCheck::ForbiddenCharacter;
    if (confirmation != passphrase) return PathCheck::ConfirmationDiffers;
    if (passphrase.empty()) return PathCheck::EmptyPassphrase;
    return PathCheck::Accepted;
}

unsigned MessageIdOf(PathCheck check) {
    switch (check) {
    case PathCheck::EmptyPath:
        return 22085;
    case PathCheck::ForbiddenCharacter:
        return 22087;
    case PathCheck::ConfirmationDiffers:
        return 22088;
    case PathCheck::EmptyPassphrase:
        return 22089;
    case PathCheck::Accepted:
        break;
    }
    return 0;
}

} // namespace vantrel
