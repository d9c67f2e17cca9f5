// Vantor::Dinorms - signed aggregation of one vector of degrees in [-1, 1]
// into a negative and a positive aggregate, and their combination into one
// signed degree.
#ifndef VANTOR_DINORMS_H
#define VANTOR_DINORMS_H

#include "vantor/export.h"

namespace Vantor {

// A plain value type: public fields (their order is part of the binary
// interface), no base, no virtual functions, copied member-wise.
class VANTOR_API Dinorms {
public:
    double threshold;    // a value v is significant when v <= -threshold or v >= threshold
    double neutralBand;  // a combined sum d with -neutralBand < d < neutralBand becomes 0
    int aggMode;         // 0 extreme value, 1 probabilistic sum, 2 bounded sum
    int cmbMode;         // combination rule 0..3

    // threshold 0.0, neutralBand 0.0, both modes 0.
    Dinorms();
    // Each value is kept when 0 <= x <= 1, else (NaN included) becomes 0.0;
    // one bad value does not affect the other. Both modes 0.
    Dinorms(double threshold, double neutralBand);

    // Stores both when neither is below 0 nor above 1 (NaN passes and is
    // stored); otherwise false with the object unchanged.
    bool thresholds(double threshold, double neutralBand);
    // Writes {threshold, neutralBand} and returns 2; returns 0 and writes
    // nothing when out is null or capacity < 2.
    int thresholds(int capacity, double* out);
    // Accepts aggMode in {0, 1, 2} and cmbMode in {0, 1, 2, 3}, both checked
    // before either is stored.
    bool setModes(int aggMode, int cmbMode);
    // Writes {aggMode, cmbMode} and returns 2; returns 0 and writes nothing
    // when out is null or capacity < 2.
    int getModes(int capacity, int* out);

    // Aggregation kernels: one pass in index order over n values (n <= 0 is
    // empty; values is then not read). Zero (either sign), NaN and values
    // strictly inside (-threshold, threshold) are skipped; a NaN threshold
    // makes no value significant. A significant value outside [-1, 1] fails
    // the call with result untouched (values after it, within n, may have
    // been read). result must not overlap values. On success result[0] = A
    // (negative aggregate, in [-1, 0]) and result[1] = B (positive, in
    // [0, 1]); result[2] is never touched. A and B start at 0:
    //   Type0 extreme value:     A = min(A, v), B = max(B, v)
    //   Type1 probabilistic sum: A <- A + (v + A*v),  B <- B + (v - B*v)
    //   Type2 bounded sum:       A <- max(A + v, -1), B <- min(B + v, 1), clipped per step
    // A and B are held in 80-bit extended and rounded once, at the store.
    // The kernels test no pointer.
    bool aggType0(int n, double* values, double* result);
    bool aggType1(int n, double* values, double* result);
    bool aggType2(int n, double* values, double* result);

    // Combination rules on R0 = result[0] in [-1, 0] and R1 = result[1] in
    // [0, 1]; they write only result[2]. False (nothing written) for a null
    // result or inputs out of range; a NaN input passes the check. With
    // d = R1 + R0 in 80-bit extended, and d = 0 when -neutralBand < d < neutralBand
    // (a NaN band neutralises nothing):
    //   Type0: R1 if d > 0, R0 if d < 0, else 0
    //   Type1: d / (1 + R0) if d > 0, d / (1 - R1) if d < 0, else 0
    //   Type2: d
    //   Type3: (1 - R0*R1) * d, and 0 when d == 0
    // The value is rounded to double once, at the store.
    bool cmbType0(double* result);
    bool cmbType1(double* result);
    bool cmbType2(double* result);
    bool cmbType3(double* result);

    // Refuses a null values or result (nothing written); otherwise zeroes
    // result[0..2], runs the kernel aggMode selects and then the rule
    // cmbMode selects. A refused vector leaves {0, 0, 0}. Out-of-range mode
    // fields (only possible when set directly) fall back to Type0.
    bool aggregate(int n, double* values, double* result);
};

// The instance the din_* entries work on; a host may point it at an
// instance of its own to redirect them.
extern VANTOR_API Dinorms* din;

}  // namespace Vantor

#endif
