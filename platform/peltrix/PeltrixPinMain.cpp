// PeltrixPin.exe: sets or clears the PIN of the current Windows user (see
// PinTool.h); the current PIN, once one is set, comes from standard input
// (see PinPrompt.h).
#include "PinPrompt.h"
#include "PinTool.h"
#include "StoreFormat.h"

#include <cstdio>

int wmain(int argc, wchar_t** argv) {
    try {
        const std::vector<std::wstring> arguments(argv + 1, argv + argc);
        const peltrix::ToolOutcome outcome =
            peltrix::PinTool::Run(arguments, peltrix::kProductSettingsRoot, [](std::wstring& pin) {
                std::fflush(stderr);
                return peltrix::PinPrompt::Read(::GetStdHandle(STD_INPUT_HANDLE),
                                                ::GetStdHandle(STD_ERROR_HANDLE), pin);
            });
        std::fputs(outcome.text.c_str(), outcome.exitCode == 0 ? stdout : stderr);
        return outcome.exitCode;
    } catch (...) {
        std::fputs("PeltrixPin failed unexpectedly.\n", stderr);
        return 2;
    }
}
