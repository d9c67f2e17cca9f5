// The C++ side of the Python benchmark's cluster comparison: the same call
// on the same data (read from the files the benchmark wrote), timed the
// same way, compiled with the same flags as the extension.
// Usage: cluster_timer ITEMS SEEDS k n m max_passes repeats
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "vantor/clustions.h"

namespace {

std::vector<double> readDoubles(const char* path, std::size_t count) {
    std::vector<double> values(count);
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr || std::fread(values.data(), sizeof(double), count, file) != count) {
        std::fprintf(stderr, "cannot read %zu doubles from %s\n", count, path);
        std::exit(2);
    }
    std::fclose(file);
    return values;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 8) {
        std::fprintf(stderr, "usage: %s ITEMS SEEDS k n m max_passes repeats\n", argv[0]);
        return 2;
    }
    int dims[3] = {std::atoi(argv[3]), std::atoi(argv[4]), std::atoi(argv[5])};
    const int passes = std::atoi(argv[6]), repeats = std::atoi(argv[7]);
    const std::size_t n = std::size_t(dims[1]), k = std::size_t(dims[0]), m = std::size_t(dims[2]);
    const std::vector<double> items = readDoubles(argv[1], n * m);
    const std::vector<double> seeds = readDoubles(argv[2], k * m);
    std::vector<double> times;
    for (int r = 0; r < repeats; ++r) {
        // As the binding does: a fresh instance and fresh outputs per call.
        const auto start = std::chrono::steady_clock::now();
        Vantor::Clustions clustions;
        clustions.setLimits(passes);
        std::vector<double> prototypes(seeds);
        std::vector<int> assignments(n);
        std::vector<double> similarities(n);
        int passInfo[2];
        clustions.cluster(prototypes.data(), const_cast<double*>(items.data()), dims,
                          assignments.data(), similarities.data(), passInfo);
        times.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start)
                            .count());
    }
    std::sort(times.begin(), times.end());
    std::printf("%.9f\n", times[times.size() / 2]);
    return 0;
}
