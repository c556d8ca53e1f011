// The rules the export dialog applies to the target path and passphrase
// before the worker may start. Kept free of windows so both bitnesses test
// them directly; the dialog shows the message of the answer.
#pragma once

#include <string>

namespace vantrel {

// The path with ".csv" appended unless its extension (the text after the
// last ".") is exactly "csv"; "a.CSV" becomes "a.CSV.csv". An empty path
// stays empty.
std::wstring WithCsvExtension(const std::wstring& path);

// True when the path holds none of / , ; * ? " < > |.
bool HasNoForbiddenCharacter(const std::wstring& path);

// A dropped file is taken only when its extension (from the last ".", the
// dot included) is exactly ".csv".
bool IsDroppableCsv(const std::wstring& path);

enum class PathCheck {
    Accepted,
    EmptyPath,           // 22085
    ForbiddenCharacter,  // 22087
    ConfirmationDiffers, // 22088
    EmptyPassphrase,     // 22089: the user is asked whether to go on
};

// The checks in the order the dialog makes them; the first failing one is
// answered. EmptyPassphrase is a question, not a refusal.
PathCheck CheckExportInput(const std::wstring& path, const std::wstring& passphrase,
                           const std::wstring& confirmation);

// The string id that tells the user of the answer (0 for Accepted).
unsigned MessageIdOf(PathCheck check);

} // namespace vantrel
