// The trace calls of the system's own functions. Each writes one line through
// the process-wide FENWIX_WriteLog pointer, with the calling source file and
// line; when the library is not bound they do nothing. None of them changes
// the caller's last-error code, and none throws.
//
//   TORVA_TRACE_ENTER(L"CExpData::GetOptionData");          "[FUNC CALLED]%s()"  level 1
//   TORVA_TRACE_RETURN_TEXT(L"CExpData::Open", L"TRUE");     "%s() return (%s)"   level 1
//   TORVA_TRACE_RETURN_INT(name, result);                    "%s() return (%d)"   level 1
//   TORVA_TRACE_RETURN_HEX(name, hr);                        "%s() return (0x%08X)" level 1
//   TORVA_TRACE_RETURN_VOID(name);                           "%s() return "       level 1
//   TORVA_TRACE_ERROR(L"open failed l = %d", code);          level 1
//   TORVA_TRACE_DETAIL(L"pParent = 0x%08X", value);          level 3
//
// Format strings follow the Microsoft wide printf rules: "%s" takes a wide
// string. Arguments must be plain values (numbers, pointers, C strings).
#pragma once

#include "LastErrorKeeper.h"
#include "TraceHook.h"

#include <type_traits>

namespace torva::trace {

inline constexpr int kFunctionLevel = 1; // entry, exit and error lines
inline constexpr int kDetailLevel = 3;   // branch markers, parameter dumps

template <typename... Args>
void Write(int level, const wchar_t* sourceFile, int line, const wchar_t* format,
           Args... args) noexcept {
    static_assert((std::is_trivially_copyable_v<Args> && ...),
                  "trace arguments pass through C varargs: use .c_str() for strings");
    const FENWIX_WRITELOG_FN writeLog = TraceHook::WriteLogFunction();
    if (!writeLog) return;
    LastErrorKeeper keepLastError;
    writeLog(level, sourceFile, line, format, args...);
}

inline void Enter(const wchar_t* sourceFile, int line, const wchar_t* function) noexcept {
    Write(kFunctionLevel, sourceFile, line, L"[FUNC CALLED]%s()", function);
}
inline void ReturnText(const wchar_t* sourceFile, int line, const wchar_t* function,
                       const wchar_t* text) noexcept {
    Write(kFunctionLevel, sourceFile, line, L"%s() return (%s)", function, text);
}
inline void ReturnInt(const wchar_t* sourceFile, int line, const wchar_t* function,
                      int value) noexcept {
    Write(kFunctionLevel, sourceFile, line, L"%s() return (%d)", function, value);
}
inline void ReturnHex(const wchar_t* sourceFile, int line, const wchar_t* function,
                      unsigned value) noexcept {
    Write(kFunctionLevel, sourceFile, line, L"%s() return (0x%08X)", function, value);
}
inline void ReturnVoid(const wchar_t* sourceFile, int line, const wchar_t* function) noexcept {
    Write(kFunctionLevel, sourceFile, line, L"%s() return ", function);
}

} // namespace torva::trace

#define TORVA_TRACE_WIDEN_(text) L##text
#define TORVA_TRACE_WIDEN(text) TORVA_TRACE_WIDEN_(text)
// The source file as the log shows it: ".\" and the file's name.
#define TORVA_TRACE_FILE (L".\\" TORVA_TRACE_WIDEN(__FILE_NAME__))

#define TORVA_TRACE_ENTER(function) ::torva::trace::Enter(TORVA_TRACE_FILE, __LINE__, function)
#define TORVA_TRACE_RETURN_TEXT(function, text)                                                    \
    ::torva::trace::ReturnText(TORVA_TRACE_FILE, __LINE__, function, text)
#define TORVA_TRACE_RETURN_INT(function, value)                                                    \
    ::torva::trace::ReturnInt(TORVA_TRACE_FILE, __LINE__, function, static_cast<int>(value))
#define TORVA_TRACE_RETURN_HEX(function, value)                                                    \
    ::torva::trace::ReturnHex(TORVA_TRACE_FILE, __LINE__, function, static_cast<unsigned>(value))
#define TORVA_TRACE_RETURN_VOID(function)                                                          \
    ::torva::trace::ReturnVoid(TORVA_TRACE_FILE, __LINE__, function)
#define TORVA_TRACE_ERROR(...)                                                                     \
    ::torva::trace::Write(::torva::trace::kFunctionLevel, TORVA_TRACE_FILE, __LINE__, __VA_ARGS__)
#define TORVA_TRACE_DETAIL(...)                                                                    \
    ::torva::trace::Write(::torva::trace::kDetailLevel, TORVA_TRACE_FILE, __LINE__, __VA_ARGS__)
