// Both clustering methods: passes of assignment and recomputation. The
// assignment scan, where nearly all the time goes, runs through
// scan::prototypes; everything else follows the steps one by one.
#include "clustering.h"

#include <cstdint>
#include <new>

#include "prototype_scan.h"

namespace Vantor {
namespace clustering {

namespace {

using scan::rowOf;

// Scratch of one call, released on every way out.
template <class T>
class Scratch {
public:
    explicit Scratch(std::int64_t count) : data_(new (std::nothrow) T[count > 0 ? count : 0]) {}
    ~Scratch() { delete[] data_; }
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;
    T* get() const { return data_; }

private:
    T* data_;
};

// The stop rule after a pass: stop when nothing changed, or at the limit.
bool lastPass(bool changed, int pass, int iterationLimit) {
    return !changed || pass == iterationLimit;
}

// x + p, with x's NaN when both are NaN. The hardware's SSE addition returns
// its first operand's NaN, but a compiler may swap the operands of `x + p`
// (addition commutes in value, not in NaN payload), so the order is pinned.
inline double sumKeepingFirstNaN(double x, double p) {
#if defined(__SSE2__) && defined(__GNUC__)
    __asm__("addsd %1, %0" : "+x"(x) : "x"(p));
    return x;
#else
    return x + p;
#endif
}

// Recomputation of the one-sided prototypes: each prototype that holds items
// becomes their mean, its sums rounded to double after every addition.
void recomputeWhole(double* prototypes, const double* items, int k, int n, int m,
                    const int* assignments, int* counts) {
    for (int p = 0; p < k; ++p) counts[p] = 0;
    for (int j = 0; j < n; ++j)
        if (assignments[j] != -1) counts[assignments[j]] += 1;
    for (int p = 0; p < k; ++p) {
        if (counts[p] == 0) continue;
        double* row = rowOf(prototypes, p, m);
        for (int l = 0; l < m; ++l) row[l] = 0.0;
    }
    for (int j = 0; j < n; ++j) {
        const int a = assignments[j];
        if (a == -1) continue;
        const double* item = rowOf(items, j, m);
        double* row = rowOf(prototypes, a, m);
        for (int l = 0; l < m; ++l) row[l] = sumKeepingFirstNaN(item[l], row[l]);
    }
    for (int p = 0; p < k; ++p) {
        if (counts[p] == 0) continue;
        double* row = rowOf(prototypes, p, m);
        const double count = counts[p];
        for (int l = 0; l < m; ++l) row[l] = row[l] / count;
    }
}

// The two parts of a feature x: |x| on its own side, +0.0 on the other;
// zeros and NaN belong to neither.
inline double negativePart(double x) { return x < 0.0 ? -x : 0.0; }
inline double positivePart(double x) { return x > 0.0 ? x : 0.0; }

// Recomputation of the two-sided prototypes: means of all parts they hold.
void recomputeParts(double* prototypes, const double* items, int k, int n, int m,
                    const int* negAssignments, const int* posAssignments, int* counts) {
    for (int l = 0; l < k; ++l) counts[l] = 0;
    for (int j = 0; j < n; ++j) {
        if (negAssignments[j] != -1) counts[negAssignments[j]] += 1;
        if (posAssignments[j] != -1) counts[posAssignments[j]] += 1;
    }
    for (int l = 0; l < k; ++l) {
        if (counts[l] == 0) continue;
        double* row = rowOf(prototypes, l, m);
        for (int i = 0; i < m; ++i) row[i] = 0.0;
    }
    // Each feature adds its magnitude to the prototype of its side. Adding
    // +0.0 for the features of the other side (and for zeros and NaN) in
    // place of a branch changes nothing: these sums start at +0.0 and only
    // ever grow by non-negative amounts, so they are never -0.0 or NaN, and
    // x + 0.0 is x for every other x.
    for (int j = 0; j < n; ++j) {
        const double* item = rowOf(items, j, m);
        const int a = negAssignments[j];
        if (a != -1) {
            double* row = rowOf(prototypes, a, m);
            for (int i = 0; i < m; ++i) row[i] = negativePart(item[i]) + row[i];
        }
        const int b = posAssignments[j];
        if (b != -1) {
            double* row = rowOf(prototypes, b, m);
            for (int i = 0; i < m; ++i) row[i] = positivePart(item[i]) + row[i];
        }
    }
    for (int l = 0; l < k; ++l) {
        if (counts[l] == 0) continue;
        double* row = rowOf(prototypes, l, m);
        const double count = counts[l];
        for (int i = 0; i < m; ++i) row[i] = row[i] / count;
    }
}

// Assigns one vector: `own` is its prototype as the visit begins. Its
// similarity is measured afresh; it moves only to a strictly more similar
// prototype (NaN never is), the lowest index among equals.
bool assign(double threshold, const double* x, const double* prototypes, int k, int m,
            int* assignment, double* similarity) {
    const int own = *assignment;
    bool changed = own < 0;
    scan::prototypes(threshold, x, prototypes, k, m, own, [&](int l, double s) {
        if (l == own) {
            *similarity = s;
        } else if (s > *similarity) {
            *similarity = s;
            *assignment = l;
            changed = true;
        }
    });
    return changed;
}

}  // namespace

bool whole(const Clustions& config, double* prototypes, const double* items, const int* dims,
           int* assignments, double* similarities, int* passInfo) {
    const int k = dims[0], n = dims[1], m = dims[2];
    if (k == 0 || n == 0 || m == 0) return false;
    if (k < 0) return false;  // no prototype to hold a count
    Scratch<int> counts(k);
    if (counts.get() == nullptr) return false;
    for (int j = 0; j < n; ++j) {
        similarities[j] = -1.0;
        assignments[j] = -1;
    }
    int pass = 0;
    bool changed = false;
    for (bool goOn = true; goOn;) {
        ++pass;
        changed = false;
        for (int j = 0; j < n; ++j) {
            changed |= assign(config.threshold, rowOf(items, j, m), prototypes, k, m, assignments + j,
                              similarities + j);
        }
        goOn = !lastPass(changed, pass, config.iterationLimit);
        if (changed) recomputeWhole(prototypes, items, k, n, m, assignments, counts.get());
    }
    passInfo[0] = changed ? 0 : 1;
    passInfo[1] = pass;
    return true;
}

bool parts(const Clustions& config, double* prototypes, const double* items, const int* dims,
           int* negAssignments, int* posAssignments, double* negSimilarities,
           double* posSimilarities, int* passInfo) {
    const int k = dims[0], n = dims[1], m = dims[2];
    if (k == 0 || n == 0 || m == 0) return false;
    if (k < 0) return false;  // no prototype to hold a count
    Scratch<int> counts(k);
    Scratch<double> negative(m), positive(m);
    if (counts.get() == nullptr || negative.get() == nullptr || positive.get() == nullptr) return false;
    for (int j = 0; j < n; ++j) {
        negSimilarities[j] = -1.0;
        negAssignments[j] = -1;
        posSimilarities[j] = -1.0;
        posAssignments[j] = -1;
    }
    int pass = 0;
    bool changed = false;
    for (bool goOn = true; goOn;) {
        ++pass;
        changed = false;
        if (n < 0) break;  // one pass that looks at no item
        for (int j = 0; j < n; ++j) {
            // Split once per item and pass; NaN and zeros go to neither part.
            const double* item = rowOf(items, j, m);
            for (int i = 0; i < m; ++i) {
                negative.get()[i] = negativePart(item[i]);
                positive.get()[i] = positivePart(item[i]);
            }
            changed |= assign(config.threshold, negative.get(), prototypes, k, m, negAssignments + j,
                              negSimilarities + j);
            changed |= assign(config.threshold, positive.get(), prototypes, k, m, posAssignments + j,
                              posSimilarities + j);
        }
        goOn = !lastPass(changed, pass, config.iterationLimit);
        if (changed)
            recomputeParts(prototypes, items, k, n, m, negAssignments, posAssignments, counts.get());
    }
    passInfo[1] = pass;
    passInfo[0] = changed ? 0 : 1;
    return true;
}

}  // namespace clustering
}  // namespace Vantor
