// PeltrixFixture's commands, filling the secret store of a settings root:
//   rule <hex>                    the authentication rule bytes
//   secret <kind> <index> <hex>   a device secret (kind 1-4, index from 1)
//   pincache <n>                  the PIN cache time
//   clear                         remove the whole secret store
#pragma once

#include "ToolArguments.h"

#include <string>
#include <vector>

namespace peltrix {

class FixtureTool {
public:
    static const char kUsage[];

    // arguments exclude the program name.
    static ToolOutcome Run(const std::vector<std::wstring>& arguments,
                           const std::wstring& settingsRoot);

private:
    static ToolOutcome WriteBinary(const std::wstring& settingsRoot, const std::wstring& name,
                                   const std::wstring& hex, const std::string& what);
    static ToolOutcome Secret(const std::vector<std::wstring>& arguments,
                              const std::wstring& settingsRoot);
    static ToolOutcome PinCache(const std::wstring& value, const std::wstring& settingsRoot);
    static ToolOutcome Clear(const std::wstring& settingsRoot);
};

} // namespace peltrix
