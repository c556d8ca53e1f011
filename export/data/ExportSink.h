// Where the record writers append their lines: the open export file.
#pragma once

#include <windows.h>

#include <string>

class ExportSink {
public:
    explicit ExportSink(HANDLE file) noexcept : m_file(file) {}
    // Writes all of bytes at the end of the file (at its start when
    // atStart); false when a write failed or wrote nothing.
    [[nodiscard]] bool Append(const std::string& bytes, bool atStart = false);

private:
    HANDLE m_file;
};
