// The scan the three Dinorms kernels share: every nonzero value at or below
// -threshold is folded into the negative aggregate A, every other one at or
// above threshold into the positive aggregate B, in index order, and a
// significant value outside [-1, 1] fails the call with nothing written.
//
// Why it is written this way: whether a value is negative, positive or
// insignificant is a coin toss on real data, and a mispredicted branch costs
// more than a fold. So the values are classified without branches, two at a
// time:
//  - the extreme-value rule needs no order at all (A is the minimum, B the
//    maximum, and equal values have equal bits). With the threshold in
//    [0, 1], as the setter keeps it, it needs no classification either: the
//    smallest value of the whole vector is A when it is significant (and A
//    is 0.0 when it is not, since then no value is), the largest likewise is
//    B, and a value outside [-1, 1] is always significant, so the vector
//    fails exactly when its smallest value is below -1 or its largest above
//    1. So the scan only keeps the running extremes of all values, four at
//    a time where the processor has AVX2 (value_range.inc). Any other
//    threshold (a host may write the field) takes the classifying scan,
//    with a running minimum and maximum per lane merged at the end;
//  - the probabilistic and bounded sums are sequential, so the significant
//    values of a block are appended to one list per side, and the two folds
//    then run side by side over the lists, each in index order, spread over
//    the classification of the next block.
// Either way A and B see exactly the values, in exactly the order, that a
// loop over the positions one by one would give them, so every bit of the
// result is the same.
#ifndef VANTOR_SRC_SIGNED_SCAN_H
#define VANTOR_SRC_SIGNED_SCAN_H

#include <cstdint>

#include "extended.h"
#include "lanes.h"
#include "wide_lanes.h"

