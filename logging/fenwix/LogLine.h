// Text of one log line, before it is converted for the file.
#pragma once

#include <windows.h>

#include <cstdarg>
#include <string>

namespace torva::fenwix {

class LogLine {
public:
    // The caller's message: Microsoft wide printf rules ("%s" is a wide
    // string), cut to 1023 characters. A null format gives an empty message.
    static std::wstring FormatText(const wchar_t* format, va_list args);
    // Time stamp, source file, line number and message, cut to 1023
    // characters; no line end. A null source file reads as empty.
    static std::wstring Compose(const SYSTEMTIME& now, DWORD tickCount, const wchar_t* sourceFile,
                                int line, const std::wstring& message);
};

} // namespace torva::fenwix
