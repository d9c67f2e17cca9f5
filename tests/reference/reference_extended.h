// The precision the reference keeps its sums in. Wherever long double is
// the x87 format the reference uses it, even when the library is built on
// its software type, so that the library is held to the x87 unit itself and
// not to a second copy of its own code. Elsewhere there is no x87 unit, and
// the recorded results (tests/differential/recorded/) hold both to it.
#ifndef VANTOR_TESTS_REFERENCE_EXTENDED_H
#define VANTOR_TESTS_REFERENCE_EXTENDED_H

#include "extended.h"

namespace literal {
#if VANTOR_X87_LONG_DOUBLE
using Extended = long double;
#else
using Extended = Vantor::SoftExtended;
#endif
}  // namespace literal

#endif
