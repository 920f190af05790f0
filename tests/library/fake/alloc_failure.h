// Allocation failure on demand (operator new and new[] replaced in
// alloc_failure.cpp).
#pragma once

#include <atomic>
#include <cstddef>

namespace allocfail {
// The n-th allocation from now on this thread throws std::bad_alloc; -1: none.
extern thread_local long failAfter;
// Every allocation above this size throws, on any thread; 0: none.
extern std::atomic<size_t> failAbove;
}  // namespace allocfail
