// Vantor::Contifiers: configuration and the six gated-mean kernels (the
// frame they share, and why it is blocked, is in gated_mean.h).
#include "vantor/contifiers.h"

#include "gated_mean.h"

namespace Vantor {

// The default instance the con_* entries start on. The pointer is a constant
// expression, so it holds the right address before any constructor runs.
static Contifiers con_static;
Contifiers* con = &con_static;

Contifiers::Contifiers() : threshold(0.0), relationMode(1), typeMode(1) {}

Contifiers::Contifiers(double value)
    : threshold(value > 0.0 && value < 1.0 ? value : 0.0), relationMode(1), typeMode(1) {}

bool Contifiers::thresholds(double value) {
    if (value < 0.0 || value > 1.0) return false;
    threshold = value;
    return true;
}

// Refuses only a capacity of 0, so a negative capacity is accepted and gets
// the one value: the loosest of the three families' rules, kept because
// callers that pass a negative count rely on it. Such a caller must still
// provide room for one value.
int Contifiers::thresholds(int capacity, double* out) {
    if (out == nullptr || capacity == 0) return 0;
    out[0] = threshold;
    return 1;
}

bool Contifiers::setModes(int relation, int type) {
    if (relation < 0 || relation > 2 || type < 0 || type > 2) return false;
    relationMode = relation;
    typeMode = type;
    return true;
}

// Two values need room for two; unlike the threshold getter above, the test
// is a signed comparison, so a negative capacity is refused.
int Contifiers::getModes(int capacity, int* out) {
    if (out == nullptr || capacity <= 1) return 0;
    out[0] = relationMode;
    out[1] = typeMode;
    return 2;
}

bool Contifiers::aggregate(int n, double* first, double* second, double* result) {
    if (first == nullptr || second == nullptr) return false;
    if (result == nullptr) return false;
    result[0] = 0.0;
    if (relationMode == 0) {
        switch (typeMode) {
            case 2: return aggMutType2(n, first, second, result);
            case 1: return aggMutType1(n, first, second, result);
            default: return aggMutType0(n, first, second, result);
        }
    }
    // Relation 2 (and any value a host wrote into the field directly) is the
    // directed relation read the other way round.
    double* a = relationMode == 1 ? first : second;
    double* b = relationMode == 1 ? second : first;
    switch (typeMode) {
        case 2: return aggDirType2(n, a, b, result);
        case 1: return aggDirType1(n, a, b, result);
        default: return aggDirType0(n, a, b, result);
    }
}

bool Contifiers::aggMutType0(int n, double* first, double* second, double* result) {
    return gated::mean<gated::MutType0>(threshold, n, first, second, result);
}

bool Contifiers::aggMutType1(int n, double* first, double* second, double* result) {
    return gated::mean<gated::MutType1>(threshold, n, first, second, result);
}

bool Contifiers::aggMutType2(int n, double* first, double* second, double* result) {
    return gated::mean<gated::MutType2>(threshold, n, first, second, result);
}

bool Contifiers::aggDirType0(int n, double* first, double* second, double* result) {
    return gated::mean<gated::DirType0>(threshold, n, first, second, result);
}

bool Contifiers::aggDirType1(int n, double* first, double* second, double* result) {
    return gated::mean<gated::DirType1>(threshold, n, first, second, result);
}

bool Contifiers::aggDirType2(int n, double* first, double* second, double* result) {
    return gated::mean<gated::DirType2>(threshold, n, first, second, result);
}

}  // namespace Vantor
