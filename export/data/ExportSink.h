// Where the record writers append their lines: the open export file.
#pragma once

#include <windows.h>

#include <string>

class ExportSink {
public:
    explicit ExportSink(HANDLE file) noexcept : m_file(file) {}
    // A sink that accepts everything and keeps nothing.
    static ExportSink Discarding() noexcept {
        ExportSink sink(nullptr);
        sink.m_discard = true;
        return sink;
    }
    // Writes all of bytes at the end of the file (at its start when
    // atStart); false when a write failed or wrote nothing.
    [[nodiscard]] bool Append(const std::string& bytes, bool atStart = false);

private:
    HANDLE m_file;
    bool m_discard = false;
};
