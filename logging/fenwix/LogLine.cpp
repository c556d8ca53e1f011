#include "LogLine.h"

#include "LogFormat.h"

#include <cstdio>

namespace torva::fenwix {
namespace {

// A cut must not leave half of a surrogate pair: the code page conversion
// would turn it into a stray '?'.
void CutTo(std::wstring& text, std::size_t maxChars) {
    if (text.size() <= maxChars) return;
    text.resize(maxChars);
    if (!text.empty() && IS_HIGH_SURROGATE(text.back())) text.pop_back();
}

} // namespace

std::wstring LogLine::FormatText(const wchar_t* format, va_list args) {
    if (format == nullptr) return {};
    // One character more than kept, so that CutTo sees whether the text was
    // cut. _vsnwprintf is the runtime's own: its "%s" takes a wide string,
    // which is what every caller passes. It does not terminate a cut result.
    wchar_t buffer[kMaxMessageChars + 2] = {};
    _vsnwprintf(buffer, kMaxMessageChars + 1, format, args);
    buffer[kMaxMessageChars + 1] = L'\0';
    std::wstring message(buffer);
    CutTo(message, kMaxMessageChars);
    return message;
}

std::wstring LogLine::Compose(const SYSTEMTIME& now, DWORD tickCount, const wchar_t* sourceFile,
                              int line, const std::wstring& message) {
    // One character more than kept, as in FormatText. The tick count is
    // printed signed: after 24.8 days of uptime the stamp grows by a minus
    // sign and three digits, so its length is taken as printed.
    constexpr std::size_t kRoom = kMaxLineChars + 1;
    wchar_t buffer[kRoom + 1] = {};
    const int stampChars =
        _snwprintf(buffer, kRoom, kTimeStampFormat, now.wYear, now.wMonth, now.wDay, now.wHour,
                   now.wMinute, now.wSecond, static_cast<int>(tickCount));
    if (stampChars < 0) return {};
    _snwprintf(buffer + stampChars, kRoom - stampChars, kBodyFormat, sourceFile ? sourceFile : L"",
               line, message.c_str());
    buffer[kRoom] = L'\0';
    std::wstring text(buffer);
    CutTo(text, kMaxLineChars);
    return text;
}

} // namespace torva::fenwix
