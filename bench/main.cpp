// Runs the benchmarks selected on the command line and ends with the summary
// table (library against floor and against the literal reference).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include "summary_reporter.h"

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    // Colours only on a terminal, so that a saved run reads cleanly.
    bench::SummaryReporter reporter(isatty(STDOUT_FILENO) ? benchmark::ConsoleReporter::OO_ColorTabular
                                                          : benchmark::ConsoleReporter::OO_Tabular);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
