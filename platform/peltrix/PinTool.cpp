#include "PinTool.h"

#include "Peltrix.h"
#include "PinStore.h"

namespace peltrix {
namespace {

constexpr int kRefused = 3;

} // namespace

const char PinTool::kUsage[] = "Usage: PeltrixPin set <PIN>\n"
                               "       PeltrixPin clear\n"
                               "Once a PIN is set, the current PIN is read from standard input.\n";

ToolOutcome PinTool::Run(const std::vector<std::wstring>& arguments,
                         const std::wstring& settingsRoot, const CurrentPinSource& currentPin) {
    if (arguments.empty()) return ToolArguments::BadUse("No command given.", kUsage);
    const std::wstring& command = arguments[0];
    if (command == L"set" && arguments.size() == 2) {
        return Set(arguments[1], settingsRoot, currentPin);
    }
    if (command == L"clear" && arguments.size() == 1) return Clear(settingsRoot, currentPin);
    return ToolArguments::BadUse("Unknown command or wrong number of arguments.", kUsage);
}

ToolOutcome PinTool::CheckCurrentPin(const std::wstring& settingsRoot,
                                     const CurrentPinSource& currentPin) {
    PinRecord record;
    DWORD status = PinStore(settingsRoot).Load(record);
    if (status == TVRAUTH_E_NOT_FOUND) return ToolArguments::Done("");
    if (status != TVRAUTH_OK) return ToolArguments::Failed("Reading the current PIN", status);

    std::wstring given;
    const bool read = currentPin && currentPin(given);
    if (!read || given.empty()) {
        return {kRefused, "A PIN is set: the current PIN is needed. Nothing changed.\n"};
    }
    status = PinStore::Check(record, given);
    SecureZeroMemory(&given[0], given.size() * sizeof(wchar_t));
    SecureZeroMemory(&record, sizeof(record));
    if (status == TVRAUTH_E_WRONG_PIN) {
        return {kRefused, "The current PIN is wrong. Nothing changed.\n"};
    }
    if (status != TVRAUTH_OK) return ToolArguments::Failed("Checking the current PIN", status);
    return ToolArguments::Done("");
}

ToolOutcome PinTool::Set(const std::wstring& pin, const std::wstring& settingsRoot,
                         const CurrentPinSource& currentPin) {
    if (!PinStore::IsAcceptablePin(pin)) {
        return ToolArguments::BadUse("A PIN has 1 to " + std::to_string(kMaxPinChars) +
                                         " characters and no control characters.",
                                     kUsage);
    }
    const ToolOutcome checked = CheckCurrentPin(settingsRoot, currentPin);
    if (checked.exitCode != 0) return checked;
    const DWORD status = PinStore(settingsRoot).SetPin(pin);
    if (status != TVRAUTH_OK) return ToolArguments::Failed("Setting the PIN", status);
    return ToolArguments::Done("PIN set.\n");
}

ToolOutcome PinTool::Clear(const std::wstring& settingsRoot, const CurrentPinSource& currentPin) {
    const ToolOutcome checked = CheckCurrentPin(settingsRoot, currentPin);
    if (checked.exitCode != 0) return checked;
    const DWORD status = PinStore(settingsRoot).ClearPin();
    if (status == TVRAUTH_E_NOT_FOUND) return ToolArguments::Done("No PIN was set.\n");
    if (status != TVRAUTH_OK) return ToolArguments::Failed("Clearing the PIN", status);
    return ToolArguments::Done("PIN cleared.\n");
}

} // namespace peltrix
