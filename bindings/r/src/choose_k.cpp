// simkmeans_k and simkmeans_silhouette: the library's scan over k and its
// per-item silhouettes, with a Clustions made for the call.
#include <new>

#include "column_rows.h"
#include "policy.h"
#include "vantor/choosing_k.h"
#include "vantor/input_policy.h"
#include "vantor/run_facts.h"

namespace {

using vantor_r::ColumnMatrix;

template <class T>
T* scratch(std::int64_t count) {
    return reinterpret_cast<T*>(
        R_alloc(static_cast<std::size_t>(count > 0 ? count : 1), sizeof(T)));
}

// The items as the library reads them: rows one after the other.
double* rowsOf(const ColumnMatrix& x) {
    double* items = scratch<double>(x.rows * x.cols);
    vantor_r::gatherRows(x, 0, x.rows, items);
    return items;
}

SEXP namedList(const char* const* names, int count) {
    SEXP out = PROTECT(Rf_allocVector(VECSXP, count));
    SEXP labels = PROTECT(Rf_allocVector(STRSXP, count));
    for (int i = 0; i < count; ++i) SET_STRING_ELT(labels, i, Rf_mkChar(names[i]));
    Rf_setAttrib(out, R_NamesSymbol, labels);
    UNPROTECT(2);
    return out;
}

}  // namespace

// x: n-by-m double matrix, checked by the R wrapper. Returns list(candidates)
// when the library refuses (fewer candidates than kLast); the wrapper explains.
extern "C" SEXP vantor_scan_k(SEXP xs, SEXP kFirstS, SEXP kLastS, SEXP threshold, SEXP iterMax,
                              SEXP restarts, SEXP twoSidedFlag, SEXP seeding, SEXP seed,
                              SEXP threads, SEXP allowNaN, SEXP call) {
    const ColumnMatrix x = vantor_r::columnMatrix(xs, "x");
    // As every clustering path takes its data: the library's policy (NaN
    // unless allowed, and infinities, refused).
    vantor_r::refuseTable(x, VANTOR_USE_CLUSTERING, Rf_asLogical(allowNaN) == TRUE, call);
    Vantor::Clustions clustions;
    if (!clustions.thresholds(Rf_asReal(threshold)) || !clustions.setLimits(Rf_asInteger(iterMax)))
        Rf_errorcall(call, "the library refused threshold or iter.max");
    Vantor::KScanOptions options;
    options.rule = Rf_asInteger(seeding);
    options.restarts = Rf_asInteger(restarts);
    if (!vantor_r::seedOf(seed, &options.randomSeed))
        Rf_errorcall(call, "the seed reached the library unchecked");
    options.twoSided = Rf_asLogical(twoSidedFlag) == TRUE;
    options.threads = Rf_asInteger(threads);
    const int kFirst = Rf_asInteger(kFirstS), kLast = Rf_asInteger(kLastS);
    const int count = kLast - kFirst + 1;
    if (count < 1) Rf_errorcall(call, "the range of k is empty");

    double* items = rowsOf(x);
    auto* rows = scratch<Vantor::KScanRow>(count);
    for (int r = 0; r < count; ++r) new (&rows[r]) Vantor::KScanRow();
    SEXP means = PROTECT(Rf_allocVector(
        REALSXP, static_cast<R_xlen_t>(Vantor::kScanClusterOffset(kFirst, std::int64_t{kLast} + 1))));
    const bool ok = Vantor::scanK(clustions, options, items, x.rows, x.cols, kFirst, kLast, rows,
                                  REAL(means), nullptr);
    if (!ok) {
        // The R wrapper explains the refusal with the library's count.
        const char* refused[] = {"candidates"};
        SEXP out = PROTECT(namedList(refused, 1));
        SET_VECTOR_ELT(out, 0, Rf_ScalarReal(static_cast<double>(
                                   Vantor::countCandidates(options.twoSided, items, x.rows, x.cols))));
        UNPROTECT(2);
        return out;
    }
    const char* names[] = {"k",         "totsim", "silhouette", "counted",     "undefined",
                           "iter",      "converged", "start",   "evaluations", "cluster.silhouettes"};
    SEXP out = PROTECT(namedList(names, 10));
    SEXP columns[9];
    const SEXPTYPE types[9] = {INTSXP, REALSXP, REALSXP, REALSXP, REALSXP,
                               INTSXP, LGLSXP,  INTSXP,  REALSXP};
    for (int c = 0; c < 9; ++c) {
        columns[c] = Rf_allocVector(types[c], count);
        SET_VECTOR_ELT(out, c, columns[c]);
    }
    for (int r = 0; r < count; ++r) {
        const Vantor::KScanRow& row = rows[r];
        INTEGER(columns[0])[r] = row.k;
        REAL(columns[1])[r] = row.totalSimilarity;
        // NaN, not R's NA: the mean is undefined, not missing.
        REAL(columns[2])[r] = row.silhouette.mean;
        REAL(columns[3])[r] = static_cast<double>(row.silhouette.counted);
        REAL(columns[4])[r] = static_cast<double>(row.silhouette.undefined);
        INTEGER(columns[5])[r] = row.passes;
        LOGICAL(columns[6])[r] = row.converged;
        INTEGER(columns[7])[r] = row.winningStart + 1;
        REAL(columns[8])[r] = static_cast<double>(row.evaluations);
    }
    SET_VECTOR_ELT(out, 9, means);
    UNPROTECT(2);
    return out;
}

