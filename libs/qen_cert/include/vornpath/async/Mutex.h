#pragma once
// The lock that every certificate-store operation goes through.
#include "vornpath/async/OperationResult.h"

namespace vornpath::async {

class Mutex {
public:
    virtual ~Mutex() = default;
    virtual void Lock() = 0;
    virtual void Unlock() = 0;
    // Asked after locking; a status other than 0 makes the operation fail.
    virtual OperationResult GetStatus() = 0;
};

// The lock that does nothing: the programs never share a store between
// threads. One static instance serves every store.
class NullMutex final : public Mutex {
public:
    void Lock() override {}
    void Unlock() override {}
    OperationResult GetStatus() override { return OperationResult(); }
};

// Locks on construction and unlocks on every way out, exceptions included.
class ScopedLock {
public:
    explicit ScopedLock(Mutex* mutex) : m_mutex(mutex) { m_mutex->Lock(); }
    ~ScopedLock() noexcept { m_mutex->Unlock(); }
    ScopedLock(const ScopedLock&) = delete;
    ScopedLock& operator=(const ScopedLock&) = delete;

private:
    Mutex* m_mutex;  // not owned
};

}  // namespace vornpath::async
