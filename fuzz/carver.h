// Turns the fuzzer's bytes into the numbers a careless or hostile host might
// pass: lengths that are zero, negative or huge, and values drawn from a mix
// of in-range numbers, range ends, -0.0, NaN, the infinities and numbers just
// or far outside the range. Once the bytes run out every read yields zero
// bytes, so each input decodes to one well-defined call.
#ifndef VANTOR_FUZZ_CARVER_H
#define VANTOR_FUZZ_CARVER_H

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>

namespace fz {

// The interval a value is meant to lie in; values outside it are produced on
// purpose too.
struct Range {
    double lo;
    double hi;
};

constexpr Range kUnit{0.0, 1.0};     // membership degrees, thresholds
constexpr Range kSigned{-1.0, 1.0};  // signed degrees
constexpr Range kData{-4.0, 4.0};    // clustering data: any finite number is valid

class Carver {
public:
    Carver(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool exhausted() const { return pos_ >= size_; }

    std::uint8_t byte() { return pos_ < size_ ? data_[pos_++] : 0; }

    std::uint32_t u32() {
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v = (v << 8) | byte();
        return v;
    }

    std::uint64_t u64() { return (std::uint64_t{u32()} << 32) | u32(); }

    bool chance(int outOf) { return byte() % outOf == 0; }

    // Uniform-ish in [lo, hi], both ends included.
    int intIn(int lo, int hi) {
        const std::uint64_t span = static_cast<std::uint64_t>(std::int64_t{hi} - lo) + 1;
        return static_cast<int>(lo + static_cast<std::int64_t>(u32() % span));
    }

    // A count, dimension, mode or limit as a host might pass it: mostly
    // small and valid, sometimes zero, negative or at the ends of int.
    int count(int typicalMax) {
        switch (byte() % 16) {
            case 0: return 0;
            case 1: return -1;
            case 2: return -intIn(2, 5);
            case 3: return std::numeric_limits<int>::min();
            case 4: return std::numeric_limits<int>::max();
            case 5: return static_cast<int>(u32());
            default: return intIn(1, typicalMax);
        }
    }

    // A value for an array meant to hold numbers in `r`.
    double value(Range r) {
        switch (byte() % 20) {
            case 0: return r.lo;
            case 1: return r.hi;
            case 2: return -0.0;
            case 3: return 0.0;
            case 4: return std::numeric_limits<double>::quiet_NaN();
            case 5: return std::numeric_limits<double>::infinity();
            case 6: return -std::numeric_limits<double>::infinity();
            case 7: return std::nextafter(r.hi, std::numeric_limits<double>::infinity());
            case 8: return std::nextafter(r.lo, -std::numeric_limits<double>::infinity());
            case 9: return r.hi + 0.5 + byte();
            case 10: return r.lo - 0.5 - byte();
            case 11: return byte() % 2 ? std::numeric_limits<double>::max()
                                       : -std::numeric_limits<double>::max();
            case 12: return byte() % 2 ? std::numeric_limits<double>::denorm_min()
                                       : -std::numeric_limits<double>::denorm_min();
            case 13: return raw();
            default: return inRange(r);
        }
    }

    // A finite value inside r, both ends included, on a grid of 65536 evenly
    // spaced values (step / 65535 of the way from lo to hi): two draws meet
    // on the same value often, and ties are where comparison rules matter.
    // The grid is not dyadic, so sums of these values are rarely exact.
    double inRange(Range r) {
        const std::uint32_t step = (std::uint32_t{byte()} << 8) | byte();
        return r.lo + (r.hi - r.lo) * (static_cast<double>(step) / 65535.0);
    }

    // Any bit pattern, signalling NaNs and denormals included.
    double raw() {
        const std::uint64_t bits = u64();
        double x;
        std::memcpy(&x, &bits, sizeof x);
        return x;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

}  // namespace fz

#endif
