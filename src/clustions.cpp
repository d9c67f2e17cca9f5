// Vantor::Clustions: configuration, similarity and prototype clustering.
#include "vantor/clustions.h"

#include "clustering.h"
#include "similarity_rows.h"

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

double Clustions::evalSimil(double* first, double* second, int n) {
    double similarity;
    const double* rows[1] = {second};
    simil::against<1>(threshold, first, rows, n, &similarity);
    return similarity;
}

bool Clustions::cluster(double* prototypes, double* items, int* dims, int* assignments,
                        double* similarities, int* passInfo) {
    return clustering::whole(*this, prototypes, items, dims, assignments, similarities, passInfo);
}

bool Clustions::cluster(double* prototypes, double* items, int* dims, int* negAssignments,
                        int* posAssignments, double* negSimilarities, double* posSimilarities,
                        int* passInfo) {
    return clustering::parts(*this, prototypes, items, dims, negAssignments, posAssignments,
                             negSimilarities, posSimilarities, passInfo);
}

}  // namespace Vantor
