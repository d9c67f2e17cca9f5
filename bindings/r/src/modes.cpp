// The library's vocabulary and version as R sees them. The mode names come
// from the macros of the public header, so the package cannot spell a name
// differently from the other hosts.
#include "r_api.h"
#include "vantor/vantor.h"

namespace {

template <std::size_t N>
SEXP names(const char* const (&list)[N]) {
    SEXP out = PROTECT(Rf_allocVector(STRSXP, N));
    for (std::size_t i = 0; i < N; ++i) SET_STRING_ELT(out, i, Rf_mkChar(list[i]));
    UNPROTECT(1);
    return out;
}

}  // namespace

// A named list: relation, kernel, aggregation, combination, seeding; each a
// character vector in the order of the library's constants (0, 1, ...).
extern "C" SEXP vantor_mode_names() {
    static const char* const relation[] = VANTOR_RELATION_NAMES;
    static const char* const kernel[] = VANTOR_KERNEL_NAMES;
    static const char* const aggregation[] = VANTOR_AGGREGATION_NAMES;
    static const char* const combination[] = VANTOR_COMBINATION_NAMES;
    static const char* const seeding[] = VANTOR_SEEDING_NAMES;
    const char* const keys[] = {"relation", "kernel", "aggregation", "combination", "seeding"};
    SEXP out = PROTECT(Rf_allocVector(VECSXP, 5));
    SET_VECTOR_ELT(out, 0, names(relation));
    SET_VECTOR_ELT(out, 1, names(kernel));
    SET_VECTOR_ELT(out, 2, names(aggregation));
    SET_VECTOR_ELT(out, 3, names(combination));
    SET_VECTOR_ELT(out, 4, names(seeding));
    Rf_setAttrib(out, R_NamesSymbol, names(keys));
    UNPROTECT(1);
    return out;
}

// "major.minor.patch" of the library sources the package was compiled from.
extern "C" SEXP vantor_library_version() {
    char text[32];
    std::snprintf(text, sizeof text, "%d.%d.%d", VANTOR_VERSION_MAJOR, VANTOR_VERSION_MINOR,
                  VANTOR_VERSION_PATCH);
    return Rf_mkString(text);
}
