// The real machine behind LogEnvironment: HKLM settings, the shell's known
// folder, the Windows drive, the token's account and module file names.
#pragma once

#include "LogEnvironment.h"

namespace torva::fenwix {

class SystemLogEnvironment final : public LogEnvironment {
public:
    std::optional<DWORD> ReadSetting(const wchar_t* valueName) override;
    DWORD WindowsMajorVersion() override;
    std::optional<std::wstring> KnownLogFolder() override;
    std::wstring FallbackLogFolder() override;
    std::optional<std::wstring> UserName() override;
    std::wstring ModuleBaseName(HMODULE module) override;

    // "<drive of windowsDirectory>\TorvaLog\"; drive "C:" when the Windows
    // directory is unknown or too short to hold one.
    static std::wstring FallbackFolderFor(const std::optional<std::wstring>& windowsDirectory);
    // File name of path without folder and without its last extension.
    static std::wstring BaseNameOf(const std::wstring& path);
};

} // namespace torva::fenwix
