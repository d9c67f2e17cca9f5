/* Compiled as C99: the public C headers must stay valid C, and a C program
 * must be able to call the entries and the input policy directly. */
#include <stdio.h>
#include <string.h>

#include "vantor/input_policy.h"
#include "vantor/vantor.h"

/* The name lists are brace initialisers a C host can use as they are. */
static const char *const relations[] = VANTOR_RELATION_NAMES;
static const char *const combinations[] = VANTOR_COMBINATION_NAMES;

int main(void) {
    int n = 2, ok = -1, two = 2, modes[2] = {-1, -1};
    if (sizeof relations / sizeof *relations != 3 || relations[VANTOR_RELATION_MUTUAL][0] != 'm' ||
        sizeof combinations / sizeof *combinations != VANTOR_COMBINATION_REINFORCED_SUM + 1) {
        fprintf(stderr, "name lists out of step with their constants\n");
        return 1;
    }
    double first[2] = {0.5, 1.0}, second[2] = {0.25, 1.0}, result = -1.0;

    con_getModes(&two, modes, &ok);
    if (ok != 1 || modes[0] != 1 || modes[1] != 1) {
        fprintf(stderr, "con_getModes: ok=%d modes={%d, %d}\n", ok, modes[0], modes[1]);
        return 1;
    }
    con_aggregate(&n, first, second, &result, &ok);
    if (ok != 1 || result < 0.8333333 || result > 0.8333334) {
        fprintf(stderr, "con_aggregate: ok=%d result=%.17g\n", ok, result);
        return 1;
    }
    printf("C host: degree %.6f\n", result);

    /* A C host refuses what every host refuses, in the same words. */
    vantor_refusal refused;
    char text[128];
    const double table[2] = {0.5, 1.5};
    if (vantor_check_table(VANTOR_USE_MEMBERSHIP, table, 1, 2, 2, 1, 0, &refused) != 0 ||
        vantor_refusal_text(&refused, VANTOR_USE_MEMBERSHIP, "x", 1, 0, 0, text, sizeof text) !=
            strlen("x: value 1.5 at row 1, column 2 is outside [0, 1]")) {
        fprintf(stderr, "input policy from C: %s\n", text);
        return 1;
    }
    return 0;
}
