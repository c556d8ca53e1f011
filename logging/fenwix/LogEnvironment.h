// Everything the logger learns from the machine: settings, Windows version,
// folders, the user and module names. Injected so that tests neither depend on
// nor change the machine's registry and folders.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace torva::fenwix {

class LogEnvironment {
public:
    virtual ~LogEnvironment() = default;
    // A DWORD under HKLM SOFTWARE\Kobel\TORVA (32-bit view); nullopt when
    // missing or unreadable.
    virtual std::optional<DWORD> ReadSetting(const wchar_t* valueName) = 0;
    virtual DWORD WindowsMajorVersion() = 0;
    // The per-user low-integrity application-data folder, ending in a
    // backslash; nullopt when the shell cannot give it.
    virtual std::optional<std::wstring> KnownLogFolder() = 0;
    // The TorvaLog folder on the Windows drive, ending in a backslash; created
    // when missing (creation failures are left to the first write to notice).
    virtual std::wstring FallbackLogFolder() = 0;
    // "domain.account" of the thread's (else the process's) token.
    virtual std::optional<std::wstring> UserName() = 0;
    // Base name without extension of the module's file (null: the process
    // executable); empty when it cannot be taken.
    virtual std::wstring ModuleBaseName(HMODULE module) = 0;
};

} // namespace torva::fenwix
