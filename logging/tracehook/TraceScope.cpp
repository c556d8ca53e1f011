#include "TraceScope.h"

namespace torva::trace {

TraceScope::TraceScope(const wchar_t* function, const wchar_t* sourceFile, int line) noexcept
    : m_function(function), m_sourceFile(sourceFile), m_line(line) {
    Enter(m_sourceFile, m_line, m_function);
}

TraceScope::~TraceScope() {
    switch (m_kind) {
    case Kind::Int:
        ReturnInt(m_sourceFile, m_line, m_function, static_cast<int>(m_number));
        break;
    case Kind::Hex:
        ReturnHex(m_sourceFile, m_line, m_function, m_number);
        break;
    case Kind::Text:
        ReturnText(m_sourceFile, m_line, m_function, m_text);
        break;
    case Kind::Void:
        ReturnVoid(m_sourceFile, m_line, m_function);
        break;
    }
}

void TraceScope::Record(Kind kind, int line) noexcept {
    m_kind = kind;
    m_line = line;
}

int TraceScope::Int(int value, int line) noexcept {
    Record(Kind::Int, line);
    m_number = static_cast<unsigned>(value);
    return value;
}

BOOL TraceScope::Bool(BOOL value, int line) noexcept {
    Text(value ? L"TRUE" : L"FALSE", line);
    return value;
}

void TraceScope::Void(int line) noexcept {
    Record(Kind::Void, line);
}

const wchar_t* TraceScope::Text(const wchar_t* text, int line) noexcept {
    Record(Kind::Text, line);
    m_text = text;
    return text;
}

} // namespace torva::trace
