// Replays the calls recorded from the x87 reference (recorded/x87_results.txt)
// through the library built here, whatever this platform's long double is,
// and reports every output whose bits differ. Exit status 0 only when every
// call was read and agreed.
#include <cstdio>
#include <fstream>
#include <string>

#include "recorded_calls.h"

namespace {

struct Library {
    static bool con(Vantor::Contifiers c, int n, const double* first, const double* second, double* result) {
        return c.aggregate(n, const_cast<double*>(first), const_cast<double*>(second), result);
    }
    static bool din(Vantor::Dinorms d, int n, const double* values, double* result) {
        return d.aggregate(n, const_cast<double*>(values), result);
    }
    static double sim(Vantor::Clustions c, const double* first, const double* second, int n) {
        return c.evalSimil(const_cast<double*>(first), const_cast<double*>(second), n);
    }
    static bool clu(Vantor::Clustions c, bool twoSided, double* prototypes, const double* items, int* dims,
                    int* assignments, int* posAssignments, double* similarities, double* posSimilarities,
                    int* passInfo) {
        double* x = const_cast<double*>(items);
        if (twoSided)
            return c.cluster(prototypes, x, dims, assignments, posAssignments, similarities, posSimilarities,
                             passInfo);
        return c.cluster(prototypes, x, dims, assignments, similarities, passInfo);
    }
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s recorded/x87_results.txt\n", argv[0]);
        return 2;
    }
    std::ifstream in(argv[1]);
    if (!in) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 2;
    }
    long calls = 0, outputs = 0, differing = 0;
    std::string line;
    for (long number = 1; std::getline(in, line); ++number) {
        if (line.empty() || line[0] == '#') continue;
        recorded::Reader want(line);
        recorded::Call call;
        if (!call.read(want)) {
            std::fprintf(stderr, "line %ld: malformed call\n", number);
            return 2;
        }
        const std::string text = recorded::outputs<Library>(call);
        recorded::Reader got(text);
        ++calls;
        for (int i = 0; !want.atEnd() || !got.atEnd(); ++i) {
            const double w = want.real(), g = got.real();
            ++outputs;
            if (!want.good() || !got.good()) {
                std::fprintf(stderr, "line %ld: %s gives another number of outputs\n", number, call.kind.c_str());
                return 1;
            }
            if (vt::bits(w) != vt::bits(g)) {
                if (++differing <= 10)
                    std::fprintf(stderr, "line %ld (%s): output %d is %a, recorded %a\n", number,
                                 call.kind.c_str(), i, g, w);
            }
        }
    }
    std::printf("%ld calls, %ld outputs, %ld differ from the x87 recording\n", calls, outputs, differing);
    return calls > 0 && differing == 0 ? 0 : 1;
}
