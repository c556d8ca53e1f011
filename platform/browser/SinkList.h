// The sinks advised on one connection point. The list owns one reference per
// sink until it is unadvised or the list is cleared (page torn down, browser
// quit), which is what breaks the cycle of a sink that holds its page.
// Thread-safe; events are fired on a snapshot so that a sink may unadvise
// itself, or others, from inside its Invoke.
#pragma once

#include "ComPtr.h"

#include <mutex>
#include <utility>
#include <vector>

namespace torva::browser {

class SinkList {
public:
    DWORD Add(ComPtr<IDispatch> sink);
    [[nodiscard]] bool Remove(DWORD cookie);
    void Clear();
    std::vector<ComPtr<IDispatch>> Snapshot() const;
    size_t Size() const;

    // Calls Invoke(dispid) on every sink of a snapshot with the given
    // arguments, which stay owned by the caller.
    void Fire(DISPID dispid, DISPPARAMS* params) const;

private:
    mutable std::mutex m_lock;
    std::vector<std::pair<DWORD, ComPtr<IDispatch>>> m_sinks;
    DWORD m_nextCookie = 1;
};

} // namespace torva::browser
