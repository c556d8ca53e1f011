// Holds the store's request lock on the calling thread until released, as a
// request of another store does: a worker that needs the relay waits meanwhile.
#pragma once

#include "CExpData.h"

#include <windows.h>

class HeldRequestLock {
public:
    HeldRequestLock() : m_lock(m_store.GetSem()) {}
    ~HeldRequestLock() { Release(); }
    HeldRequestLock(const HeldRequestLock&) = delete;
    HeldRequestLock& operator=(const HeldRequestLock&) = delete;
    bool Held() const noexcept { return m_lock != nullptr; }
    void Release() {
        if (m_lock) m_store.PutSem(m_lock);
        m_lock = nullptr;
    }

private:
    CExpData m_store{false};
    HANDLE m_lock;
};
