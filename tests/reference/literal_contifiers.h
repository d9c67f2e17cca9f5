// Literal Contifiers kernels: the library's aggregation written as plainly as
// its steps read, one position at a time, with every branch spelled out. The
// differential tests and the benchmarks hold the library to these, bit for bit.
// They read only the public fields of the instance they are given.
#ifndef VANTOR_REFERENCE_LITERAL_CONTIFIERS_H
#define VANTOR_REFERENCE_LITERAL_CONTIFIERS_H

#include "vantor/contifiers.h"

namespace literal {

// Same arguments and results as the methods of the same names.
bool conAggregate(const Vantor::Contifiers& c, int n, const double* first, const double* second,
                  double* result);

bool aggMutType0(const Vantor::Contifiers& c, int n, const double* first, const double* second,
                 double* result);
bool aggMutType1(const Vantor::Contifiers& c, int n, const double* first, const double* second,
                 double* result);
bool aggMutType2(const Vantor::Contifiers& c, int n, const double* first, const double* second,
                 double* result);
bool aggDirType0(const Vantor::Contifiers& c, int n, const double* first, const double* second,
                 double* result);
bool aggDirType1(const Vantor::Contifiers& c, int n, const double* first, const double* second,
                 double* result);
bool aggDirType2(const Vantor::Contifiers& c, int n, const double* first, const double* second,
                 double* result);

}  // namespace literal

#endif
