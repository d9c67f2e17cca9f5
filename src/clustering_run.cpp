// Whole clustering runs: from given prototypes, or seeded with restarts side
// by side. The passes themselves are in cached_pass.h, the seeding rules in
// seeder.h; this file checks the arguments, shares the threads and the
// cache's memory among the runs in flight, and keeps the best run.
#include "vantor/clustering_run.h"

#include <cmath>
#include <cstdint>
#include <utility>

#include "cached_pass.h"
#include "row_matrix.h"
#include "scratch.h"
#include "seeder.h"
#include "vantor/run_facts.h"
#include "vantor/seeding.h"
#include "vantor/vantor.h"
#include "work_split.h"

namespace Vantor {

namespace {

bool acceptOptions(const ClusteringOptions& options) {
    return options.threads >= 0 && options.memoryCap >= 0;
}

// The checks every run makes before it writes anything.
bool acceptRun(const double* items, std::int64_t n, int m, bool twoSided, const double* prototypes,
               int k, const int* assignments, const double* similarities,
               const int* posAssignments, const double* posSimilarities) {
    if (k < 1 || n < 1 || m < 1) return false;
    if (items == nullptr || prototypes == nullptr || assignments == nullptr ||
        similarities == nullptr) {
        return false;
    }
    return !twoSided || (posAssignments != nullptr && posSimilarities != nullptr);
}

cached::Shape shapeOf(const Clustions& clustions, const double* items, std::int64_t n, int m,
                      bool twoSided, int k) {
    return cached::Shape{items, n, m, k, twoSided ? 2 : 1, clustions.threshold,
                         clustions.iterationLimit};
}

// The total the best run is chosen by, as every host reports it.
double totalOf(const cached::Outputs& out, std::int64_t n, int sides) {
    double total = 0.0;
    totalSimilarity(sides == 2, out.assignments[0], out.similarities[0], out.assignments[1],
                    out.similarities[1], n, &total);
    return total;
}

// A NaN total ranks below every number; equal totals keep the earlier run.
bool betterTotal(double candidate, double best) {
    return !std::isnan(candidate) && (std::isnan(best) || candidate > best);
}

template <class T>
void copyArray(const T* from, T* to, std::int64_t count) {
    for (std::int64_t i = 0; i < count; ++i) to[i] = from[i];
}

// The arrays of one run held in scratch, so that the caller's arrays are
// written only once the best run is known. `out` points into the scratch.
struct RunArrays {
    Scratch<double> prototypes;
    Scratch<int> assignments[2];  // negative (or only) side, positive side
    Scratch<double> similarities[2];
    cached::Outputs out{};
    cached::Result result{};
    double total = 0.0;

