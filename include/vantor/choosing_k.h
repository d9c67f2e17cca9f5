// Choosing the number of prototypes: a scan over a range of k that clusters
// the items at every k with the library's seeding and restarts, and reports
// for each k the total similarity and the silhouette under the library's own
// similarity, with one suggested k. Also the per-item silhouette of any
// clustering, for hosts that show it item by item.
//
// Silhouette of an item (or part) i whose prototype is a, against the
// prototypes P[0 .. k-1] as given:
//   s_own  = evalSimil(i, P[a])
//   s_next = the greatest evalSimil(i, P[l]) over every l != a (prototypes
//            without members included: they are prototypes all the same)
//   with the distances a_i = 1 - s_own and b_i = 1 - s_next (the weighted
//   Jaccard distance, a metric on non-negative vectors),
//   silhouette = (b_i - a_i) / max(a_i, b_i), and +0.0 when both are 0
//              = (s_own - s_next) / max(1 - s_own, 1 - s_next).
// In [-1, 1]: near 1 when i is close to its own prototype and far from every
// other, 0 when it sits as close to another prototype as to its own, below
// 0 when another resembles it more. It is the usual silhouette with each
// cluster's mean distance replaced by the distance to its prototype.
//
// Why distances and not (s_own - s_next) / max(s_own, s_next): that ratio is
// near 1 whenever s_next is near 0, however loosely i fits its own
// prototype, so merging groups that share no feature costs nothing and a
// scan over k could not tell 2 groups from 16 of them. With distances a
// loose member of an isolated prototype scores its closeness s_own.
//
// The two distances, their difference and the quotient are formed in the
// library's extended precision (64-bit significand) and rounded to double
// once. Similarities are measured afresh
// against the prototypes as given (after a run that stopped at its pass limit
// they are not the ones the run stored), item first, as the clustering
// measures them; the threshold of the Clustions applies.
//
// Undefined silhouettes, NaN: an item whose assignment is -1 (no prototype
// could take it), or whose s_own or any similarity to another prototype is
// NaN (a prototype holding NaN). They are left out of every mean and counted
// in `undefined`.
//
// Two-sided: each item is split into its negative part (magnitudes of its
// negative values) and its positive part (its positive values), exactly as
// the two-sided clustering splits it, and each part with its own assignment
// is an item of its own. Means take the parts in item order, an item's
// negative part before its positive part, as the total similarity does. A
// part without any value above 0 has similarity 0 to every prototype, so its
// silhouette is 0 and it counts in the mean; the number of such parts is the
// same for every k, so they scale every mean of a scan alike and never change
// which k is suggested.
//
// Why not the usual silhouette: that one compares every item with every
// other (O(n^2) similarities); this one compares each item with the k
// prototypes (O(n k)), the same work as one clustering pass, and follows the
// similarity the clustering optimises.
//
// Exact and deterministic: means are extended-precision sums in item order
// divided once by the count, rounded once. Every thread count gives the same bits;
// threads (0 = every core, 1 = none started) split the items, and the sums
// are made afterwards in item order.
//
// An addition to the interface: Clustions and the C entries are unchanged.
#ifndef VANTOR_CHOOSING_K_H
#define VANTOR_CHOOSING_K_H

#include <cstdint>

#include "vantor/clustions.h"
#include "vantor/export.h"
#include "vantor/vantor.h"

