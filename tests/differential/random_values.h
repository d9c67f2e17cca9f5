// Seeded random inputs for the differential tests. The values come mostly from
// a coarse dyadic grid, so ties between the two vectors, between a value and
// the threshold and between similarities are common, and they are salted with
// the values the rules treat specially: NaN, the infinities, -0.0, numbers just
// beside the threshold and values outside the accepted range.
#ifndef VANTOR_TESTS_RANDOM_VALUES_H
#define VANTOR_TESTS_RANDOM_VALUES_H

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

namespace vt {

class RandomValues {
public:
    explicit RandomValues(std::uint64_t seed) : rng_(seed) {}

    // Uniform integer in [lo, hi].
    int between(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
    bool chance(double p) { return std::uniform_real_distribution<double>(0.0, 1.0)(rng_) < p; }
    double uniform(double lo, double hi) {
        return std::uniform_real_distribution<double>(lo, hi)(rng_);
    }

    // A multiple of 1/8 in [lo, hi] (lo and hi multiples of 1/8).
    double grid(double lo, double hi) {
        return between(static_cast<int>(lo * 8), static_cast<int>(hi * 8)) / 8.0;
    }

    // A threshold: mostly on the grid, sometimes 0, -0.0, 1, NaN, tiny or
    // arbitrary.
    double threshold() {
        switch (between(0, 9)) {
            case 0: return 0.0;
            case 1: return -0.0;
            case 2: return 1.0;
            case 3: return std::numeric_limits<double>::quiet_NaN();
            case 4: return uniform(0.0, 1.0);
            case 5: return 1e-300;
            default: return grid(0.0, 1.0);
        }
    }

    // A value for a vector whose accepted range is [lo, hi]: mostly grid
    // points, sometimes the threshold or its neighbours, -0.0, NaN, and with
    // probability `outside` a value outside the range (an infinity included).
    double value(double lo, double hi, double threshold, double outside) {
        if (chance(outside)) return outsideOf(lo, hi);
        switch (between(0, 19)) {
            case 0: return -0.0;
            case 1: return std::numeric_limits<double>::quiet_NaN();
            case 2: return threshold;
            case 3: return std::nextafter(threshold, 2.0);
            case 4: return std::nextafter(threshold, -2.0);
            case 5: return -threshold;
            case 6:
            case 7: return uniform(lo, hi);
            default: return grid(lo, hi);
        }
    }

    double outsideOf(double lo, double hi) {
        switch (between(0, 5)) {
            case 0: return std::numeric_limits<double>::infinity();
            case 1: return -std::numeric_limits<double>::infinity();
            case 2: return std::nextafter(hi, 3.0);
            case 3: return std::nextafter(lo, -3.0);
            case 4: return hi + 0.5;
            default: return lo - 0.5;
        }
    }

    std::vector<double> values(int n, double lo, double hi, double threshold, double outside) {
        std::vector<double> v(n > 0 ? n : 0);
        for (double& x : v) x = value(lo, hi, threshold, outside);
        return v;
    }

    // A length: mostly short, sometimes 0 or negative, sometimes long enough
    // to cross any blocking inside the library.
    int length() {
        switch (between(0, 9)) {
            case 0: return between(-3, 0);
            case 1: return between(200, 1100);
            default: return between(1, 40);
        }
    }

    // The probability that a value lies outside its range: usually none, so
    // that most calls run to the end.
    double outsideRate() { return chance(0.6) ? 0.0 : uniform(0.0, 0.02); }

private:
    std::mt19937_64 rng_;
};

}  // namespace vt

#endif
