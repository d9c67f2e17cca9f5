// Literal Dinorms kernels and combination rules, written as plainly as their
// steps read; the differential tests and the benchmarks hold the library to
// them, bit for bit. They read only the public fields of the given instance.
#ifndef VANTOR_REFERENCE_LITERAL_DINORMS_H
#define VANTOR_REFERENCE_LITERAL_DINORMS_H

#include "vantor/dinorms.h"

namespace literal {

// Same arguments and results as the methods of the same names.
bool dinAggregate(const Vantor::Dinorms& d, int n, const double* values, double* result);

bool aggType0(const Vantor::Dinorms& d, int n, const double* values, double* result);
bool aggType1(const Vantor::Dinorms& d, int n, const double* values, double* result);
bool aggType2(const Vantor::Dinorms& d, int n, const double* values, double* result);

bool cmbType0(const Vantor::Dinorms& d, double* result);
bool cmbType1(const Vantor::Dinorms& d, double* result);
bool cmbType2(const Vantor::Dinorms& d, double* result);
bool cmbType3(const Vantor::Dinorms& d, double* result);

}  // namespace literal

#endif
