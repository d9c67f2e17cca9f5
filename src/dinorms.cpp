// Vantor::Dinorms: configuration, aggregation kernels and combination rules.
#include "vantor/dinorms.h"

namespace Vantor {

// The default instance the din_* entries start on; the pointer is a constant
// expression, so it is valid before any constructor runs.
static Dinorms din_static;
Dinorms* din = &din_static;

namespace {

// Both configuration values live in the closed interval [0, 1]; NaN fails
// neither comparison, which the setter relies on and the constructor does not.
inline bool outsideUnit(double x) { return x < 0.0 || x > 1.0; }
inline double insideUnitOrZero(double x) { return x >= 0.0 && x <= 1.0 ? x : 0.0; }

}  // namespace

Dinorms::Dinorms() : threshold(0.0), neutralBand(0.0), aggMode(0), cmbMode(0) {}

Dinorms::Dinorms(double threshold, double neutralBand)
    : threshold(insideUnitOrZero(threshold)),
      neutralBand(insideUnitOrZero(neutralBand)),
      aggMode(0),
      cmbMode(0) {}

bool Dinorms::thresholds(double threshold, double neutralBand) {
    if (outsideUnit(threshold) || outsideUnit(neutralBand)) return false;
    this->threshold = threshold;
    this->neutralBand = neutralBand;
    return true;
}

int Dinorms::thresholds(int capacity, double* out) {
    if (out == nullptr || capacity < 2) return 0;
    out[0] = threshold;
    out[1] = neutralBand;
    return 2;
}

bool Dinorms::setModes(int aggMode, int cmbMode) {
    if (aggMode < 0 || aggMode > 2 || cmbMode < 0 || cmbMode > 3) return false;
    this->aggMode = aggMode;
    this->cmbMode = cmbMode;
    return true;
}

int Dinorms::getModes(int capacity, int* out) {
    if (out == nullptr || capacity < 2) return 0;
    out[0] = aggMode;
    out[1] = cmbMode;
    return 2;
}

// TODO(dinorms): aggregation kernels, combination rules and aggregate.
bool Dinorms::aggType0(int, double*, double*) { return false; }
bool Dinorms::aggType1(int, double*, double*) { return false; }
bool Dinorms::aggType2(int, double*, double*) { return false; }
bool Dinorms::cmbType0(double*) { return false; }
bool Dinorms::cmbType1(double*) { return false; }
bool Dinorms::cmbType2(double*) { return false; }
bool Dinorms::cmbType3(double*) { return false; }
bool Dinorms::aggregate(int, double*, double*) { return false; }

}  // namespace Vantor
