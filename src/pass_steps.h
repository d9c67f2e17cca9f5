// The blocks of one clustering pass (scan, fold, finish), shared by
// Clustions::cluster and the exported Vantor::steps functions, so both run
// the very same loops. Callers have checked their arguments.
#ifndef VANTOR_SRC_PASS_STEPS_H
#define VANTOR_SRC_PASS_STEPS_H

#include <cstdint>
#include <cstring>

#include "prototype_scan.h"
#include "row_matrix.h"
#include "signed_parts.h"

namespace Vantor {
namespace pass {

// What an item (or part) holds before its first assignment. Every similarity
// that is not NaN beats -1.0, so the first pass assigns everything it can.
constexpr int kUnassigned = -1;
constexpr double kNoSimilarity = -1.0;

// Number of parts a prototype holds. The two-sided method counts two parts
// per item, which can pass the int range for n above 2^30.
using MemberCount = std::int64_t;

// An assignment is read back from the caller's array, which the caller may
// have filled (or overlapped with another output): only a prototype index
// is ever used as one.
inline bool isPrototype(int a, int k) { return a >= 0 && a < k; }

// Visits one vector (an item or a part) whose prototype as the visit begins
// is `assignment`. An unassigned one starts afresh and counts as a change;
// an assigned one has its similarity measured afresh against its prototype
// as it now stands, so the scan compares candidates with the current value,
// higher or lower than last pass's. Then every other prototype is offered
// from the lowest index up: the vector moves only to a strictly more similar
// one (a tie keeps what it holds, its own prototype or the lower index taken
// earlier in the scan, and a NaN similarity never wins). scan::prototypes
// hands the similarities over in exactly that order, computed four
// prototypes at a time.
inline void visit(double threshold, const double* vector, const double* prototypes, int k, int m,
                  int& assignment, double& similarity, bool& changed) {
    int own = assignment;
    if (!isPrototype(own, k)) {
        own = kUnassigned;
        assignment = kUnassigned;
        similarity = kNoSimilarity;
        changed = true;
    }
    if (m <= 0) {
        // Without features every similarity is 0.0: the own prototype keeps
        // the vector, an unassigned one goes to prototype 0 (0.0 beats -1.0,
        // and no later 0.0 beats the first). Said directly, so that k costs
        // nothing when there is nothing to compare.
        similarity = 0.0;
        if (own == kUnassigned) assignment = 0;
        return;
    }
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

inline void scanItems(double threshold, const double* prototypes, int k, int m,
                      const double* items, std::int64_t count, int* assignments,
                      double* similarities, bool& changed) {
    for (std::int64_t j = 0; j < count; ++j) {
        visit(threshold, rowIn(items, j, m), prototypes, k, m, assignments[j], similarities[j],
              changed);
    }
}

inline void splitItem(const double* item, int m, double* negativePart, double* positivePart) {
    for (std::int64_t i = 0; i < m; ++i) {
        negativePart[i] = negativePartOf(item[i]);
        positivePart[i] = positivePartOf(item[i]);
    }
}

// `negative` and `positive` hold m doubles each when m > 0.
inline void scanParts(double threshold, const double* prototypes, int k, int m,
                      const double* items, std::int64_t count, int* negAssignments,
                      int* posAssignments, double* negSimilarities, double* posSimilarities,
                      double* negative, double* positive, bool& changed) {
    for (std::int64_t j = 0; j < count; ++j) {
        if (m > 0) splitItem(rowIn(items, j, m), m, negative, positive);
        // The two parts are visited one after the other: they touch
        // different arrays and only read the prototypes, so the order
        // between them changes nothing.
        visit(threshold, negative, prototypes, k, m, negAssignments[j], negSimilarities[j],
              changed);
        visit(threshold, positive, prototypes, k, m, posAssignments[j], posSimilarities[j],
              changed);
    }
}

inline void startUpdate(int k, MemberCount* counts) {
    for (std::int64_t p = 0; p < k; ++p) counts[p] = 0;
}

// Counts a member of prototype a and returns its row of sums, set to +0.0 if
// this is the row's first member. Starting the row here, not before the
// fold, is what lets the sums be the prototypes themselves: a prototype
// without members is never written, and a held one is zeroed exactly once,
// before its first addition, as an update in place does.
inline double* memberRow(double* sums, MemberCount* counts, int a, int m) {
    double* row = rowIn(sums, a, m);
    if (counts[a]++ == 0) {
        for (std::int64_t l = 0; l < m; ++l) row[l] = 0.0;
    }
    return row;
}

// item + row, with the item's NaN when both are NaN. SSE addition returns its
// first operand's NaN, but a compiler may swap the operands of `x + p`
// (addition commutes in value, not in NaN payload), so the order is pinned
// and the result does not depend on the optimiser. Elsewhere the NaN is
// picked by hand, as SSE picks it: the first NaN operand made quiet, or for
// infinities of both signs the negative default NaN (ARM's is positive).
inline double sumKeepingFirstNaN(double x, double p) {
#if defined(__SSE2__) && defined(__GNUC__)
    __asm__("addsd %1, %0" : "+x"(x) : "x"(p));
    return x;
#else
    const double s = x + p;
    if (!(s != s)) return s;
    std::uint64_t bits = 0xFFF8000000000000u;
    if (x != x) {
        std::memcpy(&bits, &x, sizeof bits);
    } else if (p != p) {
        std::memcpy(&bits, &p, sizeof bits);
    }
    bits |= std::uint64_t{1} << 51;
    double nan;
    std::memcpy(&nan, &bits, sizeof nan);
    return nan;
#endif
}

// Means are taken over the items' values as they are, negative values
// included (the gate and the clamp act only inside evalSimil). Each sum is
// rounded to double after every addition, in item order.
inline void foldItems(const double* items, int m, std::int64_t count, const int* assignments,
                      int k, double* sums, MemberCount* counts) {
    for (std::int64_t j = 0; j < count; ++j) {
        const int a = assignments[j];
        if (!isPrototype(a, k)) continue;
        const double* item = rowIn(items, j, m);
        double* row = memberRow(sums, counts, a, m);
        for (std::int64_t l = 0; l < m; ++l) row[l] = sumKeepingFirstNaN(item[l], row[l]);
    }
}

// Negative and positive parts counted alike; a part that is all zero counts
// as a member and adds nothing. Each feature adds its part to the row of
// each side; the other side's +0.0 (and that of zeros and NaN) is added too,
// in place of a branch that real data makes unpredictable. That changes
// nothing: these sums start at +0.0 and grow only by non-negative amounts,
// so they are never -0.0 or NaN, and x + 0.0 is x for every other x.
inline void foldParts(const double* items, int m, std::int64_t count, const int* negAssignments,
                      const int* posAssignments, int k, double* sums, MemberCount* counts) {
    for (std::int64_t j = 0; j < count; ++j) {
        const double* item = rowIn(items, j, m);
        const int a = negAssignments[j];
        if (isPrototype(a, k)) {
            double* row = memberRow(sums, counts, a, m);
            for (std::int64_t i = 0; i < m; ++i) row[i] = negativePartOf(item[i]) + row[i];
        }
        const int b = posAssignments[j];
        if (isPrototype(b, k)) {
            double* row = memberRow(sums, counts, b, m);
            for (std::int64_t i = 0; i < m; ++i) row[i] = positivePartOf(item[i]) + row[i];
        }
    }
}

// Prototypes without members keep their values: they are neither zeroed nor
// divided, and stay available to later passes. The test is "more than none"
// rather than "not none", so that a count handed in by a caller of the
// exported steps that is negative cannot turn a prototype into the negated
// mean.
inline void finishUpdate(const double* sums, const MemberCount* counts, int k, int m,
                         double* prototypes) {
    for (std::int64_t p = 0; p < k; ++p) {
        if (counts[p] <= 0) continue;
        const double* sum = rowIn(sums, p, m);
        double* row = rowIn(prototypes, p, m);
        const double members = static_cast<double>(counts[p]);
        for (std::int64_t l = 0; l < m; ++l) row[l] = sum[l] / members;
    }
}

}  // namespace pass
}  // namespace Vantor

#endif
