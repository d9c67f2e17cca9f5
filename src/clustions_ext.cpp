// C entries of the Clustions family. Each reads Vantor::clu when it runs, so
// a host that redirects the pointer moves all later calls to its instance.
#include "entry_patterns.h"
#include "vantor/clustions.h"
#include "vantor/vantor.h"

using Vantor::clu;

extern "C" {

VANTOR_API void clu_setThresholds(int* n, double* values, int* ok) {
    Vantor::entry::setter<1>(n, values, ok, [](double* v) { return clu->thresholds(v[0]); });
}

// The Clustions getters (Clustions::thresholds, Clustions::getLimits) refuse
// any capacity below 1, a third rule beside Contifiers' "anything but 0" and
// Dinorms' "at least 2": one value needs room for one, and a negative count is
// refused. Each family keeps its rule because callers rely on it.
VANTOR_API void clu_getThresholds(int* n, double* out, int* ok) {
    Vantor::entry::getter(n, ok, [out](int capacity) { return clu->thresholds(capacity, out); });
}

VANTOR_API void clu_setLimits(int* n, int* values, int* ok) {
    Vantor::entry::setter<1>(n, values, ok, [](int* v) { return clu->setLimits(v[0]); });
}

VANTOR_API void clu_getLimits(int* n, int* out, int* ok) {
    Vantor::entry::getter(n, ok, [out](int capacity) { return clu->getLimits(capacity, out); });
}

VANTOR_API void clu_cluster(double* prototypes, double* items, int* dims, int* assignments,
                            double* similarities, int* passInfo, int* ok) {
    Vantor::entry::compute(ok, [&] {
        return clu->cluster(prototypes, items, dims, assignments, similarities, passInfo);
    });
}

VANTOR_API void clu_cluster2(double* prototypes, double* items, int* dims, int* negAssignments,
                             int* posAssignments, double* negSimilarities,
                             double* posSimilarities, int* passInfo, int* ok) {
    Vantor::entry::compute(ok, [&] {
        return clu->cluster(prototypes, items, dims, negAssignments, posAssignments,
                            negSimilarities, posSimilarities, passInfo);
    });
}

}  // extern "C"
