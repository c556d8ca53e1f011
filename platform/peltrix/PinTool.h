// PeltrixPin's commands, on a given settings root:
//   set <PIN>                       store the PIN's salted hash
//   clear                           remove the PIN
//   auto <case> allow|deny|ask      the AutoAnswer test facility for a case
#pragma once

#include "ToolArguments.h"

#include <string>
#include <vector>

namespace peltrix {

class PinTool {
public:
    static const char kUsage[];

    // arguments exclude the program name.
    static ToolOutcome Run(const std::vector<std::wstring>& arguments,
                           const std::wstring& settingsRoot);

private:
    static ToolOutcome Set(const std::wstring& pin, const std::wstring& settingsRoot);
    static ToolOutcome Clear(const std::wstring& settingsRoot);
    static ToolOutcome Auto(const std::wstring& authCase, const std::wstring& answer,
                            const std::wstring& settingsRoot);
};

} // namespace peltrix
