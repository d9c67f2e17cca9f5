// The kernels behind vantor/tables.h: Contifiers and Dinorms over a group of
// four rows at a time.
//
// Why groups of rows: one row's two running sums are bound by the latency of
// an extended addition (each waits for the one before), while the adder
// could start a new addition every cycle. Four rows give eight independent
// sums, enough to keep it busy and exactly the x87's eight registers, so the
// rows run at the adder's throughput. Each row's sums still see its own
// additions in index order, so its bits are those of `aggregate`.
//
// Picking (validation, gate, choice of the term's operands) is branch-free
// on lanes, as in gated_mean.h and similarity_rows.h: along a row where its
// values are adjacent, across four rows where the rows are (a matrix stored
// by column), value by value otherwise. A gated-out position adds +0.0 to
// both sums instead of being left out, so the four rows keep in step.
//
// Dinorms rows collect each row's significant values per side, as
// signed_scan.h does for one vector, and then fold the four rows' lists side
// by side: eight independent folds.
#ifndef VANTOR_SRC_TABLE_ROWS_H
#define VANTOR_SRC_TABLE_ROWS_H

#include <cstdint>
#include <cstring>
#include <type_traits>

#include "gated_mean.h"
#include "lanes.h"
#include "signed_scan.h"
#include "wide_lanes.h"

