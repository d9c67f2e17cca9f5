// Vantor::Clustions: configuration, similarity and prototype clustering.
#include "vantor/clustions.h"

#include <cstdint>
#include <initializer_list>
#include <new>

#include "prototype_scan.h"
#include "row_matrix.h"
#include "similarity_rows.h"

namespace Vantor {

// The default instance the clu_* entries start on; the pointer is a constant
// expression, so it is valid before any constructor runs.
static Clustions clu_static;
Clustions* clu = &clu_static;

namespace {

constexpr int kDefaultIterationLimit = 40;

// What an item (or part) holds before its first assignment. Every similarity
// that is not NaN beats -1.0, so the first pass assigns everything it can.
constexpr int kUnassigned = -1;
constexpr double kNoSimilarity = -1.0;

// Number of parts a prototype holds. The two-sided method counts two parts
// per item, which can pass the int range for n above 2^30.
using MemberCount = std::int64_t;

// k, n and m as read once from `dims`.
struct Dimensions {
    int k;
    int n;
    int m;
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
// released before the method returns. The part vectors exist only for the
// two-sided method and only when there are features to hold.
struct Scratch {
    MemberCount* counts = nullptr;
    double* negativePart = nullptr;
    double* positivePart = nullptr;

    // Non-throwing: a failed allocation must reach the host as a refusal.
    bool allocate(int k, int partLength) {
        counts = new (std::nothrow) MemberCount[static_cast<std::size_t>(k)];
        if (partLength > 0) {
            negativePart = new (std::nothrow) double[static_cast<std::size_t>(partLength)];
            positivePart = new (std::nothrow) double[static_cast<std::size_t>(partLength)];
        }
        const bool partsOk = partLength <= 0 || (negativePart != nullptr && positivePart != nullptr);
        if (counts != nullptr && partsOk) return true;
        release();
        return false;
    }

