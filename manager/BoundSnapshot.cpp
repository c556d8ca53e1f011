#include "BoundSnapshot.h"
#include "CTvrIEToolDlgElements.h"

namespace mablix {

namespace {
thread_local const BoundSnapshot* t_installed = nullptr;
} // namespace

void BoundSnapshot::Take(const ElementRef& element) {
    if (!element) return;
    Values values;
    values.text = ElementText(element);
    values.checked = ElementChecked(element);
    values.selected = OptionSelected(element);
    m_values[&element] = std::move(values);
}

const BoundSnapshot::Values* BoundSnapshot::Find(const ElementRef& element) const {
    const auto found = m_values.find(&element);
    return found == m_values.end() ? nullptr : &found->second;
}

const BoundSnapshot* InstalledSnapshot() noexcept {
    return t_installed;
}

SnapshotScope::SnapshotScope(const BoundSnapshot* snapshot) noexcept : m_previous(t_installed) {
    t_installed = snapshot;
}

SnapshotScope::~SnapshotScope() {
    t_installed = m_previous;
}

} // namespace mablix
