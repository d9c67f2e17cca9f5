// The two parts of a signed value: the negative part holds the magnitude of a
// negative value, the positive part a positive value. Zero of either sign and
// NaN belong to neither, so neither part is ever negative or NaN.
#ifndef VANTOR_SRC_SIGNED_PARTS_H
#define VANTOR_SRC_SIGNED_PARTS_H

namespace Vantor {

inline double negativePartOf(double x) { return x < 0.0 ? -x : 0.0; }
inline double positivePartOf(double x) { return x > 0.0 ? x : 0.0; }

}  // namespace Vantor

#endif
