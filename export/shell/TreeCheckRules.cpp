#include "TreeCheckRules.h"

namespace vantrel {

bool TreeCheckRules::IsChecked(HTREEITEM item) const {
    return TreeView_GetCheckState(m_tree, item) == 1;
}

void TreeCheckRules::SetChecked(HTREEITEM item, bool checked) const {
    TreeView_SetCheckState(m_tree, item, checked ? TRUE : FALSE);
}

void TreeCheckRules::AfterToggle(HTREEITEM item) const {
    if (!item) return;
    Apply(item, IsChecked(item));
}

bool TreeCheckRules::OnSpace() const {
    HTREEITEM item = TreeView_GetSelection(m_tree);
    if (!item) return false;
    Apply(item, !IsChecked(item));
    return true;
}

void TreeCheckRules::Apply(HTREEITEM item, bool checked) const {
    if (!m_checkable(item)) {
        SetChecked(item, false);
        return;
    }
    SetChecked(item, checked);
    SetDescendants(item, checked);
    for (HTREEITEM parent = TreeView_GetParent(m_tree, item); parent;
         parent = TreeView_GetParent(m_tree, parent)) {
        if (!m_checkable(parent)) continue;
        if (!checked) {
            SetChecked(parent, false);
            continue;
        }
        if (!AllDescendantsChecked(parent, item)) break;
        SetChecked(parent, true);
    }
}

void TreeCheckRules::SetDescendants(HTREEITEM item, bool checked) const {
    for (HTREEITEM child = TreeView_GetChild(m_tree, item); child;
         child = TreeView_GetNextSibling(m_tree, child)) {
        if (!m_checkable(child)) {
            // Never checked, and nothing below it is reached from here.
            SetChecked(child, false);
            continue;
        }
        SetChecked(child, checked);
        SetDescendants(child, checked);
    }
}

bool TreeCheckRules::AllDescendantsChecked(HTREEITEM item, HTREEITEM except) const {
    for (HTREEITEM child = TreeView_GetChild(m_tree, item); child;
         child = TreeView_GetNextSibling(m_tree, child)) {
        if (child == except) continue;
        if (!IsChecked(child) || !AllDescendantsChecked(child, except)) return false;
    }
    return true;
}

bool TreeCheckRules::IsAnyChecked(HTREEITEM start) const {
    for (HTREEITEM item = start ? start : TreeView_GetRoot(m_tree); item;
         item = TreeView_GetNextSibling(m_tree, item)) {
        if (IsChecked(item)) return true;
        HTREEITEM child = TreeView_GetChild(m_tree, item);
        if (child && IsAnyChecked(child)) return true;
    }
    return false;
}

std::vector<HTREEITEM> TreeCheckRules::CheckedItems(const std::function<int(HTREEITEM)>& typeOf,
                                                    HTREEITEM start) const {
    std::vector<HTREEITEM> items;
    std::function<void(HTREEITEM)> walk = [&](HTREEITEM first) {
        for (HTREEITEM item = first; item; item = TreeView_GetNextSibling(m_tree, item)) {
            if (IsChecked(item)) {
                const int type = typeOf(item);
                if (type != 0 && type != 16 && type != 17 && type != 32 && type != 80)
                    items.push_back(item);
            }
            walk(TreeView_GetChild(m_tree, item));
        }
    };
    walk(start ? start : TreeView_GetRoot(m_tree));
    return items;
}

} // namespace vantrel
