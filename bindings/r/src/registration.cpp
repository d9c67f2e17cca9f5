// Registers the package's compiled entry points with R and turns off lookup
// by name, so R code reaches them only through the registered symbols.
#include <R_ext/Rdynload.h>

#include "r_api.h"

extern "C" {
SEXP vantor_contify(SEXP, SEXP, SEXP, SEXP, SEXP, SEXP, SEXP);
SEXP vantor_dinorm(SEXP, SEXP, SEXP, SEXP, SEXP, SEXP, SEXP);
SEXP vantor_cluster(SEXP, SEXP, SEXP, SEXP, SEXP, SEXP, SEXP, SEXP, SEXP, SEXP, SEXP);
SEXP vantor_policy_message(SEXP, SEXP, SEXP, SEXP, SEXP, SEXP);
SEXP vantor_policy_seed_ok(SEXP);
SEXP vantor_policy_constants();
SEXP vantor_mode_names();
SEXP vantor_library_version();
}

namespace {

// R keeps every entry as DL_FUNC; going through void (*)(), the type that
// stands for any function, says that the cast is meant.
template <class Function>
DL_FUNC entryOf(Function* function) {
    return reinterpret_cast<DL_FUNC>(reinterpret_cast<void (*)()>(function));
}

const R_CallMethodDef callMethods[] = {
    {"vantor_contify", entryOf(&vantor_contify), 7},
    {"vantor_dinorm", entryOf(&vantor_dinorm), 7},
    {"vantor_cluster", entryOf(&vantor_cluster), 11},
    {"vantor_policy_message", entryOf(&vantor_policy_message), 6},
    {"vantor_policy_seed_ok", entryOf(&vantor_policy_seed_ok), 1},
    {"vantor_policy_constants", entryOf(&vantor_policy_constants), 0},
    {"vantor_mode_names", entryOf(&vantor_mode_names), 0},
    {"vantor_library_version", entryOf(&vantor_library_version), 0},
    {nullptr, nullptr, 0}};

}  // namespace

extern "C" void R_init_vantor(DllInfo* dll) {
    R_registerRoutines(dll, nullptr, callMethods, nullptr, nullptr);
    R_useDynamicSymbols(dll, FALSE);
    R_forceSymbols(dll, TRUE);
}
