#include "OldLogSweeper.h"

#include "LogFormat.h"
#include "Win32Handles.h"

#include <cwchar>

namespace torva::fenwix {
namespace {

constexpr ULONGLONG kFileTimeTicksPerDay = 24ULL * 60 * 60 * 10'000'000;

std::optional<ULONGLONG> ToTicks(const SYSTEMTIME& time) {
    FILETIME file{};
    if (!::SystemTimeToFileTime(&time, &file)) return std::nullopt;
    return (static_cast<ULONGLONG>(file.dwHighDateTime) << 32) | file.dwLowDateTime;
}

std::optional<WORD> ReadDigits(const std::wstring& text, std::size_t offset, std::size_t count) {
    WORD value = 0;
    for (std::size_t i = offset; i < offset + count; ++i) {
        if (text[i] < L'0' || text[i] > L'9') return std::nullopt;
        value = static_cast<WORD>(value * 10 + (text[i] - L'0'));
    }
    return value;
}

bool IsValidDate(WORD year, WORD month, WORD day) {
    static constexpr WORD kDaysInMonth[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 1601 || month < 1 || month > 12 || day < 1) return false;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    const WORD last = kDaysInMonth[month - 1] + (month == 2 && leap ? 1 : 0);
    return day <= last;
}

bool StartsWithNoCase(const wchar_t* text, const std::wstring& prefix) {
    return _wcsnicmp(text, prefix.c_str(), prefix.size()) == 0;
}

} // namespace

std::optional<ULONGLONG> OldLogSweeper::MidnightOf(const std::wstring& datePart) {
    if (datePart.size() < kDateChars) return std::nullopt;
    const auto year = ReadDigits(datePart, 0, 4);
    const auto month = ReadDigits(datePart, 4, 2);
    const auto day = ReadDigits(datePart, 6, 2);
    if (!year || !month || !day || !IsValidDate(*year, *month, *day)) return std::nullopt;
    SYSTEMTIME midnight{};
    midnight.wYear = *year;
    midnight.wMonth = *month;
    midnight.wDay = *day;
    return ToTicks(midnight);
}

int OldLogSweeper::Sweep(const std::wstring& folder, const std::wstring& exeBaseName,
                         const std::optional<std::wstring>& user, DWORD days,
                         const SYSTEMTIME& now) {
    if (days == 0) return 0;
    const std::wstring pattern = folder + kFilePrefix + L"_*_" + exeBaseName + kFileExtension;
    // Per-user names of other accounts share the pattern; only ours are aged,
    // so the date is read at the right place.
    std::wstring ownPrefix = std::wstring(kFilePrefix) + L"_";
    if (user) ownPrefix += *user + L"_";

    const auto nowTicks = ToTicks(now);
    WIN32_FIND_DATAW found{};
    UniqueFind find(::FindFirstFileW(pattern.c_str(), &found));
    if (!find) return kSweepNothingFound;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        if (!StartsWithNoCase(found.cFileName, ownPrefix)) continue;
        const std::wstring datePart = found.cFileName + ownPrefix.size();
        if (datePart.size() < kMinDatePartChars) continue;
        const auto midnight = MidnightOf(datePart);
        if (!midnight || !nowTicks) continue;
        if (*nowTicks > *midnight + days * kFileTimeTicksPerDay)
            ::DeleteFileW((folder + found.cFileName).c_str());
    } while (::FindNextFileW(find.get(), &found));
    return 0;
}

} // namespace torva::fenwix
