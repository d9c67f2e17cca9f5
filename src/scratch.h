// Scratch arrays of the additions: allocated without throwing (a failed
// allocation is the caller's to handle, and no exception leaves the
// library) and freed on every way out.
#ifndef VANTOR_SRC_SCRATCH_H
#define VANTOR_SRC_SCRATCH_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>

namespace Vantor {

template <class T>
using Scratch = std::unique_ptr<T[]>;

// count elements (at least one), or null when there is no memory.
template <class T>
Scratch<T> allocateScratch(std::int64_t count) {
    return Scratch<T>(new (std::nothrow) T[static_cast<std::size_t>(count > 0 ? count : 1)]);
}

}  // namespace Vantor

#endif
