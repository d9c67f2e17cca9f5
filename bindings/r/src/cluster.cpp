// simkmeans and its predict method: prototype clustering by a Clustions made
// for the call. Starting prototypes are either given, or chosen by the
// library's seeding from several starts keeping the best run; predict is the
// library's first pass against fixed prototypes (iter.max = 1), so it
// assigns exactly as a fit does.
#include <cmath>
#include <cstring>

#include "column_rows.h"
#include "policy.h"
#include "vantor/clustions.h"
#include "vantor/input_policy.h"
#include "vantor/run_facts.h"
#include "vantor/seeding.h"

namespace {

using vantor_r::ColumnMatrix;

// Row-major rows (the library's layout) into a new column-major R matrix.
SEXP matrixOfRows(const double* rows, int count, int cols) {
    SEXP out = PROTECT(Rf_allocMatrix(REALSXP, count, cols));
    double* column = REAL(out);
    for (int r = 0; r < count; ++r)
        for (int c = 0; c < cols; ++c)
            column[r + static_cast<std::int64_t>(c) * count] =
                rows[static_cast<std::int64_t>(r) * cols + c];
    UNPROTECT(1);
    return out;
}

// The library's -1 / -1.0 for a part no prototype could take become NA, and
// prototype numbers count from 1. `sides` columns: 1, or 2 (negative, positive).
SEXP clusterColumns(const int* const* assignments, int sides, int n) {
    SEXP out = PROTECT(sides == 1 ? Rf_allocVector(INTSXP, n) : Rf_allocMatrix(INTSXP, n, sides));
    for (int s = 0; s < sides; ++s)
        for (int j = 0; j < n; ++j)
            INTEGER(out)
            [static_cast<std::int64_t>(s) * n + j] =
                assignments[s][j] < 0 ? NA_INTEGER : assignments[s][j] + 1;
    UNPROTECT(1);
    return out;
}

SEXP similarityColumns(const int* const* assignments, const double* const* similarities, int sides,
                       int n) {
    SEXP out = PROTECT(sides == 1 ? Rf_allocVector(REALSXP, n) : Rf_allocMatrix(REALSXP, n, sides));
    for (int s = 0; s < sides; ++s)
        for (int j = 0; j < n; ++j)
            REAL(out)
            [static_cast<std::int64_t>(s) * n + j] =
                assignments[s][j] < 0 ? NA_REAL : similarities[s][j];
    UNPROTECT(1);
    return out;
}

template <class T>
T* scratch(std::int64_t count) {
    return reinterpret_cast<T*>(
        R_alloc(static_cast<std::size_t>(count > 0 ? count : 1), sizeof(T)));
}

}  // namespace

