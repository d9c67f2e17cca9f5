// Console output as usual, followed by a Markdown table that sets every
// library figure against its floor and against the literal reference from
// the same run. Uses the medians when the run has repetitions.
#ifndef VANTOR_BENCH_SUMMARY_REPORTER_H
#define VANTOR_BENCH_SUMMARY_REPORTER_H

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

namespace bench {

class SummaryReporter : public benchmark::ConsoleReporter {
public:
    explicit SummaryReporter(OutputOptions options) : ConsoleReporter(options) {}
    void ReportRuns(const std::vector<Run>& runs) override;
    void Finalize() override;

private:
    struct Figures {
        double perElement = 0.0;  // seconds
        double allocatedBytes = -1.0;
    };
    // The floor, in seconds per element, that bounds the named benchmark.
    double floorOf(const std::string& name) const;
    double figure(const std::string& name) const;

    std::map<std::string, Figures> figures_;
    std::vector<std::string> order_;
};

}  // namespace bench

#endif