    bool allocate(std::int64_t prototypeValues, std::int64_t n, int sides) {
        prototypes = allocateScratch<double>(prototypeValues);
        out.prototypes = prototypes.get();
        bool ok = prototypes != nullptr;
        for (int side = 0; side < sides; ++side) {
            assignments[side] = allocateScratch<int>(n);
            similarities[side] = allocateScratch<double>(n);
            out.assignments[side] = assignments[side].get();
            out.similarities[side] = similarities[side].get();
            ok = ok && assignments[side] != nullptr && similarities[side] != nullptr;
        }
        return ok;
    }
};

// One share of the restarts: a contiguous range of starts run one after
// the other on `threads` threads, keeping the best of the range.
struct Share {
    int threads = 1;
    seeding::Seeder seeder;
    cached::Runner runner;
    RunArrays best, trial;
    int winner = 0;
    std::int64_t allPasses = 0;
    std::int64_t evaluations = 0;
    bool ready = false;
};

// Threads for share p of `shares`: the threads spread as evenly as they go,
// the first ones taking the remainder.
int threadsOfShare(int threads, int shares, int p) {
    return threads / shares + (p < threads % shares ? 1 : 0);
}

}  // namespace

bool runClustering(const Clustions& clustions, const ClusteringOptions& options,
                   const double* items, std::int64_t n, int m, bool twoSided, double* prototypes,
                   int k, int* assignments, double* similarities, int* posAssignments,
                   double* posSimilarities, ClusteringReport* report) {
    if (!acceptOptions(options)) return false;
    if (!acceptRun(items, n, m, twoSided, prototypes, k, assignments, similarities,
                   posAssignments, posSimilarities)) {
        return false;
    }
    cached::Runner runner;
    const int threads = work::resolveThreads(options.threads);
    if (!runner.prepare(shapeOf(clustions, items, n, m, twoSided, k), threads, options.memoryCap)) {
        return false;
    }
    const cached::Outputs out{prototypes,
                              {assignments, twoSided ? posAssignments : nullptr},
                              {similarities, twoSided ? posSimilarities : nullptr}};
    const cached::Result result = runner.run(out);
    if (report != nullptr) {
        report->converged = result.converged;
        report->passes = result.passes;
        report->winningStart = 0;
        report->totalSimilarity = totalOf(out, n, twoSided ? 2 : 1);
        report->allPasses = result.passes;
        report->evaluations = result.evaluations;
    }
    return true;
}

bool runSeededClustering(const Clustions& clustions, const ClusteringOptions& options, int rule,
                         int restarts, std::uint64_t randomSeed, const double* items,
                         std::int64_t n, int m, bool twoSided, double* prototypes, int k,
                         int* assignments, double* similarities, int* posAssignments,
                         double* posSimilarities, ClusteringReport* report) {
    if (!acceptOptions(options) || restarts < 1 || !seeding::knownRule(rule)) return false;
    if (!acceptRun(items, n, m, twoSided, prototypes, k, assignments, similarities,
                   posAssignments, posSimilarities)) {
        return false;
    }
    const int sides = twoSided ? 2 : 1;
    const std::int64_t prototypeValues = rowOf(k, m);
    const cached::Shape shape = shapeOf(clustions, items, n, m, twoSided, k);
    const seeding::Input input{items, n, m, twoSided};
    // A deterministic rule would only repeat its one start.
    const int runs = rule == VANTOR_SEEDING_KMEANS_PP ? restarts : 1;
    const int threads = work::resolveThreads(options.threads);
    const int shares = work::partsFor(threads, runs);

    // Every share's scratch before any run, so that a refusal comes before
    // any work. Each share keeps its own seeder: choosing seeds writes its
    // per-candidate bookkeeping.
    const Scratch<Share> share = allocateScratch<Share>(shares);
    if (share == nullptr) return false;
    bool ready = true;
    for (int p = 0; p < shares && ready; ++p) {
        Share& s = share[p];
        s.threads = threadsOfShare(threads, shares, p);
        s.seeder.configure(input, clustions.threshold, s.threads);
        ready = s.seeder.prepare(k) &&
                s.runner.prepare(shape, s.threads, options.memoryCap / shares) &&
                s.best.allocate(prototypeValues, n, sides) &&
                // A share runs several starts only when there are more
                // starts than shares.
                (runs <= shares || s.trial.allocate(prototypeValues, n, sides));
    }
    if (ready) {
        work::splitWork(shares, runs, [&](int p, std::int64_t first, std::int64_t last) {
            Share& s = share[p];
            for (std::int64_t start = first; start < last; ++start) {
                RunArrays& run = start == first ? s.best : s.trial;
                s.seeder.choose(rule, k, restartSeed(randomSeed, static_cast<int>(start)),
                                 run.out.prototypes, nullptr, nullptr);
                run.result = s.runner.run(run.out);
                run.total = totalOf(run.out, n, sides);
                s.allPasses += run.result.passes;
                s.evaluations += run.result.evaluations;
                if (start == first) {
                    s.winner = static_cast<int>(start);
                } else if (betterTotal(run.total, s.best.total)) {
                    std::swap(s.best, run);
                    s.winner = static_cast<int>(start);
                }
            }
        });
        // The shares hold contiguous ranges in order, so keeping the earlier
        // on ties across shares keeps the earliest start overall.
        int kept = 0;
        std::int64_t allPasses = 0, evaluations = 0;
        for (int p = 0; p < shares; ++p) {
            allPasses += share[p].allPasses;
            evaluations += share[p].evaluations + share[p].seeder.evaluations();
            if (p > 0 && betterTotal(share[p].best.total, share[kept].best.total)) kept = p;
        }
        const RunArrays& best = share[kept].best;
        copyArray(best.out.prototypes, prototypes, prototypeValues);
        int* const assignmentOut[2] = {assignments, posAssignments};
        double* const similarityOut[2] = {similarities, posSimilarities};
        for (int side = 0; side < sides; ++side) {
            copyArray(best.out.assignments[side], assignmentOut[side], n);
            copyArray(best.out.similarities[side], similarityOut[side], n);
        }
        if (report != nullptr) {
            report->converged = best.result.converged;
            report->passes = best.result.passes;
            report->winningStart = share[kept].winner;
            report->totalSimilarity = best.total;
            report->allPasses = allPasses;
            report->evaluations = evaluations;
        }
    }
    return ready;
}

bool seedPrototypes(const Clustions& clustions, const ClusteringOptions& options, int rule,
                    std::uint64_t randomSeed, const double* items, std::int64_t n, int m,
                    bool twoSided, double* seeds, int k, int* sourceItems, int* sourceParts,
                    std::int64_t* evaluations) {
    if (!acceptOptions(options) || !seeding::knownRule(rule)) return false;
    if (k < 1 || n < 1 || m < 1 || items == nullptr || seeds == nullptr) return false;
    seeding::Seeder seeder(seeding::Input{items, n, m, twoSided}, clustions.threshold,
                           work::resolveThreads(options.threads));
    if (!seeder.prepare(k)) return false;
    seeder.choose(rule, k, randomSeed, seeds, sourceItems, sourceParts);
    if (evaluations != nullptr) *evaluations = seeder.evaluations();
    return true;
}

}  // namespace Vantor
