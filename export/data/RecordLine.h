// One record line of the export file being built: quoted fields, each
// followed by a comma unless it is the line's last, and CR LF. The first
// field that cannot be written (a character outside the code page, a failed
// encryption) marks the whole line failed; such a line is never written.
#pragma once

#include "FieldSealer.h"

#include <cstdint>
#include <string>

class RecordLine {
public:
    enum Comma { kWithComma, kLast, kNoComma };

    explicit RecordLine(FieldSealer& sealer) : m_sealer(sealer) {}
    ~RecordLine();

    void Number(int64_t value, Comma comma = kWithComma);
    // A text of the store, already escaped.
    void Text(const std::wstring& text, Comma comma = kWithComma);
    // A text that was not escaped when loaded (application data, device texts).
    void PlainText(const std::wstring& text, Comma comma = kWithComma);
    void Secret(const BYTE* data, DWORD length, int fieldKind, Comma comma = kWithComma);
    // A text through the secret-field encoder as its UTF-16 bytes: the text
    // as held, which the encoder escapes only when it writes it unsealed.
    void SecretText(const std::wstring& text, int fieldKind, Comma comma = kWithComma);
    void Empty(Comma comma = kWithComma);
    void End() { m_text += "\r\n"; }

    bool Ok() const noexcept { return m_ok; }
    const std::string& Bytes() const noexcept { return m_text; }

private:
    void Open() { m_text += '"'; }
    void Close(Comma comma);

    FieldSealer& m_sealer;
    std::string m_text;
    bool m_ok = true;
};
