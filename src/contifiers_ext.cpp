// C entries of the Contifiers family. Each reads Vantor::con when it runs, so
// a host that redirects the pointer moves all later calls to its instance.
#include "entry_patterns.h"
#include "vantor/contifiers.h"
#include "vantor/vantor.h"

using Vantor::con;

extern "C" {

VANTOR_API void con_setThresholds(int* n, double* values, int* ok) {
    Vantor::entry::setter<1>(n, values, ok, [](double* v) { return con->thresholds(v[0]); });
}

VANTOR_API void con_getThresholds(int* n, double* out, int* ok) {
    Vantor::entry::getter(n, ok, [out](int capacity) { return con->thresholds(capacity, out); });
}

VANTOR_API void con_setModes(int* n, int* modes, int* ok) {
    Vantor::entry::setter<2>(n, modes, ok, [](int* v) { return con->setModes(v[0], v[1]); });
}

VANTOR_API void con_getModes(int* n, int* out, int* ok) {
    Vantor::entry::getter(n, ok, [out](int capacity) { return con->getModes(capacity, out); });
}

VANTOR_API void con_aggregate(int* n, double* first, double* second, double* result, int* ok) {
    Vantor::entry::compute(ok, [&] {
        return n != nullptr && con->aggregate(*n, first, second, result);
    });
}

}  // extern "C"
