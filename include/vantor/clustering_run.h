// A whole clustering run in one call: from given prototypes, or from seeds
// chosen among the items with several random starts keeping the best, on as
// many threads as the caller asks for, with the bits of Clustions::cluster
// (one- and two-sided) and of the seeding rules of vantor/seeding.h.
//
// What makes it faster than calling Clustions::cluster, without moving a bit:
//   - a prototype that no item (or part) joined or left in a pass is
//     recomputed to exactly the same row, so every similarity to it is the
//     value measured in the pass before. The run keeps each item's k
//     similarities in a cache and measures afresh only those to prototypes
//     that changed; the comparisons are the same values in the same order,
//     so the same assignments follow. The update likewise leaves the rows
//     of unchanged prototypes alone;
//   - a pass's scan splits by items, its update by features (each
//     prototype-feature sum still added in item order), restarts run side by
//     side and the winner is chosen afterwards by the same rule, and the
//     k-means++ bookkeeping splits by candidates. Every thread count gives
//     the same bits.
//
// The cache takes 8 * k bytes per item (twice that two-sided) for each run
// in flight. When the cap in the options does not hold it for every item,
// the run caches the first items it can and measures the rest in full; when
// nothing fits, or the allocation fails, every pass is a full rescan. Never a
// refusal for that: only the evaluation count tells the difference.
//
// An addition to the interface: Clustions and the C entries are unchanged.
#ifndef VANTOR_CLUSTERING_RUN_H
#define VANTOR_CLUSTERING_RUN_H

#include <cstdint>

#include "vantor/clustions.h"
#include "vantor/export.h"

namespace Vantor {

struct ClusteringOptions {
    // Threads the call may use: 1 runs everything on the caller's thread
    // and starts none; 0 means every core the system reports. Below 0 is
    // refused.
    int threads = 1;
    // The most bytes the similarity caches may take, over all runs in flight
    // at once. 0 turns the cache off (every pass rescans every prototype).
    // Below 0 is refused.
    std::int64_t memoryCap = std::int64_t(1) << 30;
};

struct ClusteringReport {
    // Of the run whose outputs were written (the winning start): whether its
    // last pass changed nothing, and how many passes it made (the passInfo
    // {converged, passes} of Clustions::cluster).
    bool converged = false;
    int passes = 0;
    // The start that won (0 for a run from given prototypes) and its total
    // similarity: the sum, in item order and in long double, of every
    // assigned item's or part's similarity, an item's negative part before
    // its positive part, rounded to double.
    int winningStart = 0;
    double totalSimilarity = 0.0;
    // Over the whole call, every start included: passes made and similarity
    // evaluations made (seeding's included). A full rescan costs k
    // evaluations per item and side in every pass.
    std::int64_t allPasses = 0;
    std::int64_t evaluations = 0;
};

// Clusters n items (rows of m values) around the k caller-seeded prototypes
// (k rows of m values, refined in place), with the threshold and pass limit
// of `clustions`: the bits Clustions::cluster gives for the same arrays.
// One-sided: assignments and similarities (n each) for the items;
// posAssignments and posSimilarities are ignored and may be null.
// Two-sided: assignments and similarities for the negative parts,
// posAssignments and posSimilarities (required) for the positive parts.
// `report` may be null.
// False, with nothing written: k, n or m below 1, negative threads or
// memoryCap, a null array that the call needs, or no memory for the scratch
// a run cannot do without (a few rows per thread).
VANTOR_API bool runClustering(const Clustions& clustions, const ClusteringOptions& options,
                              const double* items, std::int64_t n, int m, bool twoSided,
                              double* prototypes, int k, int* assignments, double* similarities,
                              int* posAssignments, double* posSimilarities,
                              ClusteringReport* report);

// Clusters from `restarts` starts and keeps the best, as clusterFromStarts
// (vantor/seeding.h) describes, to its bits: start i seeds with `rule` from
// restartSeed(randomSeed, i); a deterministic rule runs once. `prototypes`
// (k*m) is written, never read. The outputs are those of the kept run.
// False, with nothing written: the refusals of runClustering, restarts
// below 1, the refusals of chooseSeeds (an unknown rule, fewer candidates
// than k), or no memory for the arrays of the runs in flight.
VANTOR_API bool runSeededClustering(const Clustions& clustions, const ClusteringOptions& options,
                                    int rule, int restarts, std::uint64_t randomSeed,
                                    const double* items, std::int64_t n, int m, bool twoSided,
                                    double* prototypes, int k, int* assignments,
                                    double* similarities, int* posAssignments,
                                    double* posSimilarities, ClusteringReport* report);

// chooseSeeds (vantor/seeding.h), to its bits, with the k-means++
// bookkeeping spread over options.threads (memoryCap is not read).
// `evaluations`, when not null, receives the similarity evaluations made.
// False, with nothing written: the refusals of chooseSeeds, negative threads.
VANTOR_API bool seedPrototypes(const Clustions& clustions, const ClusteringOptions& options,
                               int rule, std::uint64_t randomSeed, const double* items,
                               std::int64_t n, int m, bool twoSided, double* seeds, int k,
                               int* sourceItems, int* sourceParts, std::int64_t* evaluations);

}  // namespace Vantor

#endif
