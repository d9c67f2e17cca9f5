#include "work_split.h"

#include <condition_variable>
#include <cstddef>
#include <mutex>
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

namespace {

// Where range `part` of `parts` over [0, count) begins: the first
// count % parts ranges are one unit longer.
std::int64_t beginOf(std::int64_t count, int parts, int part) {
    const std::int64_t p = part, base = count / parts, longer = count % parts;
    return p * base + (p < longer ? p : longer);
}

}  // namespace

void splitWork(int threads, std::int64_t count, const RangeBody& body) {
    if (count <= 0) return;
    const int parts = partsFor(threads, count);
    auto beginOf = [&](int part) { return work::beginOf(count, parts, part); };
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

// What the caller and the pool's threads share: the current split, a
// generation number that tells the threads a new one is there, and how many
// of its ranges are still running.
struct Pool::Shared {
    std::mutex mutex;
    std::condition_variable wake, done;
    std::uint64_t generation = 0;
    bool stopping = false;
    const RangeBody* body = nullptr;
    std::int64_t count = 0;
    int parts = 0;
    int running = 0;
    Worker* workers = nullptr;  // threads_ - 1 of them
};

namespace {

// The body of a pool thread, a type of this file for the same reason as Range.
struct PoolLoop {
    Pool* pool;
    int worker;
    void operator()() const;
};

}  // namespace

Pool::Pool(int threads) : threads_(threads < 1 ? 1 : threads) {
    if (threads_ == 1) return;
    shared_ = new (std::nothrow) Shared;
    if (shared_ != nullptr) {
        shared_->workers = new (std::nothrow) Worker[static_cast<std::size_t>(threads_ - 1)];
    }
    if (shared_ == nullptr || shared_->workers == nullptr) {
        delete shared_;
        shared_ = nullptr;
        return;
    }
    for (int w = 1; w < threads_; ++w) {
        try {
            shared_->workers[w - 1].thread = std::thread(PoolLoop{this, w});
            shared_->workers[w - 1].started = true;
        } catch (...) {
            // Its ranges run on the caller instead.
        }
    }
}

Pool::~Pool() {
    if (shared_ == nullptr) return;
    {
        std::lock_guard<std::mutex> lock(shared_->mutex);
        shared_->stopping = true;
    }
    shared_->wake.notify_all();
    for (int w = 1; w < threads_; ++w) {
        if (shared_->workers[w - 1].started) shared_->workers[w - 1].thread.join();
    }
    delete[] shared_->workers;
    delete shared_;
}

void PoolLoop::operator()() const { pool->work(worker); }

void Pool::work(int worker) {
    std::uint64_t seen = 0;
    for (;;) {
        const RangeBody* body;
        std::int64_t count;
        int parts;
        {
            std::unique_lock<std::mutex> lock(shared_->mutex);
            shared_->wake.wait(lock, [&] { return shared_->stopping || shared_->generation != seen; });
            if (shared_->stopping) return;
            seen = shared_->generation;
            body = shared_->body;
            count = shared_->count;
            parts = shared_->parts;
        }
        if (worker < parts) {
            (*body)(worker, beginOf(count, parts, worker), beginOf(count, parts, worker + 1));
            std::lock_guard<std::mutex> lock(shared_->mutex);
            if (--shared_->running == 0) shared_->done.notify_one();
        }
    }
}

void Pool::run(std::int64_t count, const RangeBody& body) {
    if (count <= 0) return;
    const int parts = partsFor(threads_, count);
    if (parts == 1 || shared_ == nullptr) {
        for (int part = 0; part < parts; ++part) {
            body(part, beginOf(count, parts, part), beginOf(count, parts, part + 1));
        }
        return;
    }
    int handedOut = 0;
    {
        std::lock_guard<std::mutex> lock(shared_->mutex);
        for (int part = 1; part < parts; ++part) handedOut += shared_->workers[part - 1].started;
        shared_->body = &body;
        shared_->count = count;
        shared_->parts = parts;
        shared_->running = handedOut;
        ++shared_->generation;
    }
    shared_->wake.notify_all();
    body(0, 0, beginOf(count, parts, 1));
    for (int part = 1; part < parts; ++part) {
        if (!shared_->workers[part - 1].started) {
            body(part, beginOf(count, parts, part), beginOf(count, parts, part + 1));
        }
    }
    std::unique_lock<std::mutex> lock(shared_->mutex);
    shared_->done.wait(lock, [&] { return shared_->running == 0; });
}

}  // namespace work
}  // namespace Vantor
