// Reads back what the real library wrote for this test program. The library
// chooses its folder itself (the per-user low-integrity folder, or TorvaLog on
// the Windows drive), and the 32-bit and 64-bit runs of this program may
// write to the same file at once, so lines are found by a token unique to
// this process.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace torva::trace::testing {

// A token unique to this process and call.
std::wstring UniqueToken();
struct FoundLine {
    std::wstring fileName; // without folder
    std::string text;
};
// Every line of a program's log files that contains token, in file order;
// program is the executable's name without ".exe".
std::vector<FoundLine> LinesContaining(const std::wstring& token,
                                       const std::wstring& program = L"torva_trace_tests");
std::string Narrow(const std::wstring& ascii);

// Switches the bound library to level, whatever the machine's setting, and
// clears its state again at the end of the test.
class LibraryLevel {
public:
    explicit LibraryLevel(int level);
    LibraryLevel(const LibraryLevel&) = delete;
    LibraryLevel& operator=(const LibraryLevel&) = delete;
    ~LibraryLevel();

private:
    HMODULE m_library;
};

} // namespace torva::trace::testing