namespace Vantor {
namespace signedscan {

using lanes::Pair;

constexpr int kBlock = 256;

namespace base {
namespace ln = ::Vantor::lanes;
#include "value_range.inc"
}  // namespace base

#if VANTOR_WIDE_LANES
VANTOR_WIDE_BEGIN
namespace wide {
namespace ln = ::Vantor::quad;
#include "value_range.inc"
}  // namespace wide
VANTOR_WIDE_END
#endif

// Whether values[0 .. n-1] all lie in [-1, 1] (NaN passes), by the running
// extremes of value_range.inc, four values at a time where AVX2 is there.
inline bool inRange(std::int64_t n, const double* values, double& lowest, double& highest) {
#if VANTOR_WIDE_LANES
    if (lanes::kWide) return wide::valueRange(n, values, lowest, highest);
#endif
    return base::valueRange(n, values, lowest, highest);
}

// rowRanges of value_range.inc on the widest lanes there are.
template <bool kNaN, class PerRow>
inline std::int64_t rowRanges(const double* data, std::int64_t stride, std::int64_t n, std::int64_t begin,
                              std::int64_t end, PerRow&& perRow) {
#if VANTOR_WIDE_LANES
    if (lanes::kWide) return wide::rowRanges<kNaN>(data, stride, n, begin, end, perRow);
#endif
    return base::rowRanges<kNaN>(data, stride, n, begin, end, perRow);
}

// Masks of the significant values among two: negative side, positive side,
// and those of either side that lie outside [-1, 1].
struct Classes {
    Pair negative, positive, outside;
};

inline Classes classify(Pair v, Pair lower, Pair threshold) {
    const Pair zero = lanes::equal(v, lanes::broadcast(0.0));  // -0.0 too
    Classes c;
    c.negative = lanes::zeroWhere(zero, lanes::atMost(v, lower));
    c.positive = lanes::zeroWhere(lanes::either(zero, c.negative), lanes::atLeast(v, threshold));
    c.outside = lanes::either(lanes::both(c.negative, lanes::lessThan(v, lanes::broadcast(-1.0))),
                              lanes::both(c.positive, lanes::greaterThan(v, lanes::broadcast(1.0))));
    return c;
}

// Two values from v, or one when only one is left (the other lane is then
// +0.0, which is never significant).
inline Pair loadUpToTwo(const double* v, std::int64_t left) {
    return left >= 2 ? lanes::load(v) : lanes::loadOne(v);
}

// Extreme values: A <- v when v <= A, B <- v when v >= B, classifying every
// value as the common scan does; for any threshold.
inline bool classifiedExtremes(double threshold, std::int64_t n, const double* values, double* result) {
    const Pair lower = lanes::broadcast(-threshold), upper = lanes::broadcast(threshold);
    Pair a = lanes::broadcast(0.0), b = a;
    for (std::int64_t start = 0; start < n; start += kBlock) {
        const std::int64_t end = n - start < kBlock ? n : start + kBlock;
        Pair outside = lanes::broadcast(0.0);
        for (std::int64_t i = start; i < end; i += 2) {
            const Pair v = loadUpToTwo(values + i, end - i);
            const Classes c = classify(v, lower, upper);
            outside = lanes::either(outside, c.outside);
            a = lanes::select(lanes::both(c.negative, lanes::atMost(v, a)), v, a);
            b = lanes::select(lanes::both(c.positive, lanes::atLeast(v, b)), v, b);
        }
        if (lanes::any(outside)) return false;
    }
    const double aLow = lanes::low(a), aHigh = lanes::high(a);
    const double bLow = lanes::low(b), bHigh = lanes::high(b);
    result[0] = aHigh <= aLow ? aHigh : aLow;
    result[1] = bHigh >= bLow ? bHigh : bLow;
    return true;
}

// The extreme values of a vector whose range (with 0.0) is [lowest,
// highest], for a threshold in [0, 1]; see the top of the file.
inline void extremesOfRange(double threshold, double lowest, double highest, double* result) {
    // Zero (of either sign) is never significant; with threshold 0 it passes
    // the sign tests, so it is named here.
    result[0] = lowest <= -threshold && lowest != 0.0 ? lowest : 0.0;
    result[1] = highest >= threshold && highest != 0.0 ? highest : 0.0;
}

// Extreme values, for any threshold; see the top of the file.
inline bool extremes(double threshold, std::int64_t n, const double* values, double* result) {
    if (!(threshold >= 0.0 && threshold <= 1.0)) return classifiedExtremes(threshold, n, values, result);
    double lowest = 0.0, highest = 0.0;
    if (!inRange(n, values, lowest, highest)) return false;
    extremesOfRange(threshold, lowest, highest, result);
    return true;
}

// The significant values of one block, side by side in index order.
struct Lists {
    double negative[kBlock + 2];
    double positive[kBlock + 2];
};

// Sequential folds. rule.negative(A, v) and rule.positive(B, v) fold one
// value into a extended aggregate; rule.settled(A, B) says that no value
// in [-1, 1] can move either any more, and that every value outside [-1, 1]
// would be refused.
template <class Rule>
bool folds(double threshold, std::int64_t n, const double* values, double* result) {
    const Rule rule(threshold);
    const Pair lower = lanes::broadcast(-threshold), upper = lanes::broadcast(threshold);
    Extended a = 0.0;
    Extended b = 0.0;
    Lists lists[2];
    Lists* ready = &lists[0];
    Lists* filling = &lists[1];
    int readyNegative = 0, readyPositive = 0;  // lengths of the lists in `ready`
    for (std::int64_t start = 0; start < n || readyNegative + readyPositive > 0; start += kBlock) {
        if (start < n && rule.settled(a, b)) {
            // Nothing left can move A or B, so only a refusal can still
            // change the outcome: the rest is checked by its extremes (see
            // settled()), and the folds still pending would leave A and B as
            // they are.
            double lowest = 0.0, highest = 0.0;
            if (!inRange(n - start, values + start, lowest, highest)) return false;
            break;
        }
        const int length = start < n ? static_cast<int>(n - start < kBlock ? n - start : kBlock) : 0;
        int negatives = 0, positives = 0;
        Pair outside = lanes::broadcast(0.0);
        int i = 0;
        for (; i < length; i += 2) {
            const Pair v = loadUpToTwo(values + start + i, length - i);
            const Classes c = classify(v, lower, upper);
            outside = lanes::either(outside, c.outside);
            const int neg = lanes::maskBits(c.negative), pos = lanes::maskBits(c.positive);
            lanes::storeLow(filling->negative + negatives, v);
            negatives += neg & 1;
            lanes::storeHigh(filling->negative + negatives, v);
            negatives += neg >> 1;
            lanes::storeLow(filling->positive + positives, v);
            positives += pos & 1;
            lanes::storeHigh(filling->positive + positives, v);
            positives += pos >> 1;
            // Meanwhile, fold one value of each list of the previous block:
            // spread over the loop, the folds hide the classification.
            const int k = i / 2;
            if (k < readyNegative) rule.negative(a, ready->negative[k]);
            if (k < readyPositive) rule.positive(b, ready->positive[k]);
        }
        // Whatever is left, both sides side by side while both have values.
        int j = i / 2;
        for (; j < readyNegative && j < readyPositive; ++j) {
            rule.negative(a, ready->negative[j]);
            rule.positive(b, ready->positive[j]);
        }
        for (; j < readyNegative; ++j) rule.negative(a, ready->negative[j]);
        for (; j < readyPositive; ++j) rule.positive(b, ready->positive[j]);
        if (lanes::any(outside)) return false;
        Lists* emptied = ready;
        ready = filling;
        filling = emptied;
        readyNegative = negatives;
        readyPositive = positives;
    }
    result[0] = static_cast<double>(a);
    result[1] = static_cast<double>(b);
    return true;
}

// Probabilistic sum on magnitudes, written with signs: A + (v + A*v) and
// B + (v - B*v), grouped as written.
struct ProbabilisticSum {
    explicit ProbabilisticSum(double) {}
    static bool settled(const Extended&, const Extended&) { return false; }
    void negative(Extended& a, double v) const { a = a + (v + a * v); }
    void positive(Extended& b, double v) const { b = b + (v - b * v); }
};

// Bounded sum, clipped after every addition on the extended sum.
//
// With a threshold of 0 or more, only values <= 0 reach A and only values
// >= 0 reach B, so once A is -1 (B is 1) every later fold gives -1 (1)
// again: the sum goes at or past the bound and is clipped back to it. The
// fold is then skipped, which on real data, where the bounded sum saturates
// within a few values, takes its slow dependent chain out of the scan. A
// negative threshold (only a host writing the field can set one) lets values
// of the other sign in, and the shortcut stays off.
//
// Once both sides sit at their bounds, the rest of the vector can only fail
// the call. With the threshold in [0, 1] every value outside [-1, 1] is
// significant and so refused, which makes the rest a check of its smallest
// and largest value: on data where the sums saturate early, most of the
// vector is read at the speed of that check, not classified.
struct BoundedSum {
    explicit BoundedSum(double threshold)
        : saturates(threshold >= 0.0), inUnit(threshold >= 0.0 && threshold <= 1.0) {}
    bool settled(const Extended& a, const Extended& b) const {
        return inUnit && a == -1.0 && b == 1.0;
    }
    void negative(Extended& a, double v) const {
        if (saturates && a == -1.0) return;
        const Extended s = a + v;
        a = s > -1.0 ? s : Extended(-1.0);
    }
    void positive(Extended& b, double v) const {
        if (saturates && b == 1.0) return;
        const Extended s = b + v;
        b = s < 1.0 ? s : Extended(1.0);
    }
    bool saturates;
    bool inUnit;
};

}  // namespace signedscan
}  // namespace Vantor

#endif
