/* Where an input was refused: one report shared by the additions that read
 * whole tables, so a host can name the row, the column and the value in its
 * own words without scanning the input again.
 * This header compiles as C and as C++. */
#ifndef VANTOR_REFUSAL_H
#define VANTOR_REFUSAL_H

#include <stdint.h>

/* Why an input was refused. New reasons are added at the end; a value never
 * changes its meaning. */
enum vantor_refusal_reason {
    VANTOR_REFUSAL_NONE = 0,         /* nothing was refused */
    VANTOR_REFUSAL_NAN = 1,          /* a NaN where a number is needed */
    VANTOR_REFUSAL_INFINITE = 2,     /* +inf or -inf where a finite number is needed */
    VANTOR_REFUSAL_OUT_OF_RANGE = 3, /* a number outside the range the input allows */
    VANTOR_REFUSAL_SIZE = 4,         /* a count or dimension the call cannot take */
    VANTOR_REFUSAL_ARGUMENT = 5,     /* a null array, an unknown mode, or another bad argument */
    VANTOR_REFUSAL_EMPTY = 6,        /* a table without rows or without columns */
    VANTOR_REFUSAL_TOO_FEW_CANDIDATES = 7 /* k above the number of candidates for seeds */
};

/* The first refused value in row-major order of the rows as the call numbers
 * them (row 0 first; within a row, position 0 first). `row` and `column` are
 * -1 when the refusal is not about one value, and `value` is then 0.0,
 * except for SIZE and TOO_FEW_CANDIDATES, where it is the count refused (a
 * number of rows or columns, or k). */
typedef struct vantor_refusal {
    int reason;     /* a vantor_refusal_reason */
    int64_t row;    /* 0-based row (item) holding the refused value, or -1 */
    int64_t column; /* 0-based position within that row, or -1 */
    double value;   /* the refused value, bit for bit */
} vantor_refusal;

#endif
