// Real allocation failures for tests: this test program's operator new refuses blocks above a
// ceiling while one is set.
#pragma once

#include <cstddef>

namespace quillet::test {

void SetAllocationCeiling(std::size_t bytes);  // 0: no ceiling

// Blocks larger than `bytes` cannot be had while it lives.
class AllocationCeiling {
public:
    explicit AllocationCeiling(std::size_t bytes) { SetAllocationCeiling(bytes); }
    ~AllocationCeiling() { SetAllocationCeiling(0); }
    AllocationCeiling(const AllocationCeiling&) = delete;
    AllocationCeiling& operator=(const AllocationCeiling&) = delete;
};

}  // namespace quillet::test
