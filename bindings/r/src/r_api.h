// R's C interface for C++ translation units: the standard headers first, and
// R's short macro names (length, error, ...) kept out of the C++ namespace.
//
// R reports errors by a long jump that skips C++ destructors, so the glue
// keeps only trivially destructible objects alive where it can raise one
// (the library's classes have no destructors; scratch memory is R_alloc'd,
// which R reclaims itself).
#ifndef VANTOR_R_API_H
#define VANTOR_R_API_H

#include <cstdint>
#include <cstdio>

#define R_NO_REMAP
#include <R.h>
#include <Rinternals.h>

#ifdef __FAST_MATH__
#error "the package must not be compiled with -ffast-math: results are defined to the bit"
#endif

#endif
