/* The library's numbered modes and the names every host shows and accepts.
 * The entries and fields take these as plain ints; the binary interface is
 * unchanged. Each *_NAMES macro is a brace list of the names, in the order of
 * the constants, so that a host builds its table from it
 * (static const char *const names[] = VANTOR_RELATION_NAMES;) instead of
 * spelling the names again. vantor/input_policy.h looks a typed name up in
 * these lists, so hosts need not.
 * This header compiles as C and as C++. */
#ifndef VANTOR_MODES_H
#define VANTOR_MODES_H

/* Contifiers relation (con_setModes modes[0]). */
enum vantor_relation {
    VANTOR_RELATION_MUTUAL = 0,          /* symmetric agreement of the two vectors */
    VANTOR_RELATION_FIRST_IN_SECOND = 1, /* degree to which first lies in second (default) */
    VANTOR_RELATION_SECOND_IN_FIRST = 2  /* degree to which second lies in first */
};
#define VANTOR_RELATION_NAMES {"mutual", "first_in_second", "second_in_first"}

/* Contifiers kernel (con_setModes modes[1]); a, b the two values at a position.
 * Mutual: weight max(a, b); term a*b, min(a, b), max(a, b)*(1 - |a - b|).
 * Directed (a in b): weight a; term a when b >= a, else a*b (type0, Goedel),
 * b (type1, Goguen), a*((b + 1) - a) (type2, Lukasiewicz). */
enum vantor_kernel {
    VANTOR_KERNEL_TYPE0 = 0,
    VANTOR_KERNEL_TYPE1 = 1, /* default */
    VANTOR_KERNEL_TYPE2 = 2
};
#define VANTOR_KERNEL_NAMES {"type0", "type1", "type2"}

/* Dinorms aggregation of each side (din_setModes modes[0]), over the
 * magnitudes v that reach the threshold. */
enum vantor_aggregation {
    VANTOR_AGGREGATION_EXTREME = 0,       /* max v (default) */
    VANTOR_AGGREGATION_PROBABILISTIC = 1, /* 1 - prod(1 - v) */
    VANTOR_AGGREGATION_BOUNDED = 2        /* min(1, sum v) */
};
#define VANTOR_AGGREGATION_NAMES {"extreme", "probabilistic", "bounded"}

/* Dinorms combination of the negative aggregate n (<= 0) and the positive
 * aggregate p (>= 0) into one signed degree (din_setModes modes[1]), from
 * d = p + n; a d strictly inside the neutral band becomes 0 first. */
enum vantor_combination {
    VANTOR_COMBINATION_DOMINANT = 0,         /* p if d > 0, n if d < 0, else 0 (default) */
    VANTOR_COMBINATION_CERTAINTY_FACTOR = 1, /* d / (1 - min(p, -n)) */
    VANTOR_COMBINATION_SUM = 2,              /* d */
    VANTOR_COMBINATION_REINFORCED_SUM = 3    /* (1 + |n| * p) * d */
};
#define VANTOR_COMBINATION_NAMES {"dominant", "certainty_factor", "sum", "reinforced_sum"}

/* How starting prototypes are chosen (vantor/seeding.h). */
enum vantor_seeding {
    VANTOR_SEEDING_FARTHEST = 0,  /* first candidate, then the least similar to those chosen */
    VANTOR_SEEDING_KMEANS_PP = 1, /* random, weighted by (1 - greatest similarity)^2 */
    VANTOR_SEEDING_FIRST = 2      /* the first k candidates */
};
#define VANTOR_SEEDING_NAMES {"farthest", "kmeans++", "first"}

/* Which part of a signed item a two-sided row holds. */
enum vantor_part {
    VANTOR_PART_NEGATIVE = 0, /* magnitudes of the negative values */
    VANTOR_PART_POSITIVE = 1  /* the positive values; one-sided rows are this part */
};
#define VANTOR_PART_NAMES {"negative", "positive"}

#endif
