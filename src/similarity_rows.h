// The similarity of one vector x against up to four rows at once:
//     sum(min(x_i, y_i)) / sum(max(x_i, y_i))
// after zeroing the positions where x_i and y_i both lie below the threshold
// and then clamping negative values to 0; both sums in long double, in index
// order, one division. Each result is exactly what evalSimil gives for x and
// that row.
//
// Why it is written this way: the literal loop spends most of its time on
// mispredicted branches (the gate, the clamps and the choice of the larger
// value), and a single similarity is bound by the latency of its additions.
// So the features go through two stages, interleaved block by block:
//  1. without branches, two features at a time and for every row, apply
//     gate and clamp and pick the larger and the smaller value;
//  2. add them to the rows' sums: eight independent long double sums for
//     four rows, more than the latency of one addition needs to keep the x87
//     adder busy every cycle, and exactly its eight registers (the additions
//     take their second operand from memory, so no register is spare or
//     needed; the optimiser keeps all eight sums in registers).
// Only the bookkeeping changes: every sum sees the same additions in the same
// order as the literal loop, so every bit of every similarity is the same.
#ifndef VANTOR_SRC_SIMILARITY_ROWS_H
#define VANTOR_SRC_SIMILARITY_ROWS_H

#include <cstdint>

#include "lanes.h"

namespace Vantor {
namespace simil {

using lanes::Pair;

constexpr int kBlock = 2;  // features picked at a time
constexpr int kMaxRows = 4;

template <int Rows>
struct Block {
    double larger[Rows][kBlock];
    double smaller[Rows][kBlock];
};

// Stage 1 for the features i and i + 1 (or i alone when `two` is false).
template <int Rows>
inline void pickTwo(const double* x, const double* const* rows, std::int64_t i, bool two,
                    Pair threshold, Block<Rows>& block) {
    const Pair zero = lanes::broadcast(0.0);
    const Pair xs = two ? lanes::load(x + i) : lanes::loadOne(x + i);
    const Pair xBelow = lanes::lessThan(xs, threshold);
    const Pair xClamped = lanes::zeroWhere(lanes::lessThan(xs, zero), xs);
    for (int r = 0; r < Rows; ++r) {
        const Pair ys = two ? lanes::load(rows[r] + i) : lanes::loadOne(rows[r] + i);
        // The gate zeroes both values, then each negative value is clamped;
        // -0.0 and NaN pass through unchanged.
        const Pair gated = lanes::both(xBelow, lanes::lessThan(ys, threshold));
        const Pair x0 = lanes::zeroWhere(gated, xClamped);
        const Pair y0 = lanes::zeroWhere(gated, lanes::zeroWhere(lanes::lessThan(ys, zero), ys));
        // The larger is y when y >= x, else x (NaN included); the smaller is x
        // when y >= x, else y. MAXPD(y, x) and MINPD(x, y) give exactly that,
        // except that of two equal zeros they may pick the other sign, which
        // no sum can tell: the sums start at +0.0, and adding -0.0 or +0.0 to
        // +0.0 or to anything else gives the same result.
        lanes::store(block.larger[r], lanes::greaterElse(y0, x0));
        lanes::store(block.smaller[r], lanes::lesserElse(x0, y0));
    }
}

// Similarities of x against rows[0 .. Rows-1] over m features, into out.
template <int Rows>
void against(double threshold, const double* x, const double* const* rows, std::int64_t m,
             double* out) {
    static_assert(Rows >= 1 && Rows <= kMaxRows, "one to four rows");
    if (m <= 0) {
        for (int r = 0; r < Rows; ++r) out[r] = 0.0;
        return;
    }
    const Pair t = lanes::broadcast(threshold);
    // Named sums rather than an array, so that they live in x87 registers.
    long double max0 = 0.0L, min0 = 0.0L, max1 = 0.0L, min1 = 0.0L, max2 = 0.0L, min2 = 0.0L;
    long double max3 = 0.0L, min3 = 0.0L;
    const auto add = [&](const Block<Rows>& block, int j) {
        max0 += block.larger[0][j];
        min0 += block.smaller[0][j];
        if constexpr (Rows >= 2) {
            max1 += block.larger[1][j];
            min1 += block.smaller[1][j];
        }
        if constexpr (Rows >= 3) {
            max2 += block.larger[2][j];
            min2 += block.smaller[2][j];
        }
        if constexpr (Rows >= 4) {
            max3 += block.larger[3][j];
            min3 += block.smaller[3][j];
        }
    };
    Block<Rows> block;
    std::int64_t i = 0;
    for (; i + 2 <= m; i += 2) {
        pickTwo<Rows>(x, rows, i, true, t, block);
        add(block, 0);
        add(block, 1);
    }
    if (i < m) {
        pickTwo<Rows>(x, rows, i, false, t, block);
        add(block, 0);
    }
    out[0] = max0 > 0.0L ? static_cast<double>(min0 / max0) : 0.0;
    if constexpr (Rows >= 2) out[1] = max1 > 0.0L ? static_cast<double>(min1 / max1) : 0.0;
    if constexpr (Rows >= 3) out[2] = max2 > 0.0L ? static_cast<double>(min2 / max2) : 0.0;
    if constexpr (Rows >= 4) out[3] = max3 > 0.0L ? static_cast<double>(min3 / max3) : 0.0;
}

}  // namespace simil
}  // namespace Vantor

#endif
