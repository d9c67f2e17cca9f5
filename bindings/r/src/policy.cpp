// The library's input policy (vantor/input_policy.h) for the R package: its
// texts and its seed rules, so that R refuses what the tool, Python and Dask
// refuse, in the same words, with R's argument names.
#include <cstring>

#include "policy.h"
#include "vantor/input_policy.h"

namespace vantor_r {

void refuseTable(const ColumnMatrix& x, int use, bool allowNaN, SEXP call) {
    vantor_refusal report;
    // R stores a matrix by column: row r, column c at r + c * rows.
    const std::int64_t rows = x.broadcast ? 1 : x.rows;
    if (vantor_check_table(use, x.data, rows, x.cols, 1, rows, allowNaN ? 1 : 0, &report)) return;
    char text[512];
    vantor_refusal_text(&report, use, x.name, 1, 0, 0, text, sizeof text);
    Rf_errorcall(call, "%s", text);
}

bool seedOf(SEXP seed, std::uint64_t* out) {
    if (TYPEOF(seed) == STRSXP && XLENGTH(seed) == 1 && STRING_ELT(seed, 0) != NA_STRING) {
        const char* text = CHAR(STRING_ELT(seed, 0));
        return vantor_parse_seed(text, std::strlen(text), out) != 0;
    }
    if (TYPEOF(seed) == REALSXP && XLENGTH(seed) == 1) {
        return vantor_seed_from_double(REAL(seed)[0], out) != 0;
    }
    return false;
}

}  // namespace vantor_r

// One of the library's message texts: kind (a VANTOR_MESSAGE_* number), the
// argument's name, the value as R shows it, the mode family for MODE, the
// bounds for WHOLE_NUMBER.
extern "C" SEXP vantor_policy_message(SEXP kind, SEXP name, SEXP value, SEXP family, SEXP low,
                                      SEXP high) {
    const char* shown = CHAR(STRING_ELT(value, 0));
    const int message = Rf_asInteger(kind);
    const char* argument = CHAR(STRING_ELT(name, 0));
    const std::size_t length =
        vantor_message_text(message, argument, shown, Rf_asInteger(family),
                            static_cast<std::int64_t>(Rf_asReal(low)),
                            static_cast<std::int64_t>(Rf_asReal(high)), nullptr, 0);
    char* text = R_alloc(length + 1, 1);
    vantor_message_text(message, argument, shown, Rf_asInteger(family),
                        static_cast<std::int64_t>(Rf_asReal(low)),
                        static_cast<std::int64_t>(Rf_asReal(high)), text, length + 1);
    return Rf_mkString(text);
}

// TRUE when the seed (a double or one string) is one the library takes.
extern "C" SEXP vantor_policy_seed_ok(SEXP seed) {
    std::uint64_t value = 0;
    return Rf_ScalarLogical(vantor_r::seedOf(seed, &value) ? TRUE : FALSE);
}

// The message numbers and mode families R's argument checks use.
extern "C" SEXP vantor_policy_constants() {
    const char* const keys[] = {"WHOLE_NUMBER", "SEED", "SEED_AS_DOUBLE", "MODE", "THRESHOLD",
                                "NOT_REAL", "EMPTY", "relation", "kernel", "aggregation",
                                "combination", "seeding"};
    const int values[] = {VANTOR_MESSAGE_WHOLE_NUMBER, VANTOR_MESSAGE_SEED,
                          VANTOR_MESSAGE_SEED_AS_DOUBLE, VANTOR_MESSAGE_MODE,
                          VANTOR_MESSAGE_THRESHOLD, VANTOR_MESSAGE_NOT_REAL, VANTOR_MESSAGE_EMPTY,
                          VANTOR_MODES_RELATION, VANTOR_MODES_KERNEL, VANTOR_MODES_AGGREGATION,
                          VANTOR_MODES_COMBINATION, VANTOR_MODES_SEEDING};
    const int count = static_cast<int>(sizeof values / sizeof values[0]);
    SEXP out = PROTECT(Rf_allocVector(INTSXP, count));
    SEXP names = PROTECT(Rf_allocVector(STRSXP, count));
    for (int i = 0; i < count; ++i) {
        INTEGER(out)[i] = values[i];
        SET_STRING_ELT(names, i, Rf_mkChar(keys[i]));
    }
    Rf_setAttrib(out, R_NamesSymbol, names);
    UNPROTECT(2);
    return out;
}
