#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "vornpath/async/Mutex.h"

using namespace vornpath::async;

namespace {

TEST(NullMutex, StatusIsAlwaysSuccess) {
    NullMutex mutex;
    mutex.Lock();
    const OperationResult status = mutex.GetStatus();
    mutex.Unlock();
    EXPECT_EQ(0, status.status);
    EXPECT_EQ(L"", status.message);
    EXPECT_EQ(0, status.error.value());
    EXPECT_EQ(std::system_category(), status.error.category());
}

class RecordingMutex : public Mutex {
public:
    void Lock() override { calls += "L"; }
    void Unlock() override { calls += "U"; }
    OperationResult GetStatus() override { return OperationResult(); }
    std::string calls;
};

TEST(ScopedLock, UnlocksOnEveryWayOut) {
    RecordingMutex mutex;
    {
        ScopedLock lock(&mutex);
        EXPECT_EQ("L", mutex.calls);
    }
    EXPECT_EQ("LU", mutex.calls);

    EXPECT_THROW(
        {
            ScopedLock lock(&mutex);
            throw std::runtime_error("operation failed");
        },
        std::runtime_error);
    EXPECT_EQ("LULU", mutex.calls);
}

}  // namespace
