// Entry and exit lines of one function as a scope object: the entry line is
// written at construction, the exit line when the scope ends, on every path
// (early returns and exceptions included). The exit line shows the result
// recorded last, or "return " with no value; its line number is that of the
// recording call (the entry line when a void function just ends).
//
//   BOOL CExpData::Open() {
//       TORVA_TRACE_SCOPE(L"CExpData::Open");
//       if (!m_db) TORVA_RETURN_BOOL(FALSE);
//       ...
//       TORVA_RETURN_INT(result);
//   }
//
// The object must not outlive the function-name string it was given. Neither
// line changes the caller's last-error code.
#pragma once

#include "Trace.h"

namespace torva::trace {

class TraceScope {
public:
    TraceScope(const wchar_t* function, const wchar_t* sourceFile, int line) noexcept;
    TraceScope(const TraceScope&) = delete;
    TraceScope& operator=(const TraceScope&) = delete;
    ~TraceScope();

    // Each records the result for the exit line and hands it back, so that
    // "return scope.Int(x, __LINE__);" returns x.
    int Int(int value, int line) noexcept;
    BOOL Bool(BOOL value, int line) noexcept;
    // Text must stay valid until the scope ends (a literal, typically).
    const wchar_t* Text(const wchar_t* text, int line) noexcept;
    // No value: "return ".
    void Void(int line) noexcept;
    template <typename T> T Hex(T value, int line) noexcept {
        Record(Kind::Hex, line);
        m_number = static_cast<unsigned>(value);
        return value;
    }

private:
    enum class Kind { Void, Int, Hex, Text };
    void Record(Kind kind, int line) noexcept;

    const wchar_t* m_function;
    const wchar_t* m_sourceFile;
    int m_line;
    Kind m_kind = Kind::Void;
    unsigned m_number = 0;
    const wchar_t* m_text = nullptr;
};

} // namespace torva::trace

#define TORVA_TRACE_SCOPE(function)                                                                \
    ::torva::trace::TraceScope torvaTraceScope(function, TORVA_TRACE_FILE, __LINE__)
#define TORVA_RETURN_INT(value) return torvaTraceScope.Int((value), __LINE__)
#define TORVA_RETURN_BOOL(value) return torvaTraceScope.Bool((value), __LINE__)
#define TORVA_RETURN_HEX(value) return torvaTraceScope.Hex((value), __LINE__)
#define TORVA_RETURN_VOID() return torvaTraceScope.Void(__LINE__)
