#include "alloc_failure.h"

#include <cstdlib>
#include <new>

namespace allocfail {
thread_local long failAfter = -1;
std::atomic<size_t> failAbove{0};
}  // namespace allocfail

using namespace allocfail;

void* operator new(size_t size) {
    const size_t above = failAbove.load();
    if (failAfter == 0 || (above != 0 && size > above)) {
        throw std::bad_alloc();
    }
    if (failAfter > 0) {
        --failAfter;
    }
    if (void* p = std::malloc(size == 0 ? 1 : size)) {
        return p;
    }
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, size_t) noexcept {
    std::free(p);
}
// Arrays (the library's receive buffers) fail alike.
void* operator new[](size_t size) {
    return operator new(size);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p, size_t) noexcept {
    std::free(p);
}
