#include "PinTool.h"

#include "AutoAnswerStore.h"
#include "Peltrix.h"
#include "PinStore.h"

namespace peltrix {

const char PinTool::kUsage[] = "Usage: PeltrixPin set <PIN>\n"
                               "       PeltrixPin clear\n"
                               "       PeltrixPin auto <case> allow|deny|ask\n";

ToolOutcome PinTool::Run(const std::vector<std::wstring>& arguments,
                         const std::wstring& settingsRoot) {
    if (arguments.empty()) return ToolArguments::BadUse("No command given.", kUsage);
    const std::wstring& command = arguments[0];
    if (command == L"set" && arguments.size() == 2) return Set(arguments[1], settingsRoot);
    if (command == L"clear" && arguments.size() == 1) return Clear(settingsRoot);
    if (command == L"auto" && arguments.size() == 3) {
        return Auto(arguments[1], arguments[2], settingsRoot);
    }
    return ToolArguments::BadUse("Unknown command or wrong number of arguments.", kUsage);
}

ToolOutcome PinTool::Set(const std::wstring& pin, const std::wstring& settingsRoot) {
    if (!PinStore::IsAcceptablePin(pin)) {
        return ToolArguments::BadUse("A PIN has 1 to " + std::to_string(kMaxPinChars) +
                                         " characters and no control characters.",
                                     kUsage);
    }
    const DWORD status = PinStore(settingsRoot).SetPin(pin);
    if (status != TVRAUTH_OK) return ToolArguments::Failed("Setting the PIN", status);
    return ToolArguments::Done("PIN set.\n");
}

ToolOutcome PinTool::Clear(const std::wstring& settingsRoot) {
    const DWORD status = PinStore(settingsRoot).ClearPin();
    if (status == TVRAUTH_E_NOT_FOUND) return ToolArguments::Done("No PIN was set.\n");
    if (status != TVRAUTH_OK) return ToolArguments::Failed("Clearing the PIN", status);
    return ToolArguments::Done("PIN cleared.\n");
}

ToolOutcome PinTool::Auto(const std::wstring& authCase, const std::wstring& answer,
                          const std::wstring& settingsRoot) {
    DWORD caseNumber = 0;
    if (!ToolArguments::ParseDword(authCase, caseNumber)) {
        return ToolArguments::BadUse("The case is a decimal number.", kUsage);
    }
    AutoAnswer value;
    std::string effect;
    if (answer == L"allow") {
        value = AutoAnswer::Allow;
        effect = " is now allowed without a dialog (test facility).\n";
    } else if (answer == L"deny") {
        value = AutoAnswer::Deny;
        effect = " is now denied without a dialog (test facility).\n";
    } else if (answer == L"ask") {
        value = AutoAnswer::Ask;
        effect = " now asks the user for the PIN.\n";
    } else {
        return ToolArguments::BadUse("The answer is allow, deny or ask.", kUsage);
    }
    const DWORD status = AutoAnswerStore(settingsRoot).Set(caseNumber, value);
    if (status != TVRAUTH_OK) return ToolArguments::Failed("Setting the automatic answer", status);
    return ToolArguments::Done("Case " + std::to_string(caseNumber) + effect);
}

} // namespace peltrix
