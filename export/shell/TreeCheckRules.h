// The check rules of the item tree: a checked item checks its checkable
// descendants, an unchecked one unchecks its ancestors, and an ancestor is
// checked once everything below it is. Works on a tree control with check
// boxes; the view calls it after a click on a state icon and for the space
// bar.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <vector>

namespace vantrel {

class TreeCheckRules {
public:
    using Checkable = std::function<bool(HTREEITEM)>;

    TreeCheckRules(HWND tree, Checkable checkable)
        : m_tree(tree), m_checkable(std::move(checkable)) {}

    bool IsChecked(HTREEITEM item) const;
    void SetChecked(HTREEITEM item, bool checked) const;

    // After the control toggled the item (a click on its state icon): its
    // new state is spread; an uncheckable item is cleared.
    void AfterToggle(HTREEITEM item) const;

    // The space bar on the selected item. The caller must not pass the key
    // on: the control's own toggle would undo the state set here and check
    // an uncheckable item. Returns true when there was an item.
    bool OnSpace() const;

    // True when the item or anything below it (or after it, from the root
    // with null) is checked.
    bool IsAnyChecked(HTREEITEM start = nullptr) const;

    // The checked items from start (null: the root) in display order, the
    // item before its children, leaving out the groups that write nothing
    // themselves (types 0, 16, 17, 32 and 80).
    std::vector<HTREEITEM> CheckedItems(const std::function<int(HTREEITEM)>& typeOf,
                                        HTREEITEM start = nullptr) const;

private:
    void Apply(HTREEITEM item, bool checked) const;
    void SetDescendants(HTREEITEM item, bool checked) const;
    bool AllDescendantsChecked(HTREEITEM item, HTREEITEM except) const;

    HWND m_tree;
    Checkable m_checkable;
};

} // namespace vantrel
