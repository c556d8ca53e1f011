// A machine described by the test: registry values, Windows version, folders,
// user and module names. Folders point into the test's temporary folder.
#pragma once

#include "LogEnvironment.h"

#include <map>

namespace torva::fenwix::testing {

class FakeLogEnvironment final : public LogEnvironment {
public:
    std::map<std::wstring, DWORD> settings;
    DWORD majorVersion = 10;
    std::optional<std::wstring> knownFolder;
    std::wstring fallbackFolder;
    std::optional<std::wstring> user;
    std::wstring executableName = L"app";
    std::map<HMODULE, std::wstring> moduleNames;
    int fallbackRequests = 0;

    std::optional<DWORD> ReadSetting(const wchar_t* valueName) override {
        const auto found = settings.find(valueName);
        if (found == settings.end()) return std::nullopt;
        return found->second;
    }
    DWORD WindowsMajorVersion() override { return majorVersion; }
    std::optional<std::wstring> KnownLogFolder() override { return knownFolder; }
    std::wstring FallbackLogFolder() override {
        ++fallbackRequests;
        return fallbackFolder;
    }
    std::optional<std::wstring> UserName() override { return user; }
    std::wstring ModuleBaseName(HMODULE module) override {
        if (module == nullptr) return executableName;
        const auto found = moduleNames.find(module);
        return found == moduleNames.end() ? std::wstring() : found->second;
    }
};

} // namespace torva::fenwix::testing
