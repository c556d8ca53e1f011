// Appends one line to a log file in code page 932.
#pragma once

#include <string>

namespace torva::fenwix {

class LogFileAppender {
public:
    // Converts line to code page 932 (characters it lacks become '?'), adds
    // CR LF and appends it, creating the file when missing. The conversion
    // never touches the C runtime's locale, which belongs to the host program.
    // Each call opens and closes the file, so other processes (and a support
    // engineer's editor) may read or rename it between lines. Appends from
    // several processes interleave by whole lines. Returns false when the
    // file cannot be opened or written.
    [[nodiscard]] static bool Append(const std::wstring& path, const std::wstring& line);

    // The bytes Append writes for line.
    static std::string Encode(const std::wstring& line);
};

} // namespace torva::fenwix
