// Vantor::Clustions: configuration, similarity and prototype clustering.
#include "vantor/clustions.h"

namespace Vantor {

// The default instance the clu_* entries start on; the pointer is a constant
// expression, so it is valid before any constructor runs.
static Clustions clu_static;
Clustions* clu = &clu_static;

namespace {
constexpr int kDefaultIterationLimit = 40;
}

Clustions::Clustions() : threshold(0.0), iterationLimit(kDefaultIterationLimit) {}

Clustions::Clustions(double value)
    : threshold(value > 0.0 && value <= 1.0 ? value : 0.0),
      iterationLimit(kDefaultIterationLimit) {}

bool Clustions::thresholds(double value) {
    if (value < 0.0 || value > 1.0) return false;
    threshold = value;
    return true;
}

int Clustions::thresholds(int capacity, double* out) {
    if (out == nullptr || capacity <= 0) return 0;
    out[0] = threshold;
    return 1;
}

bool Clustions::setLimits(int limit) {
    if (limit <= 0) return false;
    iterationLimit = limit;
    return true;
}

int Clustions::getLimits(int capacity, int* out) {
    if (out == nullptr || capacity <= 0) return 0;
    out[0] = iterationLimit;
    return 1;
}

// TODO(clustions): similarity and both clustering methods.
double Clustions::evalSimil(double*, double*, int) { return 0.0; }
bool Clustions::cluster(double*, double*, int*, int*, double*, int*) { return false; }
bool Clustions::cluster(double*, double*, int*, int*, int*, double*, double*, int*) {
    return false;
}

}  // namespace Vantor
