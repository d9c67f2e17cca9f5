// The library's only way of starting threads. Additions whose call asks for
// more than one thread split their independent work (items of a scan,
// features of an update, rows of a table, whole restarts) into contiguous
// ranges and hand them to splitWork; nothing else in the library creates a
// thread, so the C entries and the class methods never do.
//
// Every range is computed by the same code whatever the thread count, and
// the ranges never share an output, so the bits do not depend on how many
// threads ran.
#ifndef VANTOR_SRC_WORK_SPLIT_H
#define VANTOR_SRC_WORK_SPLIT_H

#include <cstdint>
#include <functional>

namespace Vantor {
namespace work {

// The thread count a caller's request means: 0 is every core the system
// reports (at least 1), a positive count is itself, anything below 0 is 1.
int resolveThreads(int requested);

// The body of one range [begin, end) of the work; `part` numbers the ranges
// 0 .. parts-1 in order, so a body may keep per-part scratch.
using RangeBody = std::function<void(int part, std::int64_t begin, std::int64_t end)>;

// The number of ranges splitWork makes for `count` units on `threads`
// threads: min(threads, count), and 1 when either is below 1.
int partsFor(int threads, std::int64_t count);

// Runs body over [0, count) cut into partsFor(threads, count) contiguous
// ranges of near-equal size (the first count % parts ranges one unit
// longer), range 0 on the calling thread and the others on threads started
// for this call and joined before it returns. When a thread cannot be
// started, its range runs on the calling thread instead: never a failure,
// only less parallel. count <= 0 runs nothing.
void splitWork(int threads, std::int64_t count, const RangeBody& body);

// Threads kept for the length of one call that splits work many times (a
// clustering run splits every pass twice), so that each split wakes waiting
// threads instead of starting new ones. run() cuts the work into exactly the
// ranges splitWork(threads, ...) cuts it into, range 0 on the calling thread;
// a range whose thread could not be started runs on the caller after its
// own. One caller at a time.
class Pool {
public:
    explicit Pool(int threads);
    ~Pool();
    Pool(const Pool&) = delete;
    Pool& operator=(const Pool&) = delete;

    int threads() const { return threads_; }
    void run(std::int64_t count, const RangeBody& body);

    // The loop of pool thread `worker` (1 .. threads - 1); only the threads
    // the pool starts call it.
    void work(int worker);

private:
    struct Shared;

    int threads_;
    Shared* shared_ = nullptr;  // null when no thread could be started
};

}  // namespace work
}  // namespace Vantor

#endif
