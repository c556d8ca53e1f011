// What the preview's bound elements showed at one moment, taken on the
// window's thread before a save worker starts. The page's objects belong to
// the window's thread, so a worker never calls into them: while a thread has
// a snapshot installed (SnapshotScope), the element readers of
// CTvrIEToolDlgElements.h answer from it, and an element it does not hold
// reads as not bound.
//
// Threads: taken and cleared on the window's thread while no worker runs;
// read by the one worker that installed it.
#pragma once

#include "ElementRef.h"

#include <map>
#include <optional>
#include <string>

namespace mablix {

class BoundSnapshot {
public:
    struct Values {
        std::optional<std::wstring> text;
        std::optional<bool> checked;
        std::optional<bool> selected;
    };

    // Records what the element shows now (nothing for an unbound holder).
    void Take(const ElementRef& element);
    void Clear() noexcept { m_values.clear(); }
    bool Empty() const noexcept { return m_values.empty(); }
    // What the holder's element showed, or null when it was not bound.
    const Values* Find(const ElementRef& element) const;

private:
    // By the holder's address: holders stay where they are while a save
    // runs, and the element pointer is never followed on the worker.
    std::map<const ElementRef*, Values> m_values;
};

// The snapshot the calling thread reads from, or null.
const BoundSnapshot* InstalledSnapshot() noexcept;

// Installs a snapshot for the calling thread for the scope's life.
class SnapshotScope {
public:
    explicit SnapshotScope(const BoundSnapshot* snapshot) noexcept;
    ~SnapshotScope();
    SnapshotScope(const SnapshotScope&) = delete;
    SnapshotScope& operator=(const SnapshotScope&) = delete;

private:
    const BoundSnapshot* m_previous;
};

} // namespace mablix
