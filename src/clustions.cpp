// Vantor::Clustions: configuration, similarity and prototype clustering.
#include "vantor/clustions.h"

#include <cstdint>
#include <initializer_list>
#include <new>

#include "pass_steps.h"
#include "row_matrix.h"
#include "similarity_rows.h"

namespace Vantor {

// The default instance the clu_* entries start on; the pointer is a constant
// expression, so it is valid before any constructor runs.
static Clustions clu_static;
Clustions* clu = &clu_static;

namespace {

constexpr int kDefaultIterationLimit = 40;

using pass::MemberCount;

// k, n and m as read once from `dims`.
struct Dimensions {
    int k;
    int n;
    int m;

    // Only a run with items and features has prototype values to update;
    // any other run sizes nothing by k.
    bool updatesValues() const { return n > 0 && m > 0; }
};

// The checks both methods make before they write anything: a missing `dims`,
// a zero dimension or a negative k (there is no prototype to assign to, and
// no way to size the counts) refuse the call.
bool acceptDimensions(const int* dims, Dimensions& d) {
    if (dims == nullptr) return false;
    d = Dimensions{dims[0], dims[1], dims[2]};
    if (d.k == 0 || d.n == 0 || d.m == 0) return false;
    return d.k > 0;
}

// The rows are read only when there are items with values to compare; the
// per-item arrays only when there are items. passInfo is always written.
bool arraysPresent(const Dimensions& d, const double* prototypes, const double* items,
                   std::initializer_list<const void*> perItem, const int* passInfo) {
    if (passInfo == nullptr) return false;
    for (const void* array : perItem) {
        if (d.n > 0 && array == nullptr) return false;
    }
    if (d.n > 0 && d.m > 0 && (prototypes == nullptr || items == nullptr)) return false;
    return true;
}

// Per-call scratch, allocated once after the arguments are accepted and
// released when the call ends. Its size follows the work the call can do:
// the counts exist only when there are values to update, the part vectors
// only for the two-sided method and only when there are features to hold.
// So no k, however large, costs memory when n <= 0 or m <= 0.
struct Scratch {
    MemberCount* counts = nullptr;
    double* negativePart = nullptr;
    double* positivePart = nullptr;

    Scratch() = default;
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;
    ~Scratch() {
        delete[] counts;
        delete[] negativePart;
        delete[] positivePart;
    }

