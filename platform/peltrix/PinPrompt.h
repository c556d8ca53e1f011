// How PeltrixPin takes the current PIN: from its standard input, typed at a
// console without echo after a prompt, or as one line that a script pipes in
// (echo 1234| PeltrixPin set 5678). Standard input rather than an argument,
// so that the current PIN never shows in the process list.
#pragma once

#include <windows.h>

#include <string>

namespace peltrix {

class PinPrompt {
public:
    // The prompt goes to promptOutput (may be null). False when nothing
    // could be read: no input, or its end before any character.
    static bool Read(HANDLE input, HANDLE promptOutput, std::wstring& pin);

    // One line of bytes, UTF-8 or else the ANSI code page, without its end.
    static bool ReadLine(HANDLE input, std::wstring& line);

private:
    static bool ReadConsoleLine(HANDLE input, DWORD mode, std::wstring& line);
};

} // namespace peltrix
