// The frame every Contifiers kernel runs in: a gated weighted mean
//     result = sum(term_i) / sum(weight_i)   over positions with weight_i >= threshold,
// both sums in extended precision (extended.h), in index order, rounded to
// double once.
//
// Why it is written this way: a position's branch on b >= a and its gate are
// unpredictable on real data, and a mispredicted branch costs several times
// the addition it guards; the sums themselves are bound by the latency of
// one addition after the other. So the positions go through two stages:
//  1. without branches, validate each position, decide its gate and pick the
//     double inputs of its weight and term, and append those of the positions
//     that pass to a block buffer (a gated-out position is simply not kept);
//  2. add the kept positions, in order, to the two extended sums.
// The two stages run interleaved, stage 1 on one block while stage 2 empties
// the previous one, so the branch-free picking hides behind the additions.
// The sums see exactly the additions, in exactly the order, of a loop that
// takes the positions one by one, so every bit of the result is the same. A
// block holding a value outside [0, 1] fails the call before anything is
// written, as the first such value would.
#ifndef VANTOR_SRC_GATED_MEAN_H
#define VANTOR_SRC_GATED_MEAN_H

#include <cstdint>

#include "extended.h"
#include "lanes.h"

namespace Vantor {
namespace gated {

constexpr int kBlock = 256;  // positions per block: the buffers stay in L1

// The inputs of stage 2 for the kept positions of one block: the weight and
// two operands from which the kernel forms its term in extended precision.
struct Block {
    double weight[kBlock + 2];
    double p[kBlock + 2];
    double q[kBlock + 2];
};

using lanes::Pair;

struct Inputs {
    Pair a, b;       // the kernel's first and second values
    Pair bAtLeastA;  // b >= a, false with NaN
    Pair threshold;
};

// Kernel rules: `pick` sees two positions at once, returns the gate and
// fills weight, p and q; `term` forms the extended term of a kept position;
// kUsesP and kUsesQ say which operands the term reads, so that the others
// are not stored.

// Mutual kernels weigh a position by the larger value (b when b >= a, else a).
inline Pair larger(const Inputs& in) { return lanes::select(in.bAtLeastA, in.b, in.a); }
inline Pair smaller(const Inputs& in) { return lanes::select(in.bAtLeastA, in.a, in.b); }

// Mutual Type0: term a * b.
struct MutType0 {
    static constexpr bool kUsesP = true, kUsesQ = true;
    static Pair pick(const Inputs& in, Pair* w, Pair* p, Pair* q) {
        *w = larger(in);
        *p = in.a;
        *q = in.b;
        return lanes::atLeast(*w, in.threshold);
    }
    static Extended term(double, double p, double q) {
        return static_cast<Extended>(p) * static_cast<Extended>(q);
    }
};

// Mutual Type1: term min(a, b) (a when b >= a, else b).
struct MutType1 {
    static constexpr bool kUsesP = true, kUsesQ = false;
    static Pair pick(const Inputs& in, Pair* w, Pair* p, Pair*) {
        *w = larger(in);
        *p = smaller(in);
        return lanes::atLeast(*w, in.threshold);
    }
    static Extended term(double, double p, double) { return p; }
};

// Mutual Type2: b * ((a + 1) - b) when b >= a, else a * ((b + 1) - a), that
// is hi * ((lo + 1) - hi) with hi the weight and lo the other value.
struct MutType2 {
    static constexpr bool kUsesP = false, kUsesQ = true;
    static Pair pick(const Inputs& in, Pair* w, Pair*, Pair* q) {
        *w = larger(in);
        *q = smaller(in);
        return lanes::atLeast(*w, in.threshold);
    }
    static Extended term(double w, double, double q) {
        const Extended hi = w;
        return hi * ((static_cast<Extended>(q) + Extended(1.0)) - hi);
    }
};

// Directed Type0: a when b >= a, else a * b; as a * q with q = 1 or b
// (a * 1 is a exactly).
struct DirType0 {
    static constexpr bool kUsesP = false, kUsesQ = true;
    static Pair pick(const Inputs& in, Pair* w, Pair*, Pair* q) {
        *w = in.a;
        *q = lanes::select(in.bAtLeastA, lanes::broadcast(1.0), in.b);
        return lanes::atLeast(in.a, in.threshold);
    }
    static Extended term(double w, double, double q) {
        return static_cast<Extended>(w) * static_cast<Extended>(q);
    }
};

// Directed Type1: a when b >= a, else b.
struct DirType1 {
    static constexpr bool kUsesP = true, kUsesQ = false;
    static Pair pick(const Inputs& in, Pair* w, Pair* p, Pair*) {
        *w = in.a;
        *p = smaller(in);
        return lanes::atLeast(in.a, in.threshold);
    }
    static Extended term(double, double p, double) { return p; }
};

// Directed Type2: a when b >= a, else a * ((b + 1) - a); as
// a * ((q + 1) - p) with p = q = 0 in the first case ((0 + 1) - 0 is 1).
struct DirType2 {
    static constexpr bool kUsesP = true, kUsesQ = true;
    static Pair pick(const Inputs& in, Pair* w, Pair* p, Pair* q) {
        *w = in.a;
        *p = lanes::zeroWhere(in.bAtLeastA, in.a);
        *q = lanes::zeroWhere(in.bAtLeastA, in.b);
        return lanes::atLeast(in.a, in.threshold);
    }
    static Extended term(double w, double p, double q) {
        return static_cast<Extended>(w) *
               ((static_cast<Extended>(q) + Extended(1.0)) - static_cast<Extended>(p));
    }
};

template <class Rule>
class Mean {
public:
    explicit Mean(double threshold) : threshold_(lanes::broadcast(threshold)) {}

