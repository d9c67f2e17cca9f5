// Starting prototypes chosen among the items, and clustering from several
// starts keeping the best run: the first interface to both, now a thin layer
// over the clustering runs of vantor/clustering_run.h on one thread.
#include "vantor/seeding.h"

#include <cstdint>

#include "seeder.h"
#include "splitmix64.h"
#include "vantor/clustering_run.h"
#include "vantor/run_facts.h"

namespace Vantor {

bool chooseSeeds(Clustions& similarity, int rule, int k, const double* items, int n, int m,
                 bool twoSided, std::uint64_t randomSeed, double* seeds, int* sourceItems,
                 int* sourceParts) {
    return seedPrototypes(similarity, ClusteringOptions{}, rule, randomSeed, items, n, m, twoSided,
                          seeds, k, sourceItems, sourceParts, nullptr);
}

std::int64_t countCandidates(bool twoSided, const double* items, std::int64_t n, int m) {
    if (items == nullptr || n <= 0 || m <= 0) return 0;
    std::int64_t count = 0;
    seeding::forEachCandidate(seeding::Input{items, n, m, twoSided},
                              [&](std::int64_t, bool) { ++count; });
    return count;
}

std::uint64_t restartSeed(std::uint64_t randomSeed, int start) {
    // start + 1 in 64 bits, wrapping for a negative start like the generator does.
    const std::uint64_t position = static_cast<std::uint64_t>(static_cast<std::int64_t>(start) + 1);
    return random::outputAt(randomSeed, position);
}

bool clusterFromStarts(Clustions& clustions, int rule, int restarts, std::uint64_t randomSeed,
                       const double* items, const int* dims, bool twoSided, double* prototypes,
                       int* assignments, double* similarities, int* posAssignments,
                       double* posSimilarities, int* passInfo, int* winningStart,
                       double* totalSimilarity) {
    if (dims == nullptr || passInfo == nullptr) return false;
    ClusteringReport report;
    if (!runSeededClustering(clustions, ClusteringOptions{}, rule, restarts, randomSeed, items,
                             dims[1], dims[2], twoSided, prototypes, dims[0], assignments,
                             similarities, posAssignments, posSimilarities, &report)) {
        return false;
    }
    passInfo[0] = report.converged ? 1 : 0;
    passInfo[1] = report.passes;
    if (winningStart != nullptr) *winningStart = report.winningStart;
    if (totalSimilarity != nullptr) *totalSimilarity = report.totalSimilarity;
    return true;
}

}  // namespace Vantor
