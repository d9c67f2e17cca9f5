// Vantor::Contifiers - threshold-gated agreement and inclusion of two
// membership vectors (values in [0, 1]) reduced to one degree in [0, 1].
#ifndef VANTOR_CONTIFIERS_H
#define VANTOR_CONTIFIERS_H

#include "vantor/export.h"

namespace Vantor {

// A plain value type: public fields (their order is part of the binary
// interface), no base, no virtual functions, copied member-wise.
//
// Every kernel computes a gated weighted mean
//     degree = sum(term_i) / sum(weight_i)   over positions with weight_i >= threshold
// with both sums and every term in 80-bit extended, rounded to double once.
// A kernel is not thread-hostile: several threads may aggregate on one
// instance as long as nobody changes its configuration meanwhile.
class VANTOR_API Contifiers {
public:
    double threshold;  // gate: a position takes part when its weight >= threshold
    int relationMode;  // 0 mutual, 1 first in second, 2 second in first
    int typeMode;      // kernel of the relation: 0, 1 or 2

    // threshold 0.0, relation 1 (first in second), Type1.
    Contifiers();
    // Keeps value only when 0 < value < 1 (both ends open); anything else,
    // NaN and -0.0 included, becomes +0.0. Modes as the default constructor.
    explicit Contifiers(double value);

    // Stores value when it is not below 0 and not above 1. NaN passes both
    // comparisons and is stored; -0.0 is stored as it is. False leaves the
    // object unchanged.
    bool thresholds(double value);
    // Writes threshold to out[0] and returns 1; returns 0 and writes nothing
    // when out is null or capacity == 0 (a negative capacity is accepted).
    int thresholds(int capacity, double* out);
    // Accepts relation and type in {0, 1, 2}; both are checked before either
    // is stored.
    bool setModes(int relation, int type);
    // Writes {relationMode, typeMode} and returns 2; returns 0 and writes
    // nothing when out is null or capacity <= 1.
    int getModes(int capacity, int* out);

    // The main operation. Refuses (false) a null first or second without
    // touching result, and a null result; otherwise writes 0.0 to result[0]
    // and runs the kernel the modes select. Relation 0 runs the mutual
    // kernel, 1 the directed one on (first, second), any other value the
    // directed one on (second, first). Type 2 and 1 pick Type2 and Type1,
    // any other value Type0. n <= 0 means no positions.
    bool aggregate(int n, double* first, double* second, double* result);

    // The six kernels. Each validates a, b in [0, 1] and returns false when
    // a value lies outside (NaN passes), leaving result untouched; it reads
    // only within n but may have read past that value. They test no
    // pointer: a and b hold n values, result one, which must not lie inside
    // a or b (the degree is then unspecified). With a = first[i], b = second[i]:
    //
    // Mutual: weight max(a, b), the larger one (b when b >= a, else a).
    //   Type0 term a*b;  Type1 term min(a, b);
    //   Type2 term max(a, b) * (1 - |a - b|), evaluated as b*((a+1)-b) or a*((b+1)-a).
    bool aggMutType0(int n, double* first, double* second, double* result);
    bool aggMutType1(int n, double* first, double* second, double* result);
    bool aggMutType2(int n, double* first, double* second, double* result);
    // Directed (first in second): weight a; term a when b >= a, otherwise
    //   Type0 a*b (Goedel), Type1 b (Goguen, without a division),
    //   Type2 a*((b+1)-a) (Lukasiewicz).
    bool aggDirType0(int n, double* first, double* second, double* result);
    bool aggDirType1(int n, double* first, double* second, double* result);
    bool aggDirType2(int n, double* first, double* second, double* result);
};

// The instance the con_* entries work on; a host may point it at an
// instance of its own to redirect them.
extern VANTOR_API Contifiers* con;

}  // namespace Vantor

#endif
