// The library's own random draws. Standard-library engines are portable, but
// their distributions are not: std::uniform_real_distribution and friends
// give different numbers with different standard libraries. Every draw here
// is integer arithmetic modulo 2^64 followed by one exact conversion and one
// multiplication in double, so a seed gives the same picks on every host.
#ifndef VANTOR_SRC_SPLITMIX64_H
#define VANTOR_SRC_SPLITMIX64_H

#include <cstdint>

namespace Vantor {
namespace random {

constexpr std::uint64_t kGoldenGamma = 0x9E3779B97F4A7C15ULL;

// The output function of SplitMix64: two xor-shift-multiply rounds and a
// final xor-shift.
constexpr std::uint64_t mix(std::uint64_t z) noexcept {
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

// The index in [0, count) that u in [0, 1) picks, count >= 1: floor(u *
// count), clamped to count - 1 for the rare u whose product rounds up to
// count.
inline std::int64_t indexAt(double u, std::int64_t count) noexcept {
    const auto index = static_cast<std::int64_t>(u * static_cast<double>(count));
    return index < count ? index : count - 1;
}

class SplitMix64 {
public:
    explicit SplitMix64(std::uint64_t seed) noexcept : state_(seed) {}

    std::uint64_t next() noexcept {
        state_ += kGoldenGamma;
        return mix(state_);
    }

    // u in [0, 1): the top 53 bits, scaled exactly by 2^-53.
    double unit() noexcept { return static_cast<double>(next() >> 11) * 0x1.0p-53; }

    // A uniform index in [0, count), count >= 1.
    std::int64_t below(std::int64_t count) noexcept;

private:
    std::uint64_t state_;
};

inline std::int64_t SplitMix64::below(std::int64_t count) noexcept { return indexAt(unit(), count); }

// Output number `position` (1-based) of a generator started at `seed`,
// without running through the ones before it.
constexpr std::uint64_t outputAt(std::uint64_t seed, std::uint64_t position) noexcept {
    return mix(seed + position * kGoldenGamma);
}

}  // namespace random
}  // namespace Vantor

#endif
