#include "variant.h"

namespace Variant {
Gauge::Gauge()
    : threshold(0.0),
#ifdef ABI_FIELD_ADDED
      spare(0.0),
#endif
      mode(0) {
}

#ifdef ABI_METHOD_CHANGED
bool Gauge::aggregate(long n, const double* values, double* result) const {
#else
bool Gauge::aggregate(int n, const double* values, double* result) const {
#endif
    if (n <= 0 || !values || !result) return false;
    *result = values[0] >= threshold ? values[0] : 0.0;
    return true;
}
}  // namespace Variant

namespace {
Variant::Gauge gauge;
}

void gau_aggregate(int* n, double* values, double* result, int* ok) {
    *ok = gauge.aggregate(*n, values, result) ? 1 : 0;
}

#ifdef ABI_ENTRY_ARGUMENT_CHANGED
void gau_setModes(int* n, double* modes, int* ok) {
    *ok = *n == 1 ? (gauge.mode = static_cast<int>(modes[0]), 1) : 0;
}
#else
void gau_setModes(int* n, int* modes, int* ok) {
    *ok = *n == 1 ? (gauge.mode = modes[0], 1) : 0;
}
#endif

#ifndef ABI_ENTRY_REMOVED
void gau_getModes(int* n, int* modes, int* ok) {
    *ok = *n >= 1 ? (modes[0] = gauge.mode, 1) : 0;
}
#endif

#ifdef ABI_ENTRY_ADDED
void gau_reset(int* ok) {
    gauge = Variant::Gauge();
    *ok = 1;
}
#endif
