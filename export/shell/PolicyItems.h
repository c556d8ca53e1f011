// The items of the tree's policy group: policy ids 2 to 9 as item types 33
// to 40, each labelled with the policy's display name.
#pragma once

#include <string>
#include <vector>

#include "CGetDB.h"

namespace vantrel {

struct PolicyItem {
    int type;
    std::wstring label;
};

// From the policy list as loaded (or not) into lists. Without the list every
// policy is shown, with an empty label; with it, an id without a row is left
// out.
std::vector<PolicyItem> MakePolicyItems(const CGetDB& lists);

} // namespace vantrel
