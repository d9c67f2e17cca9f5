// The library's input policy as the R glue applies it.
#ifndef VANTOR_R_POLICY_H
#define VANTOR_R_POLICY_H

#include "column_rows.h"

namespace vantor_r {

// Raises the library's refusal of x for `use` (a vantor_use: NaN unless
// allowed, infinities, values outside the use's range), rows and columns
// counted from 1 as R counts them, named by x.name.
void refuseTable(const ColumnMatrix& x, int use, bool allowNaN, SEXP call);

// The random seed in `seed`: a whole double below 2^53, or one string of
// digits in [0, 2^64). False when it is neither.
bool seedOf(SEXP seed, std::uint64_t* out);

}  // namespace vantor_r

#endif