    bool run(std::int64_t n, const double* first, const double* second, double* result) {
        Block* ready = &blocks_[0];
        Block* filling = &blocks_[1];
        // Locals, not members, so that the sums stay in x87 registers.
        Extended numerator = 0.0;
        Extended denominator = 0.0;
        const auto add = [&numerator, &denominator](const Block& block, int j) {
            denominator += block.weight[j];
            numerator += Rule::term(block.weight[j], block.p[j], block.q[j]);
        };
        int pending = 0;  // kept positions in `ready` still to be added
        for (std::int64_t start = 0; start < n || pending > 0; start += kBlock) {
            const int length = start < n ? static_cast<int>(n - start < kBlock ? n - start : kBlock) : 0;
            int kept = 0;
            Pair outside = lanes::broadcast(0.0);
            int i = 0;
            for (; i < length; i += 2) {
                outside = lanes::either(outside, pickTwo(first + start + i, second + start + i,
                                                         length - i, *filling, &kept));
                // One addition of the previous block per pair: spread over
                // the loop, the additions hide the picking.
                if (i / 2 < pending) add(*ready, i / 2);
            }
            for (int j = i / 2; j < pending; ++j) add(*ready, j);
            if (lanes::any(outside)) return false;
            Block* emptied = ready;
            ready = filling;
            filling = emptied;
            pending = kept;
        }
        result[0] = denominator > 0.0 ? static_cast<double>(numerator / denominator) : 0.0;
        return true;
    }

private:
    // Stage 1 for the positions at a and b (two, or one when `left` is 1):
    // appends those that pass the gate to `block` and returns the mask of
    // values outside [0, 1].
    Pair pickTwo(const double* a, const double* b, int left, Block& block, int* kept) {
        const Pair zero = lanes::broadcast(0.0), one = lanes::broadcast(1.0);
        const bool two = left >= 2;
        Inputs in;
        in.threshold = threshold_;
        in.a = two ? lanes::load(a) : lanes::loadOne(a);
        in.b = two ? lanes::load(b) : lanes::loadOne(b);
        in.bAtLeastA = lanes::atLeast(in.b, in.a);
        Pair w = zero, p = zero, q = zero;
        const int pass = lanes::maskBits(Rule::pick(in, &w, &p, &q)) & (two ? 3 : 1);
        int at = *kept;
        lanes::storeLow(block.weight + at, w);
        if (Rule::kUsesP) lanes::storeLow(block.p + at, p);
        if (Rule::kUsesQ) lanes::storeLow(block.q + at, q);
        at += pass & 1;
        lanes::storeHigh(block.weight + at, w);
        if (Rule::kUsesP) lanes::storeHigh(block.p + at, p);
        if (Rule::kUsesQ) lanes::storeHigh(block.q + at, q);
        *kept = at + (pass >> 1);
        return lanes::either(lanes::either(lanes::lessThan(in.a, zero), lanes::greaterThan(in.a, one)),
                             lanes::either(lanes::lessThan(in.b, zero), lanes::greaterThan(in.b, one)));
    }

    Pair threshold_;
    Block blocks_[2];
};

template <class Rule>
bool mean(double threshold, int n, const double* first, const double* second, double* result) {
    return Mean<Rule>(threshold).run(n, first, second, result);
}

}  // namespace gated
}  // namespace Vantor

#endif
