// Registers the package's compiled entry points with R and turns off lookup
// by name, so R code reaches them only through the registered symbols.
#include <R_ext/Rdynload.h>

#include "r_api.h"

extern "C" {
SEXP vantor_contify(SEXP, SEXP, SEXP, SEXP, SEXP, SEXP, SEXP);
SEXP vantor_dinorm(SEXP, SEXP, SEXP, SEXP, SEXP, SEXP, SEXP);
SEXP vantor_cluster(SEXP, SEXP, SEXP, SEXP, SEXP, SEXP, SEXP, SEXP, SEXP, SEXP);
SEXP vantor_mode_names();
SEXP vantor_library_version();

static const R_CallMethodDef callMethods[] = {
    {"vantor_contify", reinterpret_cast<DL_FUNC>(&vantor_contify), 7},
    {"vantor_dinorm", reinterpret_cast<DL_FUNC>(&vantor_dinorm), 7},
    {"vantor_cluster", reinterpret_cast<DL_FUNC>(&vantor_cluster), 10},
    {"vantor_mode_names", reinterpret_cast<DL_FUNC>(&vantor_mode_names), 0},
    {"vantor_library_version", reinterpret_cast<DL_FUNC>(&vantor_library_version), 0},
    {nullptr, nullptr, 0}};

void R_init_vantor(DllInfo* dll) {
    R_registerRoutines(dll, nullptr, callMethods, nullptr, nullptr);
    R_useDynamicSymbols(dll, FALSE);
    R_forceSymbols(dll, TRUE);
}
}
