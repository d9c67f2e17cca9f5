// Replaces the non-throwing array allocation, which is the only allocation
// the library makes, so that a test can make any one of them fail. Include it
// in exactly one source file of a test program: it defines the replacement.
#ifndef VANTOR_TESTS_FAILING_ALLOCATION_H
#define VANTOR_TESTS_FAILING_ALLOCATION_H

#include <cstddef>
#include <new>

namespace {
int allocations = 0;  // non-throwing array allocations since the last reset
int failing = 0;      // which of them returns null; 0 for none
}  // namespace

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    if (++allocations == failing) return nullptr;
    try {
        return ::operator new[](size);  // pairs with the library's delete[]
    } catch (...) {
        return nullptr;
    }
}

#endif
