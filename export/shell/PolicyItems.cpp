#include "PolicyItems.h"

namespace vantrel {

std::vector<PolicyItem> MakePolicyItems(const CGetDB& lists) {
    // Without the list FindPolicy answers an empty row for every id: the
    // policies are still there to export, only their names are unknown.
    std::vector<PolicyItem> items;
    for (int id = 2; id <= 9; ++id) {
        if (const AuthPolicyRow* row = lists.FindPolicy(id))
            items.push_back(PolicyItem{31 + id, row->displayName});
    }
    return items;
}

} // namespace vantrel
