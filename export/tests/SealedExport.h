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
// Whether decrypted bytes are the clear field: as they are (up to a zero),
// as UTF-16 text in code page 932, as hex digits or as base64.
bool OpensTo(const std::vector<BYTE>& clear, const std::string& expected);

struct Comparison {
    bool matches = false;    // same lines and fields, every sealed field opened to the clear one
    size_t lines = 0;
    size_t opened = 0;       // fields that differed and opened with the passphrase
    std::string mismatch;    // where the first difference is
};
Comparison CompareSealedWithClear(const std::string& sealedText, const std::string& clearText,
                                  const std::wstring& passphrase);

}  // namespace sealed_export