// x: n-by-m double matrix, called xName in messages (x, or predict's
// newdata); centers: a k-by-m double matrix of starting prototypes, or the
// number k, checked against the candidates for seeds before anything of
// size k is allocated; seed: a whole double below 2^53 or a string of digits.
extern "C" SEXP vantor_cluster(SEXP xs, SEXP xName, SEXP centersOrK, SEXP threshold,
                               SEXP iterMax, SEXP restarts, SEXP twoSidedFlag, SEXP seeding,
                               SEXP seed, SEXP allowNaN, SEXP call) {
    const ColumnMatrix x = vantor_r::columnMatrix(xs, CHAR(STRING_ELT(xName, 0)));
    const bool given = Rf_isMatrix(centersOrK);
    ColumnMatrix centers{nullptr, 0, 0, false, "centers"};
    if (given) centers = vantor_r::columnMatrix(centersOrK, "centers");
    const int k = given ? static_cast<int>(centers.rows) : Rf_asInteger(centersOrK);
    const int n = static_cast<int>(x.rows), m = x.cols;
    if (x.broadcast || n < 1 || m < 1 || k < 1 || (given && centers.cols != m))
        Rf_errorcall(call, "x and centers do not have the shapes clustering needs");
    const bool keepNaN = Rf_asLogical(allowNaN) == TRUE;
    vantor_r::refuseTable(x, VANTOR_USE_CLUSTERING, keepNaN, call);
    if (given) vantor_r::refuseTable(centers, VANTOR_USE_CLUSTERING, keepNaN, call);
    std::uint64_t randomSeed = 0;
    if (!given && !vantor_r::seedOf(seed, &randomSeed))
        Rf_errorcall(call, "the seed reached the library unchecked");
    Vantor::Clustions clustions;
    if (!clustions.thresholds(Rf_asReal(threshold)) || !clustions.setLimits(Rf_asInteger(iterMax)))
        Rf_errorcall(call, "the library refused threshold or iter.max");
    const bool twoSided = Rf_asLogical(twoSidedFlag) == TRUE;
    const int sides = twoSided ? 2 : 1;

    double* items = scratch<double>(static_cast<std::int64_t>(n) * m);
    vantor_r::gatherRows(x, 0, n, items);
    if (!given) {
        const std::int64_t candidates = Vantor::countCandidates(twoSided, items, n, m);
        vantor_refusal report;
        if (!vantor_check_k(k, candidates, &report)) {
            char text[256];
            vantor_refusal_text(&report, VANTOR_USE_CLUSTERING, "centers", 1, candidates,
                                twoSided, text, sizeof text);
            Rf_errorcall(call, "%s", text);
        }
    }
    double* seeds = scratch<double>(static_cast<std::int64_t>(k) * m);
    double* prototypes = scratch<double>(static_cast<std::int64_t>(k) * m);
    int* assignments[2] = {scratch<int>(n), scratch<int>(n)};
    double* similarities[2] = {scratch<double>(n), scratch<double>(n)};
    int dims[3] = {k, n, m};
    int passInfo[2] = {0, 0};
    int winningStart = 0;
    double total = 0;

    bool ok;
    if (given) {
        vantor_r::gatherRows(centers, 0, k, seeds);
        std::memcpy(prototypes, seeds, sizeof(double) * static_cast<std::size_t>(k) * m);
        ok = twoSided ? clustions.cluster(prototypes, items, dims, assignments[0], assignments[1],
                                          similarities[0], similarities[1], passInfo)
                      : clustions.cluster(prototypes, items, dims, assignments[0], similarities[0],
                                          passInfo);
        ok = ok && Vantor::totalSimilarity(twoSided, assignments[0], similarities[0],
                                           assignments[1], similarities[1], n, &total);
    } else {
        const int rule = Rf_asInteger(seeding);
        ok = Vantor::clusterFromStarts(clustions, rule, Rf_asInteger(restarts), randomSeed, items,
                                       dims, twoSided, prototypes, assignments[0], similarities[0],
                                       assignments[1], similarities[1], passInfo, &winningStart,
                                       &total);
        // The kept run's starting prototypes, chosen again from its start's
        // seed, so a caller can rerun or inspect it.
        ok = ok && Vantor::chooseSeeds(clustions, rule, k, items, n, m, twoSided,
                                       Vantor::restartSeed(randomSeed, winningStart), seeds,
                                       nullptr, nullptr);
    }
    if (!ok) return R_NilValue;

    const char* names[] = {"cluster", "similarity", "centers", "seeds",
                           "iter",    "converged",  "totsim",  "start"};
    SEXP out = PROTECT(Rf_allocVector(VECSXP, 8));
    SET_VECTOR_ELT(out, 0, clusterColumns(assignments, sides, n));
    SET_VECTOR_ELT(out, 1, similarityColumns(assignments, similarities, sides, n));
    SET_VECTOR_ELT(out, 2, matrixOfRows(prototypes, k, m));
    SET_VECTOR_ELT(out, 3, matrixOfRows(seeds, k, m));
    SET_VECTOR_ELT(out, 4, Rf_ScalarInteger(passInfo[1]));
    SET_VECTOR_ELT(out, 5, Rf_ScalarLogical(passInfo[0] == 1));
    SET_VECTOR_ELT(out, 6, Rf_ScalarReal(total));
    SET_VECTOR_ELT(out, 7, Rf_ScalarInteger(winningStart + 1));
    SEXP labels = PROTECT(Rf_allocVector(STRSXP, 8));
    for (int i = 0; i < 8; ++i) SET_STRING_ELT(labels, i, Rf_mkChar(names[i]));
    Rf_setAttrib(out, R_NamesSymbol, labels);
    UNPROTECT(2);
    return out;
}
