#include <cstdio>
#include <vantor/contifiers.h>
#include <vantor/dinorms.h>

int main() {
    // Directed "first in second" with the Type1 kernel; positions whose
    // first value lies below 0.5 are left out.
    Vantor::Contifiers inclusion(0.5);
    double first[] = {0.2, 0.8, 0.6, 0.5};
    double second[] = {0.9, 0.4, 0.3, 0.5};
    double degree = 0.0;
    if (!inclusion.aggregate(4, first, second, &degree)) return 1;

    // Extreme values combined by "the larger magnitude wins".
    Vantor::Dinorms evidence;
    double values[] = {0.5, -0.75, 0.25};
    double result[3];  // {negative aggregate, positive aggregate, combined}
    if (!evidence.aggregate(3, values, result)) return 1;

    std::printf("inclusion %.6f, combined %.2f\n", degree, result[2]);
    return 0;
}
