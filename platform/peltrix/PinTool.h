// PeltrixPin's commands, on a given settings root:
//   set <PIN>    store the PIN's salted hash
//   clear        remove the PIN
// Once a PIN is set, both commands first take the current PIN from
// currentPin (PeltrixPin reads it from standard input, see PinPrompt.h) and
// change nothing unless it is right: whoever may replace or remove the PIN
// could otherwise let anyone in.
#pragma once

#include "ToolArguments.h"

#include <functional>
#include <string>
#include <vector>

namespace peltrix {

class PinTool {
public:
    static const char kUsage[];

    // Gives the current PIN; false when none could be read.
    using CurrentPinSource = std::function<bool(std::wstring& pin)>;

    // arguments exclude the program name. currentPin is called only when a
    // PIN is set. Exit code 3: the current PIN was missing or wrong.
    static ToolOutcome Run(const std::vector<std::wstring>& arguments,
                           const std::wstring& settingsRoot, const CurrentPinSource& currentPin);

private:
    static ToolOutcome Set(const std::wstring& pin, const std::wstring& settingsRoot,
                           const CurrentPinSource& currentPin);
    static ToolOutcome Clear(const std::wstring& settingsRoot, const CurrentPinSource& currentPin);
    // Done with empty text when no PIN is set or the current one was given;
    // otherwise the refusal to report.
    static ToolOutcome CheckCurrentPin(const std::wstring& settingsRoot,
                                       const CurrentPinSource& currentPin);
};

} // namespace peltrix
