// Databases with known content written straight through the database
// library, and the damage a test does to their files.
#pragma once

#include <string>

namespace dbservice::test {

// Key "K" with five numbers: six complete records after the file header.
void WriteSample(const std::wstring& folder, const std::wstring& name);
// The first generation file of a database.
std::wstring FileOf(const std::wstring& folder, const std::wstring& name);
// Flips one payload byte of the first record (a complete one, followed by others).
void FlipFirstRecordByte(const std::wstring& folder, const std::wstring& name);
// Cuts the last record short, as a writer dying half way through leaves it.
void TearTail(const std::wstring& folder, const std::wstring& name);

} // namespace dbservice::test