// The library's suggestion for the means of the given ks.
extern "C" SEXP vantor_suggest_k(SEXP k, SEXP means) {
    const R_xlen_t count = Rf_xlength(k);
    auto* rows = scratch<Vantor::KScanRow>(count);
    for (R_xlen_t r = 0; r < count; ++r) {
        new (&rows[r]) Vantor::KScanRow();
        rows[r].k = INTEGER(k)[r];
        rows[r].silhouette.mean = REAL(means)[r];
    }
    return Rf_ScalarInteger(Vantor::suggestK(rows, static_cast<int>(count)));
}

// cluster: 1-based prototype numbers with NA for none, a vector (one-sided)
// or an n-by-2 matrix (negative, positive). Returns NULL when refused.
extern "C" SEXP vantor_silhouettes(SEXP xs, SEXP centersS, SEXP cluster, SEXP threshold,
                                   SEXP twoSidedFlag, SEXP threads, SEXP allowNaN, SEXP call) {
    const ColumnMatrix x = vantor_r::columnMatrix(xs, "x");
    const ColumnMatrix centers = vantor_r::columnMatrix(centersS, "centers");
    const bool keepNaN = Rf_asLogical(allowNaN) == TRUE;
    vantor_r::refuseTable(x, VANTOR_USE_CLUSTERING, keepNaN, call);
    vantor_r::refuseTable(centers, VANTOR_USE_CLUSTERING, keepNaN, call);
    Vantor::Clustions clustions;
    if (!clustions.thresholds(Rf_asReal(threshold)))
        Rf_errorcall(call, "the library refused threshold");
    const bool twoSided = Rf_asLogical(twoSidedFlag) == TRUE;
    const int sides = twoSided ? 2 : 1;
    const std::int64_t n = x.rows;
    const int k = static_cast<int>(centers.rows);
    if (Rf_xlength(cluster) != n * sides) Rf_errorcall(call, "one cluster per row is needed");
    int* assignments = scratch<int>(n * sides);
    for (std::int64_t i = 0; i < n * sides; ++i) {
        const int c = INTEGER(cluster)[i];
        assignments[i] = c == NA_INTEGER ? -1 : c - 1;
    }
    SEXP values = PROTECT(sides == 1 ? Rf_allocVector(REALSXP, static_cast<R_xlen_t>(n))
                                     : Rf_allocMatrix(REALSXP, static_cast<int>(n), 2));
    SEXP clusterMeans = PROTECT(Rf_allocVector(REALSXP, k));
    Vantor::SilhouetteSummary summary;
    const bool ok = Vantor::silhouettes(
        clustions, rowsOf(x), n, x.cols, twoSided, rowsOf(centers), k, assignments,
        twoSided ? assignments + n : nullptr, REAL(values), twoSided ? REAL(values) + n : nullptr,
        REAL(clusterMeans), &summary, Rf_asInteger(threads));
    if (!ok) {
        UNPROTECT(2);
        return R_NilValue;
    }
    const char* names[] = {"silhouette", "cluster.silhouettes", "mean", "counted", "undefined"};
    SEXP out = PROTECT(namedList(names, 5));
    SET_VECTOR_ELT(out, 0, values);
    SET_VECTOR_ELT(out, 1, clusterMeans);
    SET_VECTOR_ELT(out, 2, Rf_ScalarReal(summary.mean));
    SET_VECTOR_ELT(out, 3, Rf_ScalarReal(static_cast<double>(summary.counted)));
    SET_VECTOR_ELT(out, 4, Rf_ScalarReal(static_cast<double>(summary.undefined)));
    UNPROTECT(3);
    return out;
}
