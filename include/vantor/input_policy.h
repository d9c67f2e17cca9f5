/* What every host accepts and refuses, decided once: the tool, Python, Dask
 * and R call these checks instead of writing their own, and print the texts
 * below with their own argument names, so the same bad input gets the same
 * answer everywhere. The table of the policy is docs/input-policy.md.
 *
 * The checks read only what they are given and write only the report they
 * are handed; none allocates, prints or keeps a pointer. Each returns 1 when
 * the input is accepted and 0 when it is refused.
 * This header compiles as C and as C++. */
#ifndef VANTOR_INPUT_POLICY_H
#define VANTOR_INPUT_POLICY_H

#include <stddef.h>
#include <stdint.h>

#include "vantor/export.h"
#include "vantor/modes.h"
#include "vantor/refusal.h"

#ifdef __cplusplus
extern "C" {
#endif

/* ---- What a table is for -------------------------------------------------
 * Each use accepts its own values. NaN is refused in all three unless the
 * caller asked to keep it (allow NaN), because it reaches the library as the
 * library defines it, which few callers mean. */
enum vantor_use {
    VANTOR_USE_MEMBERSHIP = 0, /* contify: every value in [0, 1] */
    VANTOR_USE_SIGNED = 1,     /* dinorm: every value in [-1, 1], significant or not */
    VANTOR_USE_CLUSTERING = 2  /* clustering items and prototypes: any finite number */
};
#define VANTOR_USE_NAMES {"membership", "signed", "clustering"}
/* The range each use names in its refusal, in the order of the constants. */
#define VANTOR_USE_RANGES {"[0, 1]", "[-1, 1]", "finite numbers"}

/* ---- Message texts -------------------------------------------------------
 * The words of every refusal, one per kind, in the order of the constants.
 * Placeholders: {name} the host's name of the argument (--threshold,
 * threshold=, items), {value} the refused value as text, {row} and {column}
 * in the host's own numbering, {range} the range of the use, {low} and
 * {high} the bounds of a whole number, {found} the candidates there are,
 * {names} the accepted names separated by ", ". A host may add a hint of its
 * own after the text (the tool's "(--allow-nan passes it on)"), never change
 * the text. */
enum vantor_message {
    VANTOR_MESSAGE_NAN = 0,
    VANTOR_MESSAGE_INFINITE = 1,
    VANTOR_MESSAGE_OUT_OF_RANGE = 2,
    VANTOR_MESSAGE_TOO_LARGE = 3,
    VANTOR_MESSAGE_EMPTY = 4,
    VANTOR_MESSAGE_TOO_FEW_ITEMS = 5,
    VANTOR_MESSAGE_TOO_FEW_PARTS = 6,
    VANTOR_MESSAGE_WHOLE_NUMBER = 7,
    VANTOR_MESSAGE_SEED = 8,
    VANTOR_MESSAGE_SEED_AS_DOUBLE = 9,
    VANTOR_MESSAGE_MODE = 10,
    VANTOR_MESSAGE_THRESHOLD = 11,
    VANTOR_MESSAGE_NOT_A_DOUBLE = 12,
    VANTOR_MESSAGE_NOT_REAL = 13,
    VANTOR_MESSAGE_MASKED = 14
};
#define VANTOR_MESSAGE_TEXTS                                                                   \
    {"{name}: NaN at row {row}, column {column}",                                              \
     "{name}: infinite value {value} at row {row}, column {column}",                           \
     "{name}: value {value} at row {row}, column {column} is outside {range}",                 \
     "{name} is too large: {value} rows or columns, the most is 2147483647",                   \
     "{name} is empty: it needs at least one row and one column",                              \
     "{name} = {value} is more than the {found} items with a value above 0, the candidates "   \
     "for seeds",                                                                              \
     "{name} = {value} is more than the {found} item parts with a value other than 0, the "    \
     "candidates for seeds",                                                                   \
     "{name} must be a whole number from {low} to {high}, got {value}",                        \
     "{name} must be a whole number in [0, 2^64), got {value}",                                \
     "{name} must be a whole number below 2^53, or a string of digits in [0, 2^64), got "      \
     "{value}",                                                                                \
     "{name} must be one of {names}; got \"{value}\"",                                         \
     "{name} must be a number in [0, 1], got {value}",                                         \
     "{name} must be a number that a double holds exactly, got {value}",                       \
     "{name} must hold real numbers, got {value}",                                             \
     "{name}: masked value at row {row}, column {column}"}

/* ---- Tables --------------------------------------------------------------
 * vantor_check_table - every value of a table fit for `use`?
 *   use           a vantor_use constant
 *   values        the element at row 0, column 0
 *   rows, columns the table's size (0 of either: nothing to check)
 *   rowStride     elements from one row to the next, columnStride from one
 *                 column to the next (either may be negative), so a numpy
 *                 view or an R column-major matrix is read where it lies:
 *                 element (r, c) is values[r * rowStride + c * columnStride]
 *   allowNaN      non-zero: NaN passes (the caller asked to keep it)
 *   report        when not null: where the first refused value lies, in
 *                 row-major order (row 0 first), or VANTOR_REFUSAL_NONE
 * Refused, by the first value in that order: NaN (unless allowed),
 * +inf or -inf (reason INFINITE, in every use), a finite value outside the
 * use's range (OUT_OF_RANGE). Also refused: an unknown use, negative sizes
 * or a null `values` with values to read (ARGUMENT). -0.0 is 0.0. */
VANTOR_API int vantor_check_table(int use, const double *values, int64_t rows, int64_t columns,
                                  int64_t rowStride, int64_t columnStride, int allowNaN,
                                  vantor_refusal *report);

/* vantor_check_size - a table's size: at least one row and one column
 * (else EMPTY), at most INT_MAX of each, the most the library's entries and
 * classes take (else SIZE, value = the count that is too large). */
VANTOR_API int vantor_check_size(int64_t rows, int64_t columns, vantor_refusal *report);

/* vantor_check_k - the number of prototypes to choose from the items, before
 * anything of size k is allocated: k from 1 to INT_MAX (else OUT_OF_RANGE)
 * and at most `candidates` (else TOO_FEW_CANDIDATES), both with value = k.
 * `candidates` is Vantor::countCandidates of vantor/run_facts.h. */
VANTOR_API int vantor_check_k(int64_t k, int64_t candidates, vantor_refusal *report);

/* ---- Seeds ---------------------------------------------------------------
 * A random seed is any whole number in [0, 2^64), the same run in every
 * host. vantor_parse_seed reads it from `length` bytes of text: digits only,
 * at least one (leading zeros are fine). A sign, a blank, a decimal point,
 * any other byte (NUL too) or a number of 2^64 and above is refused; *seed
 * is written only on success. */
VANTOR_API int vantor_parse_seed(const char *text, size_t length, uint64_t *seed);
/* vantor_seed_from_double - for hosts whose numbers are doubles (R): a whole
 * number in [0, 2^53), where every whole number is exact. NaN, infinities,
 * fractions, negative numbers and 2^53 and above are refused (the host then
 * asks for the seed as a string of digits). -0.0 is 0. */
VANTOR_API int vantor_seed_from_double(double value, uint64_t *seed);

/* ---- Modes ---------------------------------------------------------------
 * The vocabularies of vantor/modes.h. A name is accepted only as it is
 * spelt there: case, hyphens for underscores, abbreviations and numbers are
 * all refused (R alone keeps base R's unambiguous partial matching, before
 * it asks). */
enum vantor_mode_family {
    VANTOR_MODES_RELATION = 0,    /* VANTOR_RELATION_NAMES */
    VANTOR_MODES_KERNEL = 1,      /* VANTOR_KERNEL_NAMES */
    VANTOR_MODES_AGGREGATION = 2, /* VANTOR_AGGREGATION_NAMES */
    VANTOR_MODES_COMBINATION = 3, /* VANTOR_COMBINATION_NAMES */
    VANTOR_MODES_SEEDING = 4      /* VANTOR_SEEDING_NAMES */
};
/* The mode number of the name in `length` bytes of text, or -1 when it is
 * none of the family's names (or the family is unknown). */
VANTOR_API int vantor_mode_number(int family, const char *text, size_t length);
/* The family's names joined by ", " for {names} ("mutual, first_in_second,
 * second_in_first"), a static string; "" for an unknown family. */
VANTOR_API const char *vantor_mode_list(int family);

/* ---- Thresholds ----------------------------------------------------------
 * Every threshold and the neutral band lie in [0, 1]; NaN is refused,
 * although the library's setters take it, because it silently gates
 * everything in or out. -0.0 is accepted (and kept). */
VANTOR_API int vantor_check_unit(double value);
/* 1 when `value` is exactly a double, so that a host holding wider numbers
 * (a long double just above 1) refuses it instead of letting the rounding
 * to double accept it. A NaN counts as exact; infinities are exact. */
VANTOR_API int vantor_is_double(long double value);

/* ---- Texts ---------------------------------------------------------------
 * Each fills `buffer` (capacity bytes, always ending in '\0' when capacity
 * > 0, cut if short) and returns the length of the whole text without the
 * '\0', as snprintf does: a host may ask with capacity 0 first.
 *
 * vantor_refusal_text - the text of a report of vantor_check_table,
 * vantor_check_size or vantor_check_k, for the argument the host calls
 * `name`: rows and columns are shown counted from `firstIndex` (0 in
 * Python, 1 in R and the tool), values in the shortest form that reads back
 * exactly. `use` names the range of OUT_OF_RANGE; `candidates` and
 * `twoSided` are read for TOO_FEW_CANDIDATES only. */
VANTOR_API size_t vantor_refusal_text(const vantor_refusal *report, int use, const char *name,
                                      int64_t firstIndex, int64_t candidates, int twoSided,
                                      char *buffer, size_t capacity);
/* vantor_message_text - one of VANTOR_MESSAGE_TEXTS filled in: {name} and
 * {value} from the arguments (texts as the host shows them; null reads as
 * ""), {names} from `family` (for VANTOR_MESSAGE_MODE), {low} and {high}
 * from the two numbers (for VANTOR_MESSAGE_WHOLE_NUMBER). An unknown
 * message gives "". */
VANTOR_API size_t vantor_message_text(int message, const char *name, const char *value,
                                      int family, int64_t low, int64_t high, char *buffer,
                                      size_t capacity);
/* vantor_place_text - one of VANTOR_MESSAGE_TEXTS that names a place in a
 * table and nothing else (VANTOR_MESSAGE_MASKED: a value the host's array
 * hides, which the library never sees) filled in: {name}, and {row} and
 * {column} as given, already in the host's own numbering. */
VANTOR_API size_t vantor_place_text(int message, const char *name, int64_t row, int64_t column,
                                    char *buffer, size_t capacity);
/* vantor_format_double - `value` in the shortest form that reads back to
 * the same double ("0.1", "1e+300", "-0", "nan", "inf", "-inf"), the form
 * every message shows a number in. Returns the length as above. */
VANTOR_API size_t vantor_format_double(double value, char *buffer, size_t capacity);

#ifdef __cplusplus
}
#endif

#endif
