#include "RecordLine.h"

#include "AnsiText.h"
#include "TextEscape.h"

RecordLine::~RecordLine() {
    // Lines of an export without passphrase hold clear secrets.
    if (!m_text.empty()) ::SecureZeroMemory(m_text.data(), m_text.size());
}

void RecordLine::Close(Comma comma) {
    m_text += '"';
    if (comma == kWithComma) m_text += ',';
}

void RecordLine::Number(int64_t value, Comma comma) {
    Open();
    m_text += std::to_string(value);
    Close(comma);
}

void RecordLine::Text(const std::wstring& text, Comma comma) {
    Open();
    if (!AppendAnsi(text, m_text)) m_ok = false;
    Close(comma);
}

void RecordLine::PlainText(const std::wstring& text, Comma comma) {
    Text(EscapeText(text, kEscapeMode), comma);
}

void RecordLine::Secret(const BYTE* data, DWORD length, int fieldKind, Comma comma) {
    Open();
    if (m_sealer.Seal(data, length, fieldKind, m_text) != EncodeStatus::Ok) {
        m_ok = false;
    }
    Close(comma);
}

void RecordLine::SecretText(const std::wstring& text, int fieldKind, Comma comma) {
    Secret(reinterpret_cast<const BYTE*>(text.data()),
           static_cast<DWORD>(text.size() * sizeof(wchar_t)), fieldKind, comma);
}

void RecordLine::Empty(Comma comma) {
    Open();
    Close(comma);
}