    void release() {
        delete[] counts;
        delete[] negativePart;
        delete[] positivePart;
        counts = nullptr;
        negativePart = nullptr;
        positivePart = nullptr;
    }
};

inline void markUnassigned(double* similarities, int* assignments, std::int64_t j) {
    similarities[j] = kNoSimilarity;
    assignments[j] = kUnassigned;
}

// Visits one vector (an item or a part) whose prototype as the visit begins
// is `assignment`. An unassigned one counts as a change; an assigned one has
// its similarity measured afresh against its prototype as it now stands, so
// the scan compares candidates with the current value, higher or lower than
// last pass's. Then every other prototype is offered from the lowest index
// up: the vector moves only to a strictly more similar one (a tie keeps what
// it holds, its own prototype or the lower index taken earlier in the scan,
// and a NaN similarity never wins). scan::prototypes hands the similarities
// over in exactly that order, computed four prototypes at a time.
void visit(double threshold, const double* vector, const double* prototypes, int k, int m,
           int& assignment, double& similarity, bool& changed) {
    const int own = assignment;
    if (own == kUnassigned) changed = true;
    scan::prototypes(threshold, vector, prototypes, k, m, own, [&](int p, double s) {
        if (p == own) {
            similarity = s;
        } else if (s > similarity) {
            similarity = s;
            assignment = p;
            changed = true;
        }
    });
}

// The pass loop both methods share. `scan` visits every item of one pass and
// sets `changed` when a part was unassigned or moved; the prototypes are only
// read meanwhile, so every item of a pass meets the same prototypes. A pass
// that changed something also recomputes them, the pass that reaches the
// limit included, so the returned prototypes are the means of the returned
// assignments. The run ends after a pass that moved nothing, or at the limit,
// read from the instance after every changing pass. `>=` rather than `==`:
// the field is public, and a limit of 0 or below written straight into it
// must still end the run after one pass.
template <class Scan, class Update>
void runPasses(const int& iterationLimit, Scan scan, Update update, int* passInfo) {
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

void clearCounts(MemberCount* counts, int k) {
    for (std::int64_t p = 0; p < k; ++p) counts[p] = 0;
}

// Prototypes without members keep their values: they are neither zeroed nor
// divided, and stay available to later passes.
void zeroHeldPrototypes(double* prototypes, const MemberCount* counts, int k, int m) {
    for (std::int64_t p = 0; p < k; ++p) {
        if (counts[p] == 0) continue;
        double* row = rowIn(prototypes, p, m);
        for (std::int64_t l = 0; l < m; ++l) row[l] = 0.0;
    }
}

void divideHeldPrototypes(double* prototypes, const MemberCount* counts, int k, int m) {
    for (std::int64_t p = 0; p < k; ++p) {
        if (counts[p] == 0) continue;
        double* row = rowIn(prototypes, p, m);
        for (std::int64_t l = 0; l < m; ++l) row[l] = row[l] / static_cast<double>(counts[p]);
    }
}

// item + row, with the item's NaN when both are NaN. SSE addition returns its
// first operand's NaN, but a compiler may swap the operands of `x + p`
// (addition commutes in value, not in NaN payload), so the order is pinned
// and the result does not depend on the optimiser.
inline double sumKeepingFirstNaN(double x, double p) {
#if defined(__SSE2__) && defined(__GNUC__)
    __asm__("addsd %1, %0" : "+x"(x) : "x"(p));
    return x;
#else
    return x + p;
#endif
}

// Every prototype that holds items becomes their mean, negative values
// included (the gate and the clamp act only inside evalSimil). The sums are
// built in place, so each is rounded to double after every addition, in
// item order.
void updateOneSided(double* prototypes, double* items, const Dimensions& d,
                    const int* assignments, MemberCount* counts) {
    clearCounts(counts, d.k);
    for (std::int64_t j = 0; j < d.n; ++j) {
        if (assignments[j] != kUnassigned) ++counts[assignments[j]];
    }
    zeroHeldPrototypes(prototypes, counts, d.k, d.m);
    for (std::int64_t j = 0; j < d.n; ++j) {
        const int a = assignments[j];
        if (a == kUnassigned) continue;
        const double* item = rowIn(items, j, d.m);
        double* row = rowIn(prototypes, a, d.m);
        for (std::int64_t l = 0; l < d.m; ++l) row[l] = sumKeepingFirstNaN(item[l], row[l]);
    }
    divideHeldPrototypes(prototypes, counts, d.k, d.m);
}

// The negative part of a signed row holds the magnitudes of its negative
// values, the positive part its positive values. Zero of either sign and NaN
// belong to neither, so both parts are never negative.
inline double negativePartOf(double x) { return x < 0.0 ? -x : 0.0; }
inline double positivePartOf(double x) { return x > 0.0 ? x : 0.0; }

void splitItem(const double* item, int m, double* negativePart, double* positivePart) {
    for (std::int64_t i = 0; i < m; ++i) {
        negativePart[i] = negativePartOf(item[i]);
        positivePart[i] = positivePartOf(item[i]);
    }
}

// Every prototype that holds parts becomes their mean, negative and positive
// parts counted alike; a part that is all zero counts as a member and adds
// nothing. Sums are rounded to double after every addition, in item order.
void updateTwoSided(double* prototypes, double* items, const Dimensions& d,
                    const int* negAssignments, const int* posAssignments,
                    MemberCount* counts) {
    clearCounts(counts, d.k);
    for (std::int64_t j = 0; j < d.n; ++j) {
        if (negAssignments[j] != kUnassigned) ++counts[negAssignments[j]];
        if (posAssignments[j] != kUnassigned) ++counts[posAssignments[j]];
    }
    zeroHeldPrototypes(prototypes, counts, d.k, d.m);
    // Each feature adds its part to the prototype of each side; the other
    // side's +0.0 (and that of zeros and NaN) is added too, in place of a
    // branch that real data makes unpredictable. That changes nothing: these
    // sums start at +0.0 and grow only by non-negative amounts, so they are
    // never -0.0 or NaN, and x + 0.0 is x for every other x.
    for (std::int64_t j = 0; j < d.n; ++j) {
        const double* item = rowIn(items, j, d.m);
        const int a = negAssignments[j];
        if (a != kUnassigned) {
            double* row = rowIn(prototypes, a, d.m);
            for (std::int64_t i = 0; i < d.m; ++i) row[i] = negativePartOf(item[i]) + row[i];
        }
        const int b = posAssignments[j];
        if (b != kUnassigned) {
            double* row = rowIn(prototypes, b, d.m);
            for (std::int64_t i = 0; i < d.m; ++i) row[i] = positivePartOf(item[i]) + row[i];
        }
    }
    divideHeldPrototypes(prototypes, counts, d.k, d.m);
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

bool Clustions::cluster(double* prototypes, double* items, int* dims, int* assignments,
                        double* similarities, int* passInfo) {
    Dimensions d{};
    if (!acceptDimensions(dims, d)) return false;
    if (!arraysPresent(d, prototypes, items, {assignments, similarities}, passInfo)) return false;
    Scratch scratch;
    if (!scratch.allocate(d.k, 0)) return false;

    for (std::int64_t j = 0; j < d.n; ++j) markUnassigned(similarities, assignments, j);

    // A negative n visits nothing, changes nothing and so ends the run.
    runPasses(
        iterationLimit,
        [&](bool& changed) {
            for (std::int64_t j = 0; j < d.n; ++j) {
                visit(threshold, rowIn(items, j, d.m), prototypes, d.k, d.m, assignments[j],
                      similarities[j], changed);
            }
        },
        [&] { updateOneSided(prototypes, items, d, assignments, scratch.counts); }, passInfo);
    scratch.release();
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
    if (!scratch.allocate(d.k, d.m)) return false;

    for (std::int64_t j = 0; j < d.n; ++j) {
        markUnassigned(negSimilarities, negAssignments, j);
        markUnassigned(posSimilarities, posAssignments, j);
    }

    double* const negative = scratch.negativePart;
    double* const positive = scratch.positivePart;
    runPasses(
        iterationLimit,
        [&](bool& changed) {
            for (std::int64_t j = 0; j < d.n; ++j) {
                splitItem(rowIn(items, j, d.m), d.m, negative, positive);
                // The two parts are visited one after the other: they touch
                // different arrays and only read the prototypes, so the order
                // between them changes nothing.
                visit(threshold, negative, prototypes, d.k, d.m, negAssignments[j],
                      negSimilarities[j], changed);
                visit(threshold, positive, prototypes, d.k, d.m, posAssignments[j],
                      posSimilarities[j], changed);
            }
        },
        [&] {
            updateTwoSided(prototypes, items, d, negAssignments, posAssignments, scratch.counts);
        },
        passInfo);
    scratch.release();
    return true;
}

}  // namespace Vantor
