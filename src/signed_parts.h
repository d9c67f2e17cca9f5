// The two parts of a signed value: the negative part holds the magnitude of a
// negative value, the positive part a positive value. Zero of either sign and
// NaN belong to neither, so neither part is ever negative or NaN.
//
// Written with bit masks rather than a choice: on signed data every other
// value belongs to the other part, and a branch on its sign (which -O2 makes
// of the choice; only -O3 turns it into selects) is mispredicted half the
// time, for every feature of every item in every pass.
#ifndef VANTOR_SRC_SIGNED_PARTS_H
#define VANTOR_SRC_SIGNED_PARTS_H

#include <cstdint>
#include <cstring>

namespace Vantor {

namespace parts {

// x's bits where `keep` holds, else +0.0; with the sign flipped first when
// `flip` is set.
inline double kept(double x, bool keep, bool flip) {
    std::uint64_t bits;
    std::memcpy(&bits, &x, sizeof bits);
    bits ^= static_cast<std::uint64_t>(flip) << 63;
    bits &= std::uint64_t{0} - static_cast<std::uint64_t>(keep);
    double out;
    std::memcpy(&out, &bits, sizeof out);
    return out;
}

}  // namespace parts

inline double negativePartOf(double x) { return parts::kept(x, x < 0.0, true); }
inline double positivePartOf(double x) { return parts::kept(x, x > 0.0, false); }

}  // namespace Vantor

#endif
