#include "work_split.h"

#include <cstddef>
#include <new>
#include <thread>

namespace Vantor {
namespace work {

namespace {

// One range handed to a thread. Its type is local to this file, so the
// thread machinery instantiated for it stays inside the library instead of
// joining its exported symbols (as it would for a std::function or a
// std::vector of threads).
struct Range {
    const RangeBody* body;
    int part;
    std::int64_t begin, end;
    void operator()() const { (*body)(part, begin, end); }
};

struct Worker {
    std::thread thread;
    bool started = false;
};

}  // namespace

int resolveThreads(int requested) {
    if (requested == 0) {
        const unsigned cores = std::thread::hardware_concurrency();
        return cores == 0 ? 1 : static_cast<int>(cores > 1024u ? 1024u : cores);
    }
    return requested < 1 ? 1 : requested;
}

int partsFor(int threads, std::int64_t count) {
    if (threads < 1 || count < 1) return 1;
    return count < threads ? static_cast<int>(count) : threads;
}

void splitWork(int threads, std::int64_t count, const RangeBody& body) {
    if (count <= 0) return;
    const int parts = partsFor(threads, count);
    const std::int64_t base = count / parts;
    const std::int64_t longer = count % parts;
    auto beginOf = [&](int part) {
        const std::int64_t p = part;
        return p * base + (p < longer ? p : longer);
    };
    if (parts == 1) {
        body(0, 0, count);
        return;
    }
    Worker* workers = new (std::nothrow) Worker[static_cast<std::size_t>(parts - 1)];
    if (workers == nullptr) {
        // No room even to track the threads: every range runs here, in order.
        for (int part = 0; part < parts; ++part) body(part, beginOf(part), beginOf(part + 1));
        return;
    }
    for (int part = 1; part < parts; ++part) {
        Worker& worker = workers[part - 1];
        try {
            worker.thread = std::thread(Range{&body, part, beginOf(part), beginOf(part + 1)});
            worker.started = true;
        } catch (...) {
            // The system refused a thread (or its stack): this range runs
            // on the caller after its own, with the same result.
        }
    }
    body(0, 0, beginOf(1));
    for (int part = 1; part < parts; ++part) {
        if (!workers[part - 1].started) body(part, beginOf(part), beginOf(part + 1));
    }
    for (int part = 1; part < parts; ++part) {
        if (workers[part - 1].started) workers[part - 1].thread.join();
    }
    delete[] workers;
}

}  // namespace work
}  // namespace Vantor
