// PeltrixPin.exe: sets the PIN of the current Windows user (see PinTool.h).
#include "PinTool.h"
#include "StoreFormat.h"

#include <cstdio>

int wmain(int argc, wchar_t** argv) {
    try {
        const std::vector<std::wstring> arguments(argv + 1, argv + argc);
        const peltrix::ToolOutcome outcome =
            peltrix::PinTool::Run(arguments, peltrix::kProductSettingsRoot);
        std::fputs(outcome.text.c_str(), outcome.exitCode == 0 ? stdout : stderr);
        return outcome.exitCode;
    } catch (...) {
        std::fputs("PeltrixPin failed unexpectedly.\n", stderr);
        return 2;
    }
}