namespace Vantor {
namespace rows {

// The extended type of every running sum in this file.
using Sum = Extended;

constexpr int kGroup = 4;  // rows side by side
constexpr int kSpan = 64;  // positions picked before their additions

// Value (r, c) at data[r * rowStride + c * columnStride], 64-bit arithmetic.
struct View {
    const double* data;
    std::int64_t rowStride;
    std::int64_t columnStride;
    double at(std::int64_t r, std::int64_t c) const { return data[r * rowStride + c * columnStride]; }
};

// A Contifiers kernel is named by its rule in gated_mean.h, whose term the
// table adds: one definition of each kernel's arithmetic for a vector and for
// a table.
template <class Rule>
constexpr bool kMutual = std::is_same_v<Rule, gated::MutType0> || std::is_same_v<Rule, gated::MutType1> ||
                         std::is_same_v<Rule, gated::MutType2>;

namespace base {
namespace ln = ::Vantor::lanes;
#include "contify_rows.inc"
}  // namespace base

#if VANTOR_WIDE_LANES
VANTOR_WIDE_BEGIN
namespace wide {
namespace ln = ::Vantor::quad;
#include "contify_rows.inc"
}  // namespace wide
VANTOR_WIDE_END
#endif

// True when one of the `count` adjacent values from p is a NaN (the one
// value not equal to itself), two values at a time.
inline bool anyNaN(const double* p, std::int64_t count) {
    lanes::Pair same = lanes::equal(lanes::broadcast(0.0), lanes::broadcast(0.0));
    std::int64_t i = 0;
    for (; i + 4 <= count; i += 4) {
        const lanes::Pair a = lanes::load(p + i), b = lanes::load(p + i + 2);
        same = lanes::both(same, lanes::both(lanes::equal(a, a), lanes::equal(b, b)));
    }
    for (; i + 2 <= count; i += 2) same = lanes::both(same, lanes::equal(lanes::load(p + i), lanes::load(p + i)));
    bool found = lanes::maskBits(same) != 3;
    if (i < count) found = found || p[i] != p[i];
    return found;
}

// The first position of row r holding a NaN, or -1.
inline int nanPosition(const View& t, std::int64_t r, int m) {
    for (int c = 0; c < m; ++c) {
        const double v = t.at(r, c);
        if (v != v) return c;
    }
    return -1;
}

// The position in row r where the Contifiers scan stops: the first holding a
// value outside [0, 1] in either table, or -1.
inline int outsidePosition(const View& a, const View& b, std::int64_t r, int m) {
    for (int c = 0; c < m; ++c) {
        const double x = a.at(r, c), y = b.at(r, c);
        if (x < 0.0 || x > 1.0 || y < 0.0 || y > 1.0) return c;
    }
    return -1;
}

// Where the rows' values lie decides how they are picked: along a row when
// both tables keep a row's values adjacent, across rows otherwise.
inline bool alongRows(const View& a, const View& b) { return a.columnStride == 1 && b.columnStride == 1; }

// Contifiers over rows [begin, end): degrees[r - begin] for each, or nothing
// stored when degrees is null (a check only). Returns the first row holding
// a value outside [0, 1] (or a NaN, with kNaN), or end when there is none
// (rows after it may have their degrees stored, rows before it do).
template <class Rule, bool kNaN = false>
std::int64_t contifyRows(const View& a, const View& b, std::int64_t begin, std::int64_t end, int m,
                         double threshold, double* degrees, bool wideLanes) {
    const bool along = alongRows(a, b);
    for (std::int64_t r = begin; r < end; r += kGroup) {
        const int real = end - r < kGroup ? static_cast<int>(end - r) : kGroup;
        double* out = degrees == nullptr ? nullptr : degrees + (r - begin);
        bool inRange;
#if VANTOR_WIDE_LANES
        if (wideLanes) {
            inRange = along ? wide::contifyGroup<Rule, true, kNaN>(a, b, r, real, m, threshold, out)
                            : wide::contifyGroup<Rule, false, kNaN>(a, b, r, real, m, threshold, out);
        } else
#endif
        {
            (void)wideLanes;
            inRange = along ? base::contifyGroup<Rule, true, kNaN>(a, b, r, real, m, threshold, out)
                            : base::contifyGroup<Rule, false, kNaN>(a, b, r, real, m, threshold, out);
        }
        if (!inRange) {
            for (int g = 0; g < real; ++g) {
                if (outsidePosition(a, b, r + g, m) >= 0) return r + g;
                if (kNaN && (nanPosition(a, r + g, m) >= 0 || nanPosition(b, r + g, m) >= 0)) return r + g;
            }
        }
    }
    return end;
}

// The sums of signed_scan.h, with their state type named for the group fold.
struct ProbabilisticSum : signedscan::ProbabilisticSum {
    using State = Sum;
    using signedscan::ProbabilisticSum::ProbabilisticSum;
};
struct BoundedSum : signedscan::BoundedSum {
    using State = Sum;
    using signedscan::BoundedSum::BoundedSum;
};

// The position in row r where the Dinorms scan stops: its first significant
// value outside [-1, 1], or -1.
inline int refusedPosition(const View& t, std::int64_t r, int m, double threshold) {
    for (int c = 0; c < m; ++c) {
        const double v = t.at(r, c);
        if (v == 0.0) continue;  // -0.0 too
        if (v <= -threshold ? v < -1.0 : v >= threshold && v > 1.0) return c;
    }
    return -1;
}

// The first of rows r .. r + real - 1 holding such a value, as an offset
// from r, or real.
inline int firstOutsideRow(const View& t, std::int64_t r, int real, int m, double threshold) {
    for (int g = 0; g < real; ++g) {
        if (refusedPosition(t, r + g, m, threshold) >= 0) return g;
    }
    return real;
}

// Dinorms::cmbType0 (the side of larger magnitude wins) on aggregates the
// kernel has checked, without a branch on the data: the rule's two tests
// of the sum's sign, mispredicted on every other row of random data, cost
// more than the row's whole scan. Without a neutral band only the sign of
// the extended sum matters, and rounding never changes a sign, so the two
// sides are compared as they are; with one, the rule's own extended sum is
// held against the band. The winner is picked by masks (neither: +0.0).
inline double dominantSide(double neutralBand, double negative, double positive) {
    bool toPositive, toNegative;
    if (neutralBand > 0.0) {  // the caller's setting, the same for every row
        const Sum d = static_cast<Sum>(positive) + negative;
        const bool neutral = (neutralBand > d) & (d > -neutralBand);
        toPositive = !neutral & (d > 0.0);
        toNegative = !neutral & (d < 0.0);
    } else {
        toPositive = positive > -negative;
        toNegative = positive < -negative;
    }
    std::uint64_t p, n;
    std::memcpy(&p, &positive, sizeof p);
    std::memcpy(&n, &negative, sizeof n);
    const std::uint64_t picked = (p & (std::uint64_t{0} - toPositive)) | (n & (std::uint64_t{0} - toNegative));
    double result;
    std::memcpy(&result, &picked, sizeof result);
    return result;
}

// Whether the combination rules take these aggregates (their input check;
// NaN passes, as it does there).
inline bool combinable(double a, double b) { return !(a < -1.0 || a > 0.0 || b < 0.0 || b > 1.0); }

// The end of a group of `real` rows from r whose aggregates are as and bs:
// the first row `aggregate` refuses, as an offset (a value outside [-1, 1]
// when the scan saw one, else aggregates no combination rule takes), or
// real, after storing the aggregates at [at, at + real) unless the outputs
// are null.
inline int finishGroup(const View& t, std::int64_t r, int real, int m, double threshold, bool sawOutside,
                       const double* as, const double* bs, double* negative, double* positive,
                       std::int64_t at) {
    int refused = sawOutside ? firstOutsideRow(t, r, real, m, threshold) : real;
    for (int g = 0; g < refused; ++g) {
        if (!combinable(as[g], bs[g])) {
            refused = g;
            break;
        }
    }
    if (refused < real || negative == nullptr) return refused;
    for (int g = 0; g < real; ++g) {
        negative[at + g] = as[g];
        positive[at + g] = bs[g];
    }
    return real;
}

constexpr int kFoldSpan = 64;  // positions classified before their folds

// The significant values of one span of one row, per side, padded.
struct SideLists {
    double negative[kFoldSpan + 2];
    double positive[kFoldSpan + 2];
    int negatives, positives;
};

// Classifies positions [c0, c0 + count) of row r into its lists; returns the
// mask of significant values outside [-1, 1].
VANTOR_KERNEL_INLINE lanes::Pair classifySpan(const View& t, std::int64_t r, std::int64_t c0, int count,
                                            lanes::Pair lower, lanes::Pair upper, SideLists& lists) {
    lanes::Pair outside = lanes::broadcast(0.0);
    int negatives = 0, positives = 0;
    const double* row = t.data + r * t.rowStride + c0 * t.columnStride;
    for (int i = 0; i < count; i += 2) {
        lanes::Pair v;
        if (t.columnStride == 1) {
            v = signedscan::loadUpToTwo(row + i, count - i);
        } else {
            double two[2] = {row[i * t.columnStride], 0.0};
            if (i + 1 < count) two[1] = row[(i + 1) * t.columnStride];
            v = lanes::load(two);
        }
        const signedscan::Classes c = signedscan::classify(v, lower, upper);
        outside = lanes::either(outside, c.outside);
        const int neg = lanes::maskBits(c.negative), pos = lanes::maskBits(c.positive);
        lanes::storeLow(lists.negative + negatives, v);
        negatives += neg & 1;
        lanes::storeHigh(lists.negative + negatives, v);
        negatives += neg >> 1;
        lanes::storeLow(lists.positive + positives, v);
        positives += pos & 1;
        lanes::storeHigh(lists.positive + positives, v);
        positives += pos >> 1;
    }
    lists.negatives = negatives;
    lists.positives = positives;
    return outside;
}

// The folds of two rows' lists, padded to `longest` with +0.0 (see below).
template <class Rule, class State>
VANTOR_KERNEL_INLINE void foldPadded(const Rule& rule, const SideLists& x, const SideLists& y, int longest,
                                   State& ax, State& bx, State& ay, State& by) {
    for (int j = 0; j < longest; ++j) {
        rule.negative(ax, x.negative[j]);
        rule.positive(bx, x.positive[j]);
        rule.negative(ay, y.negative[j]);
        rule.positive(by, y.positive[j]);
    }
}

// The same, each list to its own length.
template <class Rule, class State>
VANTOR_KERNEL_INLINE void foldGuarded(const Rule& rule, const SideLists& x, const SideLists& y, int longest,
                                    State& ax, State& bx, State& ay, State& by) {
    for (int j = 0; j < longest; ++j) {
        if (j < x.negatives) rule.negative(ax, x.negative[j]);
        if (j < x.positives) rule.positive(bx, x.positive[j]);
        if (j < y.negatives) rule.negative(ay, y.negative[j]);
        if (j < y.positives) rule.positive(by, y.positive[j]);
    }
}

// Dinorms aggregates over rows [begin, end) into negative[r - begin] and
// positive[r - begin] (nothing stored when both are null, a check only).
// Returns the first row that `aggregate` refuses, or end: a row holding a
// significant value outside [-1, 1], or a row whose aggregates fall outside
// the ranges the combination rules take ([-1, 0] and [0, 1]; only a negative
// threshold, which a host can write into the field, lets that happen).
//
// The four rows' lists are folded side by side up to the longest; a shorter
// list is padded with +0.0, which leaves every aggregate as it is (A + (0 +
// A*0) is A, the bounded sum of A and 0 is A, and 0 is never below A or
// above B) as long as A and B stay finite, which a threshold of 0 or more
// guarantees. A negative threshold can let the probabilistic sum grow
// without bound, so then every fold is guarded instead.
template <class Rule>
std::int64_t dinormRows(const View& t, std::int64_t begin, std::int64_t end, int m, double threshold,
                        double* negative, double* positive) {
    using State = typename Rule::State;
    const Rule rule(threshold);
    const bool guarded = threshold < 0.0;
    const lanes::Pair lower = lanes::broadcast(-threshold), upper = lanes::broadcast(threshold);
    SideLists lists[kGroup];
    // Classifies one span of the group's rows; returns the longest list.
    const auto classifyGroup = [&](std::int64_t r, int real, int c0, int count,
                                   lanes::Pair& outside) VANTOR_KERNEL_LAMBDA_INLINE {
        int longest = 0;
        for (int g = 0; g < kGroup; ++g) {
            const std::int64_t row = r + (g < real ? g : real - 1);
            outside = lanes::either(outside, classifySpan(t, row, c0, count, lower, upper, lists[g]));
            longest = lists[g].negatives > longest ? lists[g].negatives : longest;
            longest = lists[g].positives > longest ? lists[g].positives : longest;
        }
        if (!guarded) {
            for (int g = 0; g < kGroup; ++g) {
                for (int j = lists[g].negatives; j < longest; ++j) lists[g].negative[j] = 0.0;
                for (int j = lists[g].positives; j < longest; ++j) lists[g].positive[j] = 0.0;
            }
        }
        return longest;
    };
    for (std::int64_t r = begin; r < end; r += kGroup) {
        const int real = end - r < kGroup ? static_cast<int>(end - r) : kGroup;
        lanes::Pair outside = lanes::broadcast(0.0);
        // As in contifyGroup: rows of up to kFoldSpan values are classified
        // whole before the first fold, so the eight aggregates stay in
        // registers.
        int count = m < kFoldSpan ? m : kFoldSpan;
        int longest = classifyGroup(r, real, 0, count, outside);
        State a0 = 0.0, b0 = 0.0, a1 = 0.0, b1 = 0.0, a2 = 0.0, b2 = 0.0, a3 = 0.0, b3 = 0.0;
        for (int c0 = 0;;) {
            // Two rows at a time: four folds side by side hide the latency
            // of one (a multiplication and two additions) and leave the x87
            // registers the fold needs beside its four aggregates; eight
            // would not fit, and the optimiser would keep two of them in
            // memory.
            if (guarded) {
                foldGuarded(rule, lists[0], lists[1], longest, a0, b0, a1, b1);
                foldGuarded(rule, lists[2], lists[3], longest, a2, b2, a3, b3);
            } else {
                foldPadded(rule, lists[0], lists[1], longest, a0, b0, a1, b1);
                foldPadded(rule, lists[2], lists[3], longest, a2, b2, a3, b3);
            }
            c0 += count;
            if (c0 >= m) break;
            count = m - c0 < kFoldSpan ? m - c0 : kFoldSpan;
            longest = classifyGroup(r, real, c0, count, outside);
        }
        const double as[kGroup] = {static_cast<double>(a0), static_cast<double>(a1),
                                   static_cast<double>(a2), static_cast<double>(a3)};
        const double bs[kGroup] = {static_cast<double>(b0), static_cast<double>(b1),
                                   static_cast<double>(b2), static_cast<double>(b3)};
        const int refused = finishGroup(t, r, real, m, threshold, lanes::any(outside), as, bs,
                                        negative, positive, r - begin);
        if (refused < real) return r + refused;
    }
    return end;
}

// A row's two aggregates from its range, as signedscan::extremes makes them
// for a threshold in [0, 1]; false when the row is refused (a value outside
// [-1, 1], aggregates no combination takes, or with kNaN a NaN).
template <bool kNaN>
inline bool extremesFromRange(bool sawNaN, double lowest, double highest, double threshold, double& a,
                              double& b) {
    if ((kNaN && sawNaN) || lowest < -1.0 || highest > 1.0) return false;
    double two[2];
    signedscan::extremesOfRange(threshold, lowest, highest, two);
    a = two[0];
    b = two[1];
    return combinable(a, b);
}

// Extreme values of a matrix stored by column (row stride 1), for a
// threshold in [0, 1], where only a row's range decides: four adjacent rows
// in two pairs of lanes, each lane keeping its own row's running extremes
// down the columns, so a column is read in one stream; the last rows one
// at a time with the same choices (v < x ? v : x is MINPD's).
template <bool kNaN>
std::int64_t extremesOfColumns(const View& t, std::int64_t begin, std::int64_t end, int m, double threshold,
                               double* negative, double* positive) {
    using lanes::Pair;
    std::int64_t r = begin;
    for (; r + 4 <= end; r += 4) {
        Pair low0 = lanes::broadcast(0.0), low1 = low0, high0 = low0, high1 = low0;
        Pair same0 = lanes::equal(low0, low0), same1 = same0;
        const double* at = t.data + r;
        for (int c = 0; c < m; ++c, at += t.columnStride) {
            const Pair x = lanes::load(at), y = lanes::load(at + 2);
            low0 = lanes::lesserElse(x, low0);
            high0 = lanes::greaterElse(x, high0);
            low1 = lanes::lesserElse(y, low1);
            high1 = lanes::greaterElse(y, high1);
            same0 = lanes::both(same0, lanes::equal(x, x));
            same1 = lanes::both(same1, lanes::equal(y, y));
        }
        const double lows[4] = {lanes::low(low0), lanes::high(low0), lanes::low(low1), lanes::high(low1)};
        const double highs[4] = {lanes::low(high0), lanes::high(high0), lanes::low(high1), lanes::high(high1)};
        const int sameBits = lanes::maskBits(same0) | (lanes::maskBits(same1) << 2);
        for (int g = 0; g < 4; ++g) {
            double a, b;
            if (!extremesFromRange<kNaN>((sameBits >> g & 1) == 0, lows[g], highs[g], threshold, a, b))
                return r + g;
            if (negative == nullptr) continue;
            negative[r + g - begin] = a;
            positive[r + g - begin] = b;
        }
    }
    for (; r < end; ++r) {
        double lowest = 0.0, highest = 0.0, a, b;
        bool sawNaN = false;
        for (int c = 0; c < m; ++c) {
            const double v = t.at(r, c);
            lowest = v < lowest ? v : lowest;
            highest = v > highest ? v : highest;
            sawNaN = sawNaN || v != v;
        }
        if (!extremesFromRange<kNaN>(sawNaN, lowest, highest, threshold, a, b)) return r;
        if (negative == nullptr) continue;
        negative[r - begin] = a;
        positive[r - begin] = b;
    }
    return end;
}

// Extreme values of rows whose values are adjacent, for a threshold in
// [0, 1], where a row's range decides: the range scan of signed_scan.h, the
// rows' scans in one loop, which finds NaN too. With kNaN a row holding a
// NaN is refused.
template <bool kNaN>
std::int64_t extremesAlongRows(const View& t, std::int64_t begin, std::int64_t end, int m, double threshold,
                               double* negative, double* positive) {
    return signedscan::rowRanges<kNaN>(t.data, t.rowStride, m, begin, end,
                                       [&](std::int64_t r, bool inRange, bool sawNaN, double lowest,
                                           double highest) {
        double a, b;
        if (!inRange || !extremesFromRange<kNaN>(sawNaN, lowest, highest, threshold, a, b)) return false;
        if (negative != nullptr) {
            negative[r - begin] = a;
            positive[r - begin] = b;
        }
        return true;
    });
}

// Extreme values of rows stored side by side (a matrix by column): two rows
// per lane pair, each lane keeping its own row's running extremes column
// after column, exactly as the classifying scan of signed_scan.h keeps them
// along one vector. Any other layout gathers the two values.
inline std::int64_t extremesAcrossRows(const View& t, std::int64_t begin, std::int64_t end, int m,
                                       double threshold, double* negative, double* positive) {
    const lanes::Pair lower = lanes::broadcast(-threshold), upper = lanes::broadcast(threshold);
    for (std::int64_t r = begin; r < end; r += 2) {
        const bool two = end - r >= 2;
        lanes::Pair a = lanes::broadcast(0.0), b = a, outside = a;
        for (int c = 0; c < m; ++c) {
            const double* at = t.data + r * t.rowStride + c * t.columnStride;
            double pair[2] = {at[0], two ? at[t.rowStride] : 0.0};  // +0.0 is never significant
            const lanes::Pair v = t.rowStride == 1 && two ? lanes::load(at) : lanes::load(pair);
            const signedscan::Classes k = signedscan::classify(v, lower, upper);
            outside = lanes::either(outside, k.outside);
            a = lanes::select(lanes::both(k.negative, lanes::atMost(v, a)), v, a);
            b = lanes::select(lanes::both(k.positive, lanes::atLeast(v, b)), v, b);
        }
        const int real = two ? 2 : 1;
        const double as[2] = {lanes::low(a), lanes::high(a)}, bs[2] = {lanes::low(b), lanes::high(b)};
        const int refused = finishGroup(t, r, real, m, threshold, lanes::any(outside), as, bs,
                                        negative, positive, r - begin);
        if (refused < real) return r + refused;
    }
    return end;
}

}  // namespace rows
}  // namespace Vantor

#endif
