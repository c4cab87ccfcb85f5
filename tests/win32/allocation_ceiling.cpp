// The test program's replacement of the global allocation functions, alone in its file so that
// no caller is inlined against it.
#include "allocation_ceiling.h"

#include <cstdlib>
#include <new>

namespace {
std::size_t g_ceiling = 0;
}  // namespace

namespace quillet::test {
void SetAllocationCeiling(std::size_t bytes) {
    g_ceiling = bytes;
}
}  // namespace quillet::test

void* operator new(std::size_t size) {
    if (g_ceiling != 0 && size > g_ceiling) throw std::bad_alloc();
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
