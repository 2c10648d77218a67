#include "allocation_failure.h"

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <new>

namespace {

std::atomic<std::size_t> g_failing_from{SIZE_MAX};

}  // namespace

LargeAllocationsFail::LargeAllocationsFail(std::size_t from_bytes) { g_failing_from = from_bytes; }

LargeAllocationsFail::~LargeAllocationsFail() { g_failing_from = SIZE_MAX; }

// Replaces the runtime's operator new in this program (array new comes here
// too); the runtime's operator delete frees with free, as for its own new.
void* operator new(std::size_t size) {
    if (size >= g_failing_from.load()) throw std::bad_alloc();
    if (void* memory = std::malloc(size != 0 ? size : 1)) return memory;
    throw std::bad_alloc();
}