namespace Vantor {

// The silhouettes of one clustering, summed up.
struct SilhouetteSummary {
    double mean = 0.0;            // over the defined silhouettes; NaN when none is defined
    std::int64_t counted = 0;     // items (parts) in the mean
    std::int64_t undefined = 0;   // items (parts) whose silhouette is NaN
};

// The silhouette of every item (two-sided: of every part) of a clustering of
// `items` (n rows of m values) around `prototypes` (k rows of m values) with
// the given assignments (values in [-1, k); two-sided, `assignments` holds
// the negative parts' and `posAssignments` the positive parts').
// Writes n silhouettes to `values` (two-sided: the negative parts'; the
// positive parts' to `posValues`, which is ignored and may be null
// one-sided); when not null, the mean silhouette of each prototype's members
// to `clusterMeans` (k; NaN for a prototype without a member with a defined
// silhouette), and the whole summary to `summary`.
// False, with nothing written: n <= 0, m <= 0, k < 2 (a silhouette needs a
// second prototype), threads < 0, a null array the call needs, an assignment
// outside [-1, k), or no memory for the per-thread scratch (two-sided, 2m
// values per thread).
VANTOR_API bool silhouettes(const Clustions& similarity, const double* items, std::int64_t n,
                            int m, bool twoSided, const double* prototypes, int k,
                            const int* assignments, const int* posAssignments, double* values,
                            double* posValues, double* clusterMeans, SilhouetteSummary* summary,
                            int threads);

// How the scan clusters at each k: runSeededClustering (vantor/clustering_run.h)
// with these arguments, which gives the bits of clusterFromStarts, so the run
// of any k can be made again on its own.
struct KScanOptions {
    int rule = VANTOR_SEEDING_KMEANS_PP;  // a vantor_seeding constant
    int restarts = 10;                    // starts for k-means++, the best run kept
    std::uint64_t randomSeed = 0;         // the same for every k
    bool twoSided = false;
    // For the clustering and the silhouettes: 0 = every core, 1 = none
    // started, below 0 refused; the same bits for any count.
    int threads = 1;
    // The clustering's similarity cache (ClusteringOptions::memoryCap).
    std::int64_t memoryCap = std::int64_t(1) << 30;
};

// One k of a scan.
struct KScanRow {
    int k = 0;
    double totalSimilarity = 0.0;  // of the kept run, as clusterFromStarts reports it
    SilhouetteSummary silhouette;  // of the kept run, against its returned prototypes
    int passes = 0;                // of the kept run
    bool converged = false;        // whether its last pass moved nothing
    int winningStart = 0;          // the kept start, 0-based
    std::int64_t evaluations = 0;  // similarity evaluations of the clustering, all starts
};

// Where the per-prototype mean silhouettes of k begin in a scan's
// `clusterSilhouettes` (kFirst, then kFirst + 1, ... prototypes each);
// kScanClusterOffset(kFirst, kLast + 1) is the length of the whole array.
inline std::int64_t kScanClusterOffset(std::int64_t kFirst, std::int64_t k) {
    return (k - kFirst) * (kFirst + k - 1) / 2;
}

// Clusters the items (n rows of m values) at every k from kFirst to kLast,
// with the threshold and pass limit of `clustions` and the seeding of
// `options`, and measures each kept run: rows[k - kFirst] receives its row,
// and, when not null, `clusterSilhouettes` the mean silhouette of each of
// its prototypes (at kScanClusterOffset(kFirst, k)).
//
// The suggested k, written to *suggestedK when not null: the k of the
// largest mean silhouette; among equal means the smallest k; a NaN mean is
// never suggested; 0 when every mean is NaN.
//
// Memory beyond one clustering's own: the per-item silhouettes (n doubles,
// 2n two-sided) and the k-sized sums; the runs are made one after the other.
// False, with nothing written: an empty range (kLast < kFirst), kFirst < 2,
// n <= 0, m <= 0, fewer candidates than kLast (see chooseSeeds; checked
// before any clustering), an unknown rule, restarts <= 0, threads or
// memoryCap below 0, a null items or rows, or no memory.
VANTOR_API bool scanK(const Clustions& clustions, const KScanOptions& options,
                      const double* items, std::int64_t n, int m, int kFirst, int kLast,
                      KScanRow* rows, double* clusterSilhouettes, int* suggestedK);

// The rule above on `count` rows as a scan wrote them: the k of the largest
// mean silhouette, the smallest among equals, never a NaN one; 0 when none.
VANTOR_API int suggestK(const KScanRow* rows, int count);

}  // namespace Vantor

#endif
