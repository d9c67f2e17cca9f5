// The scan over k and the prototype silhouette.
//
// Per item the silhouette needs its similarity to every prototype, which is
// one clustering pass's work, so it runs on the pass's own kernel
// (prototype_scan.h, four prototypes at a time). The per-item values are
// written first, items split over threads; the means are summed afterwards
// on one thread in item order, so no sum depends on the thread count.
#include "vantor/choosing_k.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>

#include "prototype_scan.h"
#include "extended.h"
#include "row_matrix.h"
#include "scratch.h"
#include "seeder.h"
#include "signed_parts.h"
#include "vantor/clustering_run.h"
#include "vantor/seeding.h"
#include "work_split.h"

namespace Vantor {

namespace {

constexpr double kUndefined = std::numeric_limits<double>::quiet_NaN();

// (b - a) / max(a, b) with a = 1 - own and b = 1 - next, in extended precision,
// rounded once; +0.0 when both distances are 0; NaN when either similarity is.
double silhouetteOf(double own, double next) {
    if (std::isnan(own) || std::isnan(next)) return kUndefined;
    const Extended one = 1.0;
    const Extended a = one - Extended(own), b = one - Extended(next);
    const Extended larger = a > b ? a : b;
    if (larger == Extended(0.0)) return 0.0;
    return static_cast<double>((b - a) / larger);
}

// The silhouette of vector x assigned to `own` (in [-1, k)).
double silhouetteOfRow(double threshold, const double* x, const double* prototypes, int k, int m,
                       int own) {
    if (own < 0) return kUndefined;
    double ownSimilarity = 0.0, next = -1.0;
    bool nextIsNaN = false;
    scan::prototypes(threshold, x, prototypes, k, m, own, [&](int l, double s) {
        if (l == own) {
            ownSimilarity = s;
        } else if (std::isnan(s)) {
            nextIsNaN = true;
        } else if (s > next) {
            next = s;
        }
    });
    return silhouetteOf(ownSimilarity, nextIsNaN ? kUndefined : next);
}

// What measureSilhouettes reads.
struct Clustering {
    double threshold;
    const double* items;
    std::int64_t n;
    int m;
    bool twoSided;
    const double* prototypes;
    int k;
    const int* assignments[2];  // negative (or only) side, positive side
};

// Every item's (part's) silhouette into values[side][j]. `parts` holds 2m
// doubles per range of the split (two-sided only).
void measureSilhouettes(const Clustering& c, double* const values[2], double* parts, int threads) {
    work::splitWork(threads, c.n, [&](int range, std::int64_t begin, std::int64_t end) {
        double* negative = c.twoSided ? parts + rowOf(2 * static_cast<std::int64_t>(range), c.m)
                                      : nullptr;
        double* positive = c.twoSided ? negative + c.m : nullptr;
        for (std::int64_t j = begin; j < end; ++j) {
            const double* item = c.items + rowOf(j, c.m);
            if (!c.twoSided) {
                values[0][j] =
                    silhouetteOfRow(c.threshold, item, c.prototypes, c.k, c.m, c.assignments[0][j]);
                continue;
            }
            for (int i = 0; i < c.m; ++i) {
                negative[i] = negativePartOf(item[i]);
                positive[i] = positivePartOf(item[i]);
            }
            values[0][j] =
                silhouetteOfRow(c.threshold, negative, c.prototypes, c.k, c.m, c.assignments[0][j]);
            values[1][j] =
                silhouetteOfRow(c.threshold, positive, c.prototypes, c.k, c.m, c.assignments[1][j]);
        }
    });
}

// The means of the silhouettes, overall and per prototype, in item order
// (negative part before positive part). `sums` and `counts` hold k each.
SilhouetteSummary summarise(const Clustering& c, const double* const values[2],
                            Extended* sums, std::int64_t* counts, double* clusterMeans) {
    const int sides = c.twoSided ? 2 : 1;
    for (int l = 0; l < c.k; ++l) {
        sums[l] = 0.0;
        counts[l] = 0;
    }
    Extended total = 0.0;
    SilhouetteSummary summary;
    for (std::int64_t j = 0; j < c.n; ++j) {
        for (int side = 0; side < sides; ++side) {
            const double s = values[side][j];
            if (std::isnan(s)) {
                ++summary.undefined;
                continue;
            }
            const int a = c.assignments[side][j];  // defined, so assigned
            total += s;
            ++summary.counted;
            sums[a] += s;
            ++counts[a];
        }
    }
    const Extended counted = static_cast<double>(summary.counted);
    summary.mean = summary.counted > 0 ? static_cast<double>(total / counted) : kUndefined;
    if (clusterMeans != nullptr) {
        for (int l = 0; l < c.k; ++l) {
            // Counts stay far below 2^53, so the double holds them exactly.
            const Extended count = static_cast<double>(counts[l]);
            clusterMeans[l] = counts[l] > 0 ? static_cast<double>(sums[l] / count) : kUndefined;
        }
    }
    return summary;
}

bool assignmentsInRange(const int* assignments, std::int64_t n, int k) {
    for (std::int64_t j = 0; j < n; ++j) {
        if (assignments[j] < -1 || assignments[j] >= k) return false;
    }
    return true;
}

// The outputs of one clustering at one k, in scratch sized for the largest k.
struct RunArrays {
    double* prototypes;
    int* assignments[2];
    double* similarities[2];
    ClusteringReport report;
};

ClusteringOptions clusteringOptionsOf(const KScanOptions& options) {
    ClusteringOptions clustering;
    clustering.threads = options.threads;
    clustering.memoryCap = options.memoryCap;
    return clustering;
}

// The one place the scan clusters: the library's seeding with restarts, on
// the engine with the scan's threads.
bool clusterAt(const Clustions& clustions, const KScanOptions& options, const double* items,
               std::int64_t n, int m, int k, RunArrays& run) {
    return runSeededClustering(clustions, clusteringOptionsOf(options), options.rule,
                               options.restarts, options.randomSeed, items, n, m,
                               options.twoSided, run.prototypes, k, run.assignments[0],
                               run.similarities[0], run.assignments[1], run.similarities[1],
                               &run.report);
}

// Whether there are at least k candidates for the seeding: the seeding's own
// test, asked with its cheapest rule, whose seeds are thrown away.
bool enoughCandidates(const Clustions& clustions, const KScanOptions& options,
                      const double* items, std::int64_t n, int m, int k, double* seedScratch) {
    return seedPrototypes(clustions, clusteringOptionsOf(options), VANTOR_SEEDING_FIRST, 0, items,
                          n, m, options.twoSided, seedScratch, k, nullptr, nullptr, nullptr);
}

}  // namespace

bool silhouettes(const Clustions& similarity, const double* items, std::int64_t n, int m,
                 bool twoSided, const double* prototypes, int k, const int* assignments,
                 const int* posAssignments, double* values, double* posValues,
                 double* clusterMeans, SilhouetteSummary* summary, int threads) {
    if (n <= 0 || m <= 0 || k < 2 || threads < 0) return false;
    if (items == nullptr || prototypes == nullptr || assignments == nullptr || values == nullptr)
        return false;
    if (twoSided && (posAssignments == nullptr || posValues == nullptr)) return false;
    if (!assignmentsInRange(assignments, n, k)) return false;
    if (twoSided && !assignmentsInRange(posAssignments, n, k)) return false;

    const int workers = work::resolveThreads(threads);
    const std::int64_t partValues = twoSided ? rowOf(2 * work::partsFor(workers, n), m) : 0;
    const auto parts = allocateScratch<double>(partValues);
    const auto sums = allocateScratch<Extended>(k);
    const auto counts = allocateScratch<std::int64_t>(k);
    if (!parts || !sums || !counts) return false;

    const Clustering c{similarity.threshold, items, n, m, twoSided, prototypes, k,
                       {assignments, twoSided ? posAssignments : nullptr}};
    double* const out[2] = {values, twoSided ? posValues : nullptr};
    measureSilhouettes(c, out, parts.get(), workers);
    const SilhouetteSummary found = summarise(c, out, sums.get(), counts.get(), clusterMeans);
    if (summary != nullptr) *summary = found;
    return true;
}

int suggestK(const KScanRow* rows, int count) {
    if (rows == nullptr) return 0;
    int best = -1;
    for (int r = 0; r < count; ++r) {
        const double mean = rows[r].silhouette.mean;
        if (std::isnan(mean)) continue;
        // Strictly larger, or the same mean at a smaller k (rows in any order).
        if (best < 0 || mean > rows[best].silhouette.mean ||
            (mean == rows[best].silhouette.mean && rows[r].k < rows[best].k)) {
            best = r;
        }
    }
    return best < 0 ? 0 : rows[best].k;
}

bool scanK(const Clustions& clustions, const KScanOptions& options, const double* items,
           std::int64_t n, int m, int kFirst, int kLast, KScanRow* rows,
           double* clusterSilhouettes, int* suggestedK) {
    if (kFirst < 2 || kLast < kFirst || n <= 0 || m <= 0) return false;
    // More prototypes than rows (parts) can never find their candidates;
    // refused before anything is sized by k.
    if (kLast > (options.twoSided ? 2 * n : n)) return false;
    if (!seeding::knownRule(options.rule) || options.restarts <= 0) return false;
    if (options.threads < 0 || options.memoryCap < 0) return false;
    if (items == nullptr || rows == nullptr) return false;

    const bool twoSided = options.twoSided;
    const int sides = twoSided ? 2 : 1;
    const int count = kLast - kFirst + 1;
    const int workers = work::resolveThreads(options.threads);
    // The candidates are counted before anything else is sized by the range.
    const auto prototypes = allocateScratch<double>(rowOf(kLast, m));
    if (!prototypes) return false;
    if (!enoughCandidates(clustions, options, items, n, m, kLast, prototypes.get())) return false;
    const auto assignments = allocateScratch<int>(sides * n);
    const auto similarities = allocateScratch<double>(sides * n);
    const auto values = allocateScratch<double>(sides * n);
    const std::int64_t partValues = twoSided ? rowOf(2 * work::partsFor(workers, n), m) : 0;
    const auto parts = allocateScratch<double>(partValues);
    const auto sums = allocateScratch<Extended>(kLast);
    const auto counts = allocateScratch<std::int64_t>(kLast);
    const auto found = allocateScratch<KScanRow>(count);
    const auto means =
        allocateScratch<double>(kScanClusterOffset(kFirst, std::int64_t{kLast} + 1));
    if (!assignments || !similarities || !values || !parts || !sums || !counts || !found ||
        !means) {
        return false;
    }

    RunArrays arrays{prototypes.get(),
                     {assignments.get(), twoSided ? assignments.get() + n : nullptr},
                     {similarities.get(), twoSided ? similarities.get() + n : nullptr},
                     ClusteringReport()};
    double* const perItem[2] = {values.get(), twoSided ? values.get() + n : nullptr};
    for (int k = kFirst; k <= kLast; ++k) {
        if (!clusterAt(clustions, options, items, n, m, k, arrays)) return false;
        const Clustering c{clustions.threshold, items, n, m, twoSided, arrays.prototypes, k,
                           {arrays.assignments[0], arrays.assignments[1]}};
        measureSilhouettes(c, perItem, parts.get(), workers);
        KScanRow& row = found.get()[k - kFirst];
        row.k = k;
        row.totalSimilarity = arrays.report.totalSimilarity;
        row.silhouette = summarise(c, perItem, sums.get(), counts.get(),
                                   means.get() + kScanClusterOffset(kFirst, k));
        row.passes = arrays.report.passes;
        row.converged = arrays.report.converged;
        row.winningStart = arrays.report.winningStart;
        row.evaluations = arrays.report.evaluations;
    }

    for (int r = 0; r < count; ++r) rows[r] = found.get()[r];
    if (clusterSilhouettes != nullptr) {
        const std::int64_t length = kScanClusterOffset(kFirst, std::int64_t{kLast} + 1);
        for (std::int64_t i = 0; i < length; ++i) clusterSilhouettes[i] = means.get()[i];
    }
    if (suggestedK != nullptr) *suggestedK = suggestK(found.get(), count);
    return true;
}

}  // namespace Vantor
