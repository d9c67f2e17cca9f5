// Small helpers for tests that compare doubles to the bit.
#ifndef VANTOR_TESTS_BITS_H
#define VANTOR_TESTS_BITS_H

#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

namespace vt {

// The representation of x: tells -0.0 from 0.0 and compares NaN payloads.
inline std::uint64_t bits(double x) {
    std::uint64_t u;
    std::memcpy(&u, &x, sizeof u);
    return u;
}

// Two arrays of doubles equal to the bit, element by element.
inline bool sameBits(const std::vector<double>& a, const std::vector<double>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (bits(a[i]) != bits(b[i])) return false;
    }
    return true;
}

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// A value no operation produces, used to see that an output was left alone.
constexpr double kUntouched = 7.0;
constexpr int kUntouchedInt = -77;

}  // namespace vt

#endif
