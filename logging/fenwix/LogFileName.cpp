#include "LogFileName.h"

#include "LogFormat.h"

#include <cstdio>

namespace torva::fenwix {

std::wstring LogFileName::DateText(const SYSTEMTIME& date) {
    wchar_t text[16] = {};
    _snwprintf(text, 15, L"%04u%02u%02u", static_cast<unsigned>(date.wYear),
               static_cast<unsigned>(date.wMonth), static_cast<unsigned>(date.wDay));
    return text;
}

bool LogFileName::SameDate(const SYSTEMTIME& a, const SYSTEMTIME& b) {
    return a.wYear == b.wYear && a.wMonth == b.wMonth && a.wDay == b.wDay;
}

std::wstring LogFileName::Build(const std::optional<std::wstring>& user, const SYSTEMTIME& date,
                                const std::wstring& moduleBaseName) {
    std::wstring name = std::wstring(kFilePrefix) + L"_";
    if (user) name += *user + L"_";
    name += DateText(date) + L"_";
    if (moduleBaseName.empty()) return name + kFallbackModuleFile;
    return name + moduleBaseName + kFileExtension;
}

} // namespace torva::fenwix