    // Non-throwing: a failed allocation must reach the host as a refusal.
    bool allocate(const Dimensions& d, bool parts) {
        if (!d.updatesValues()) return true;
        counts = new (std::nothrow) MemberCount[static_cast<std::size_t>(d.k)];
        if (counts == nullptr) return false;
        if (!parts) return true;
        negativePart = new (std::nothrow) double[static_cast<std::size_t>(d.m)];
        if (negativePart == nullptr) return false;
        positivePart = new (std::nothrow) double[static_cast<std::size_t>(d.m)];
        return positivePart != nullptr;
    }
};

inline void markUnassigned(double* similarities, int* assignments, std::int64_t j) {
    similarities[j] = pass::kNoSimilarity;
    assignments[j] = pass::kUnassigned;
}

// The pass loop both methods share. `scan` visits every item of one pass and
// sets `changed` when a part was unassigned or moved; the prototypes are only
// read meanwhile, so every item of a pass meets the same prototypes. A pass
// that changed something also updates them, the pass that reaches the limit
// included, so the returned prototypes are the means of the returned
// assignments. The run ends after a pass that moved nothing, or at the limit.
// The limit is taken once: nothing changes the instance during a run (a
// setter may not run beside it). `>=` rather than `==`: the field is public,
// and a limit of 0 or below written straight into it must still end the run
// after one pass.
template <class Scan, class Update>
void runPasses(int iterationLimit, Scan scan, Update update, int* passInfo) {
    int pass = 0;
    bool changed = false;
    bool ends = false;
    while (!ends) {
        ++pass;
        changed = false;
        scan(changed);
        ends = !changed || pass >= iterationLimit;
        if (changed) update();
    }
    passInfo[1] = pass;
    passInfo[0] = changed ? 0 : 1;
}

}  // namespace

Clustions::Clustions() : threshold(0.0), iterationLimit(kDefaultIterationLimit) {}

Clustions::Clustions(double value)
    : threshold(value > 0.0 && value <= 1.0 ? value : 0.0),
      iterationLimit(kDefaultIterationLimit) {}

bool Clustions::thresholds(double value) {
    if (value < 0.0 || value > 1.0) return false;
    threshold = value;
    return true;
}

int Clustions::thresholds(int capacity, double* out) {
    if (out == nullptr || capacity <= 0) return 0;
    out[0] = threshold;
    return 1;
}

bool Clustions::setLimits(int limit) {
    if (limit <= 0) return false;
    iterationLimit = limit;
    return true;
}

int Clustions::getLimits(int capacity, int* out) {
    if (out == nullptr || capacity <= 0) return 0;
    out[0] = iterationLimit;
    return 1;
}

// The gate zeroes a position only when both values lie below the threshold
// (a NaN never does and keeps its partner in), then negative values are
// clamped to 0; a NaN fails y >= x, so it lands in the sum of maxima when it
// is x (the result becomes 0.0) and in the sum of minima when it is y. A
// zero or NaN sum of maxima gives 0.0. The loop itself, branch-free and
// shared with the clustering scan, is in similarity_rows.h.
double Clustions::evalSimil(double* first, double* second, int n) {
    const double* rows[1] = {second};
    double similarity;
    simil::against<1>(threshold, first, rows, n, &similarity);
    return similarity;
}

// Both methods update in place: the prototype array serves as the sums of
// the fold (see pass::memberRow), so the only scratch is the counts.
bool Clustions::cluster(double* prototypes, double* items, int* dims, int* assignments,
                        double* similarities, int* passInfo) {
    Dimensions d{};
    if (!acceptDimensions(dims, d)) return false;
    if (!arraysPresent(d, prototypes, items, {assignments, similarities}, passInfo)) return false;
    Scratch scratch;
    if (!scratch.allocate(d, false)) return false;

    for (std::int64_t j = 0; j < d.n; ++j) markUnassigned(similarities, assignments, j);

    // A negative n visits nothing, changes nothing and so ends the run.
    runPasses(
        iterationLimit,
        [&](bool& changed) {
            pass::scanItems(threshold, prototypes, d.k, d.m, items, d.n, assignments,
                            similarities, changed);
        },
        [&] {
            if (scratch.counts == nullptr) return;  // no values to update
            pass::startUpdate(d.k, scratch.counts);
            pass::foldItems(items, d.m, d.n, assignments, d.k, prototypes, scratch.counts);
            pass::finishUpdate(prototypes, scratch.counts, d.k, d.m, prototypes);
        },
        passInfo);
    return true;
}

bool Clustions::cluster(double* prototypes, double* items, int* dims, int* negAssignments,
                        int* posAssignments, double* negSimilarities, double* posSimilarities,
                        int* passInfo) {
    Dimensions d{};
    if (!acceptDimensions(dims, d)) return false;
    if (!arraysPresent(d, prototypes, items,
                       {negAssignments, posAssignments, negSimilarities, posSimilarities},
                       passInfo)) {
        return false;
    }
    Scratch scratch;
    if (!scratch.allocate(d, true)) return false;

    for (std::int64_t j = 0; j < d.n; ++j) {
        markUnassigned(negSimilarities, negAssignments, j);
        markUnassigned(posSimilarities, posAssignments, j);
    }

    runPasses(
        iterationLimit,
        [&](bool& changed) {
            pass::scanParts(threshold, prototypes, d.k, d.m, items, d.n, negAssignments,
                            posAssignments, negSimilarities, posSimilarities,
                            scratch.negativePart, scratch.positivePart, changed);
        },
        [&] {
            if (scratch.counts == nullptr) return;  // no values to update
            pass::startUpdate(d.k, scratch.counts);
            pass::foldParts(items, d.m, d.n, negAssignments, posAssignments, d.k, prototypes,
                            scratch.counts);
            pass::finishUpdate(prototypes, scratch.counts, d.k, d.m, prototypes);
        },
        passInfo);
    return true;
}

}  // namespace Vantor
