#include <stdio.h>
#include <vantor/vantor.h>

int main(void) {
    int one = 1, two = 2, ok = 0;

    /* Mutual agreement of two membership vectors, Type1 kernel. */
    int modes[2] = {0, 1};
    double a[2] = {0.5, 1.0}, b[2] = {0.25, 1.0}, degree = 0.0;
    con_setModes(&two, modes, &ok);
    if (!ok) return 1;
    con_aggregate(&two, a, b, &degree, &ok);
    if (!ok) return 1;

    /* Three items of two values around two seeded prototypes; rows are
     * contiguous, dims = {prototypes, items, values per row}. */
    int limit = 40, dims[3] = {2, 3, 2}, assigned[3], passInfo[2];
    double prototypes[4] = {1.0, 0.0, 0.0, 1.0};
    double items[6] = {0.9, 0.1, 0.2, 0.8, 1.0, 1.0}, similarity[3];
    clu_setLimits(&one, &limit, &ok);
    if (!ok) return 1;
    clu_cluster(prototypes, items, dims, assigned, similarity, passInfo, &ok);
    if (!ok) return 1;

    printf("agreement %.6f, clusters %d %d %d after %d passes\n",
           degree, assigned[0], assigned[1], assigned[2], passInfo[1]);
    return 0;
}
