#include "work_split.h"

#include <thread>
#include <vector>

namespace Vantor {
namespace work {

namespace {

// One range, run on a thread of its own or left for the caller. A type of
// this file only: the standard library's thread and vector code made for it
// is then hidden too, and stays out of the library's exports.
struct Range {
    const RangeBody* body;
    int part;
    std::int64_t begin, end;
    void operator()() const { (*body)(part, begin, end); }
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
    std::vector<std::thread> started;
    std::vector<Range> inline_parts;
    try {
        started.reserve(static_cast<std::size_t>(parts - 1));
        inline_parts.reserve(static_cast<std::size_t>(parts - 1));
    } catch (...) {
        // No room even to track the threads: run everything here.
        body(0, 0, count);
        return;
    }
    for (int part = 1; part < parts; ++part) {
        try {
            started.emplace_back(Range{&body, part, beginOf(part), beginOf(part + 1)});
        } catch (...) {
            // The system refused a thread (or its stack): this range runs
            // on the caller after its own, with the same result.
            inline_parts.push_back(Range{&body, part, beginOf(part), beginOf(part + 1)});
        }
    }
    body(0, 0, beginOf(1));
    for (const Range& range : inline_parts) range();
    for (std::thread& t : started) t.join();
}

}  // namespace work
}  // namespace Vantor
