#include "FixtureTool.h"

#include "Peltrix.h"
#include "SecretSession.h"
#include "SettingsKey.h"
#include "StoreFormat.h"

namespace peltrix {
namespace {

std::wstring SecretsPath(const std::wstring& settingsRoot) {
    return settingsRoot + L"\\" + kSecretsKey;
}

} // namespace

const char FixtureTool::kUsage[] = "Usage: PeltrixFixture rule <hex>\n"
                                   "       PeltrixFixture secret <kind 1-4> <index> <hex>\n"
                                   "       PeltrixFixture pincache <n>\n"
                                   "       PeltrixFixture clear\n";

ToolOutcome FixtureTool::Run(const std::vector<std::wstring>& arguments,
                             const std::wstring& settingsRoot) {
    if (arguments.empty()) return ToolArguments::BadUse("No command given.", kUsage);
    const std::wstring& command = arguments[0];
    if (command == L"rule" && arguments.size() == 2) {
        return WriteBinary(settingsRoot, kAuthRuleValue, arguments[1], "Rule");
    }
    if (command == L"secret" && arguments.size() == 4) return Secret(arguments, settingsRoot);
    if (command == L"pincache" && arguments.size() == 2) {
        return PinCache(arguments[1], settingsRoot);
    }
    if (command == L"clear" && arguments.size() == 1) return Clear(settingsRoot);
    return ToolArguments::BadUse("Unknown command or wrong number of arguments.", kUsage);
}

ToolOutcome FixtureTool::WriteBinary(const std::wstring& settingsRoot, const std::wstring& name,
                                     const std::wstring& hex, const std::string& what) {
    std::vector<BYTE> bytes;
    if (!ToolArguments::ParseHex(hex, bytes)) {
        return ToolArguments::BadUse("The data is pairs of hex digits.", kUsage);
    }
    SettingsKey key;
    DWORD status = SettingsKey::Open(SecretsPath(settingsRoot), true, key);
    if (status == TVRAUTH_OK) {
        status = key.WriteBinary(name, bytes.empty() ? nullptr : bytes.data(),
                                 static_cast<DWORD>(bytes.size()));
    }
    if (status != TVRAUTH_OK) return ToolArguments::Failed("Writing the " + what, status);
    return ToolArguments::Done(what + " stored (" + std::to_string(bytes.size()) + " bytes).\n");
}

ToolOutcome FixtureTool::Secret(const std::vector<std::wstring>& arguments,
                                const std::wstring& settingsRoot) {
    DWORD kind = 0;
    DWORD index = 0;
    if (!ToolArguments::ParseDword(arguments[1], kind) || kind < kFirstDeviceKind ||
        kind > kLastDeviceKind) {
        return ToolArguments::BadUse("The device kind is 1 to 4.", kUsage);
    }
    if (!ToolArguments::ParseDword(arguments[2], index) || index == 0) {
        return ToolArguments::BadUse("The index is a number from 1.", kUsage);
    }
    return WriteBinary(settingsRoot, SecretSession::SecretName(kind, index), arguments[3],
                       "Secret " + std::to_string(kind) + "/" + std::to_string(index));
}

ToolOutcome FixtureTool::PinCache(const std::wstring& value, const std::wstring& settingsRoot) {
    DWORD cacheTime = 0;
    if (!ToolArguments::ParseDword(value, cacheTime)) {
        return ToolArguments::BadUse("The PIN cache time is a decimal number.", kUsage);
    }
    SettingsKey key;
    DWORD status = SettingsKey::Open(SecretsPath(settingsRoot), true, key);
    if (status == TVRAUTH_OK) status = key.WriteDword(kPinCacheTimeValue, cacheTime);
    if (status != TVRAUTH_OK) return ToolArguments::Failed("Writing the PIN cache time", status);
    return ToolArguments::Done("PIN cache time set to " + std::to_string(cacheTime) + ".\n");
}

ToolOutcome FixtureTool::Clear(const std::wstring& settingsRoot) {
    const DWORD status = SettingsKey::DeleteTree(SecretsPath(settingsRoot));
    if (status != TVRAUTH_OK) return ToolArguments::Failed("Clearing the secret store", status);
    return ToolArguments::Done("Secret store cleared.\n");
}

} // namespace peltrix
