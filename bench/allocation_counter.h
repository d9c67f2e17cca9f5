// Counts the bytes handed out by operator new in this process, the library's
// allocations included (the replacement below takes precedence over the
// standard one for every module loaded into the program).
#ifndef VANTOR_BENCH_ALLOCATION_COUNTER_H
#define VANTOR_BENCH_ALLOCATION_COUNTER_H

#include <cstddef>

namespace bench {

std::size_t bytesAllocated();

}  // namespace bench

#endif
