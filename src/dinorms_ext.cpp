// C entries of the Dinorms family. Each reads Vantor::din when it runs, so a
// host that redirects the pointer moves all later calls to its instance.
#include "entry_patterns.h"
#include "vantor/dinorms.h"
#include "vantor/vantor.h"

using Vantor::din;

extern "C" {

VANTOR_API void din_setThresholds(int* n, double* values, int* ok) {
    Vantor::entry::setter<2>(n, values, ok,
                             [](double* v) { return din->thresholds(v[0], v[1]); });
}

VANTOR_API void din_getThresholds(int* n, double* out, int* ok) {
    Vantor::entry::getter(n, ok, [out](int capacity) { return din->thresholds(capacity, out); });
}

VANTOR_API void din_setModes(int* n, int* modes, int* ok) {
    Vantor::entry::setter<2>(n, modes, ok, [](int* v) { return din->setModes(v[0], v[1]); });
}

VANTOR_API void din_getModes(int* n, int* out, int* ok) {
    Vantor::entry::getter(n, ok, [out](int capacity) { return din->getModes(capacity, out); });
}

VANTOR_API void din_aggregate(int* n, double* values, double* result, int* ok) {
    Vantor::entry::compute(ok, [&] { return n != nullptr && din->aggregate(*n, values, result); });
}

}  // extern "C"
