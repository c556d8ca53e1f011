// Test helpers: an export file taken apart into lines and fields, and a
// sealed export compared field by field with a clear export of the same
// items (each sealed field opened with the passphrase).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace sealed_export {

// The lines of a file, without their CR LF.
std::vector<std::string> Lines(const std::string& bytes);
// The quoted fields of a line ("\"" inside a field is kept as it is).
std::vector<std::string> Fields(const std::string& line);
// Whether decrypted bytes are the clear field: as they are (up to a zero) or
// escaped as a text field, as UTF-16 text in code page 932, as hex digits
// or as base64.
bool OpensTo(const std::vector<BYTE>& clear, const std::string& expected);

struct Comparison {
    bool matches = false; // same lines and fields, every sealed field opened to the clear one
    size_t lines = 0;
    size_t opened = 0;    // fields that differed and opened with the passphrase
    std::string mismatch; // where the first difference is
};
Comparison CompareSealedWithClear(const std::string& sealedText, const std::string& clearText,
                                  const std::wstring& passphrase);

// Every secret field of a sealed export of the fixture (export_fixture,
// without extra pages or applications), opened with the passphrase and
// compared byte for byte with the secret the fixture stored, whatever the
// clear export holds. A fault is also a kind of secret the fixture holds
// that no line carried, and a secret of the fixture found in the file in a
// form an unsealed export gives it (code page 932 text, escaped or not,
// hexadecimal, base64).
struct SecretsCheck {
    std::vector<std::string> faults;
    std::vector<std::string> kinds; // the kinds of secret met, each named once
    size_t fields = 0;              // secret fields opened and matched
};
SecretsCheck CheckFixtureSecrets(const std::string& sealedText, const std::wstring& passphrase);

} // namespace sealed_export
