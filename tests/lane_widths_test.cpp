// The picking kernels exist in two lane widths (two doubles, four with AVX2)
// and the shared library runs whichever the processor allows. Here both are
// called directly, whatever this machine would pick, and held to the literal
// reference and to each other to the bit, on the inputs where lanes go wrong:
// lengths just around each multiple of the width and of the blocks, NaN,
// -0.0, the infinities, values on the threshold.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "bits.h"
#include "literal_clustions.h"
#include "random_values.h"
#include "signed_scan.h"
#include "similarity_rows.h"
#include "vantor/clustions.h"

using vt::bits;

namespace {

bool wideRuns() {
#if VANTOR_WIDE_LANES
    return Vantor::lanes::processorHasAvx2();
#else
    return false;
#endif
}

template <int Rows>
void similarities(bool wide, double threshold, const double* x, const double* const* rows,
                  std::int64_t m, double* out) {
#if VANTOR_WIDE_LANES
    if (wide) {
        Vantor::simil::wide::against<Rows>(threshold, x, rows, m, out);
        return;
    }
#endif
    (void)wide;
    Vantor::simil::base::against<Rows>(threshold, x, rows, m, out);
}

template <int Rows>
void checkRows(vt::RandomValues& draw, double threshold, int m) {
    const double t = std::isnan(threshold) ? 0.0 : threshold;
    std::vector<double> x(m + 1), y(static_cast<std::size_t>(Rows) * (m + 1));
    // Unsigned data as the one-sided scan meets it, or signed as evalSimil
    // may; out-of-range values include the infinities.
    const double lo = draw.chance(0.5) ? 0.0 : -1.0;
    for (int i = 0; i < m; ++i) x[i] = draw.value(lo, 1.0, t, 0.03);
    for (int i = 0; i < Rows * (m + 1); ++i) y[i] = draw.value(lo, 1.0, t, 0.03);
    const double* rows[Rows];
    for (int r = 0; r < Rows; ++r) rows[r] = y.data() + static_cast<std::size_t>(r) * (m + 1);
    Vantor::Clustions config;
    config.threshold = threshold;
    for (bool wide : {false, true}) {
        if (wide && !wideRuns()) continue;
        double got[Rows];
        similarities<Rows>(wide, threshold, x.data(), rows, m, got);
        for (int r = 0; r < Rows; ++r) {
            const double want = literal::evalSimil(config, x.data(), rows[r], m);
            ASSERT_EQ(bits(got[r]), bits(want))
                << (wide ? "wide" : "baseline") << " rows " << Rows << " row " << r << " m " << m
                << " threshold " << threshold;
        }
    }
}

TEST(LaneWidths, SimilarityRowsMatchTheLiteralStepsOnBothWidths) {
    if (!wideRuns()) std::printf("this processor has no AVX2: the baseline width only\n");
    vt::RandomValues draw(5100000);
    const double thresholds[] = {0.0, -0.0, 0.25, 0.5, 1.0, vt::kNaN, 1e-300};
    std::vector<int> lengths;
    for (int m = 0; m <= 41; ++m) lengths.push_back(m);
    for (int m : {63, 64, 65, 127, 128, 129, 1000}) lengths.push_back(m);
    for (int round = 0; round < 6; ++round) {
        for (double threshold : thresholds) {
            for (int m : lengths) {
                checkRows<1>(draw, threshold, m);
                checkRows<2>(draw, threshold, m);
                checkRows<3>(draw, threshold, m);
                checkRows<4>(draw, threshold, m);
                if (HasFatalFailure()) return;
            }
        }
    }
}

// The extremes of 0.0 and the values, NaN passed over, and whether all lie
// in [-1, 1], written plainly.
bool plainRange(const std::vector<double>& v, double& lowest, double& highest) {
    lowest = 0.0;
    highest = 0.0;
    for (double x : v) {
        if (x < -1.0 || x > 1.0) return false;
        if (x < lowest) lowest = x;
        if (x > highest) highest = x;
    }
    return true;
}

bool valueRange(bool wide, const std::vector<double>& v, double& lowest, double& highest) {
    const auto n = static_cast<std::int64_t>(v.size());
#if VANTOR_WIDE_LANES
    if (wide) return Vantor::signedscan::wide::valueRange(n, v.data(), lowest, highest);
#endif
    (void)wide;
    return Vantor::signedscan::base::valueRange(n, v.data(), lowest, highest);
}

TEST(LaneWidths, ValueRangeMatchesAPlainLoopOnBothWidths) {
    vt::RandomValues draw(5200000);
    std::vector<int> lengths;
    for (int n = 0; n <= 20; ++n) lengths.push_back(n);
    for (int n : {255, 256, 257, 258, 259, 511, 512, 513, 1000, 1027}) lengths.push_back(n);
    for (int round = 0; round < 40; ++round) {
        for (int n : lengths) {
            const double outside = round % 3 == 0 ? 0.002 : 0.0;
            std::vector<double> v = draw.values(n, -1.0, 1.0, 0.25, outside);
            // Sometimes all of one sign, so that 0.0 itself is an extreme.
            if (draw.chance(0.2)) {
                for (double& x : v) x = std::fabs(x);
            }
            double wantLow = vt::kUntouched, wantHigh = vt::kUntouched;
            const bool want = plainRange(v, wantLow, wantHigh);
            for (bool wide : {false, true}) {
                if (wide && !wideRuns()) continue;
                double low = vt::kUntouched, high = vt::kUntouched;
                ASSERT_EQ(valueRange(wide, v, low, high), want) << "n " << n << " round " << round;
                if (!want) continue;
                // Of two equal zeros either may come out; only the value
                // counts there, and the kernel names zero separately.
                if (wantLow != 0.0) {
                    ASSERT_EQ(bits(low), bits(wantLow)) << "n " << n << " round " << round;
                }
                if (wantHigh != 0.0) {
                    ASSERT_EQ(bits(high), bits(wantHigh)) << "n " << n << " round " << round;
                }
                ASSERT_EQ(low, wantLow);
                ASSERT_EQ(high, wantHigh);
            }
        }
    }
}

// The range scan's NaN look, as tables that refuse NaN use it: a NaN at any
// position of a row, in a full step of the lanes or in the values after
// them, is seen, and a row without one is not; the range itself is the
// scan's without the look.
std::int64_t rangeOfRow(bool wide, const std::vector<double>& v, bool& inRange, bool& sawNaN,
                        double& lowest, double& highest) {
    const auto n = static_cast<std::int64_t>(v.size());
    const auto take = [&](std::int64_t, bool ok, bool nan, double low, double high) {
        inRange = ok;
        sawNaN = nan;
        lowest = low;
        highest = high;
        return true;
    };
#if VANTOR_WIDE_LANES
    if (wide) return Vantor::signedscan::wide::rowRanges<true>(v.data(), n, n, 0, 1, take);
#endif
    (void)wide;
    return Vantor::signedscan::base::rowRanges<true>(v.data(), n, n, 0, 1, take);
}

TEST(LaneWidths, RowRangesSeeANaNAtEveryPositionOnBothWidths) {
    vt::RandomValues draw(5200001);
    for (int n : {1, 2, 3, 4, 5, 7, 8, 9, 15, 16, 17, 20, 31, 32, 33, 40, 255, 256, 257}) {
        std::vector<double> clean(n);
        for (double& x : clean) x = draw.uniform(-1.0, 1.0);
        for (int at = -1; at < n; ++at) {  // -1: no NaN
            std::vector<double> v = clean;
            if (at >= 0) v[at] = vt::kNaN;
            for (bool wide : {false, true}) {
                if (wide && !wideRuns()) continue;
                bool inRange = false, sawNaN = !(at >= 0);
                double low = vt::kUntouched, high = vt::kUntouched, wantLow, wantHigh;
                ASSERT_EQ(rangeOfRow(wide, v, inRange, sawNaN, low, high), 1);
                ASSERT_TRUE(inRange) << "n " << n << " at " << at;
                EXPECT_EQ(sawNaN, at >= 0) << "n " << n << " at " << at << (wide ? " wide" : "");
                ASSERT_TRUE(valueRange(wide, v, wantLow, wantHigh));
                EXPECT_EQ(low, wantLow);
                EXPECT_EQ(high, wantHigh);
            }
        }
    }
}

}  // namespace
