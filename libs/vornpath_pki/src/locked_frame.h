#pragma once
// The frame of every store operation that reads or changes the maps: the
// store's mutex held until the operation returns, exceptions included, and
// its status asked once it is held.
#include "vornpath/async/Mutex.h"

namespace vornpath::pki {

class LockedFrame {
public:
    explicit LockedFrame(async::Mutex* mutex) : m_lock(mutex), m_ready(mutex->GetStatus().status == 0) {}
    LockedFrame(const LockedFrame&) = delete;
    LockedFrame& operator=(const LockedFrame&) = delete;

    // False: the operation ends with STORE_LOCK_FAILED before it touches
    // anything.
    bool ready() const { return m_ready; }

private:
    async::ScopedLock m_lock;
    bool m_ready;
};

}  // namespace vornpath::pki
