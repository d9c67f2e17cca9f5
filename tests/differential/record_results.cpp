// Records calls and the literal reference's outputs for them, on a machine
// whose long double is the x87 format, into the file the replay
// (recorded_results_check.cpp) holds every other platform to. Run through
// scripts/record-x87-results; the output only changes when this file does.
//
// The values are mostly full-precision uniform numbers rather than the grid
// of the random differential tests: sums of those are where a wider or
// narrower extended format rounds differently.
#include <cmath>
#include <cstdio>

#include "literal_clustions.h"
#include "literal_contifiers.h"
#include "literal_dinorms.h"
#include "random_values.h"
#include "recorded_calls.h"
#include "reference_extended.h"

#if !VANTOR_X87_LONG_DOUBLE
#error "the recording needs long double in the x87 format"
#endif

namespace {

struct Reference {
    static bool con(const Vantor::Contifiers& c, int n, const double* first, const double* second,
                    double* result) {
        return literal::conAggregate(c, n, first, second, result);
    }
    static bool din(const Vantor::Dinorms& d, int n, const double* values, double* result) {
        return literal::dinAggregate(d, n, values, result);
    }
    static double sim(const Vantor::Clustions& c, const double* first, const double* second, int n) {
        return literal::evalSimil(c, first, second, n);
    }
    static bool clu(const Vantor::Clustions& c, bool twoSided, double* prototypes, const double* items,
                    int* dims, int* assignments, int* posAssignments, double* similarities,
                    double* posSimilarities, int* passInfo) {
        if (twoSided)
            return literal::cluster(c, prototypes, items, dims, assignments, posAssignments, similarities,
                                    posSimilarities, passInfo);
        return literal::cluster(c, prototypes, items, dims, assignments, similarities, passInfo);
    }
};

class Draw {
public:
    explicit Draw(std::uint64_t seed) : random_(seed) {}
    vt::RandomValues& random() { return random_; }

    double threshold() { return random_.chance(0.5) ? random_.uniform(0.0, 0.5) : random_.threshold(); }
    int length() { return random_.chance(0.06) ? random_.between(40, 80) : random_.between(1, 20); }
    // Mostly full precision, now and then a value the rules treat specially.
    std::vector<double> values(int n, double lo, double hi, double threshold) {
        std::vector<double> v(static_cast<std::size_t>(n));
        for (double& x : v)
            x = random_.chance(0.85) ? random_.uniform(lo, hi) : random_.value(lo, hi, threshold, 0.0);
        if (random_.chance(0.03)) v[random_.between(0, n - 1)] = random_.outsideOf(lo, hi);
        return v;
    }

private:
    vt::RandomValues random_;
};

// A call on two membership vectors of one length and a threshold.
recorded::Call twoVectors(Draw& draw, const char* kind, const std::vector<int>& ints) {
    recorded::Call c;
    c.kind = kind;
    c.ints = ints;
    c.reals = {draw.threshold()};
    const int n = draw.length();
    c.a = draw.values(n, 0.0, 1.0, c.reals[0]);
    c.b = draw.values(n, 0.0, 1.0, c.reals[0]);
    return c;
}

void emit(const recorded::Call& c) {
    std::printf("%s%s\n", c.inputs().c_str(), recorded::outputs<Reference>(c).c_str());
}

}  // namespace

int main() {
    std::printf("# Calls and their outputs from the literal reference in the x87 format,\n"
                "# written by scripts/record-x87-results; replayed by recorded_results_check.\n");
    Draw draw(0x87);
    for (int i = 0; i < 700; ++i) {
        std::vector<int> modes = {draw.random().between(0, 2), draw.random().between(0, 2)};
        emit(twoVectors(draw, "con", modes));
    }
    for (int i = 0; i < 700; ++i) {
        recorded::Call c;
        c.kind = "din";
        c.ints = {draw.random().between(0, 2), draw.random().between(0, 3)};
        c.reals = {draw.threshold(), draw.random().chance(0.5) ? 0.0 : draw.random().uniform(0.0, 0.3)};
        c.a = draw.values(draw.length(), -1.0, 1.0, c.reals[0]);
        emit(c);
    }
    // Sums that land just beside a tie of two doubles: v, then half a unit
    // in v's last place, then a number far below the 64th bit. x87 rounds
    // the third addition away and the store then ties to even; a wider
    // format keeps it and rounds the other way.
    for (int i = 0; i < 100; ++i) {
        recorded::Call c;
        c.kind = "din";
        c.ints = {2, draw.random().between(0, 3)};
        c.reals = {0.0, 0.0};
        const double v = draw.random().uniform(0.125, 0.5);
        const double half = (std::nextafter(v, 1.0) - v) / 2;
        const double below = std::ldexp(half, -draw.random().between(12, 40)) * (i % 2 ? 1.0 : -1.0);
        const double sign = i % 4 < 2 ? 1.0 : -1.0;
        c.a = {sign * v, sign * half, sign * below};
        emit(c);
    }
    for (int i = 0; i < 500; ++i) emit(twoVectors(draw, "sim", {}));
    for (int i = 0; i < 80; ++i) {
        recorded::Call c;
        c.kind = i % 2 ? "clu2" : "clu";
        const int k = draw.random().between(2, 5), n = draw.random().between(8, 24);
        const int m = draw.random().chance(0.9) ? draw.random().between(2, 8) : draw.random().between(20, 30);
        c.ints = {draw.random().between(1, 40), k, n, m};
        c.reals = {draw.threshold()};
        c.a = draw.values(k * m, 0.0, 1.0, c.reals[0]);
        c.b = draw.values(n * m, i % 2 ? -1.0 : 0.0, 1.0, c.reals[0]);
        for (double& x : c.a) x = std::fabs(x);
        emit(c);
    }
    return 0;
}
