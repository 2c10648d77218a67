#pragma once
// Running out of memory on demand: while a LargeAllocationsFail lives, the
// test program's operator new throws std::bad_alloc for every request of at
// least the given size, as it would with the memory used up.
#include <cstddef>

class LargeAllocationsFail {
public:
    explicit LargeAllocationsFail(std::size_t from_bytes);
    ~LargeAllocationsFail();
    LargeAllocationsFail(const LargeAllocationsFail&) = delete;
    LargeAllocationsFail& operator=(const LargeAllocationsFail&) = delete;
};
