#include "summary_reporter.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <ostream>

namespace bench {

namespace {

bool startsWith(const std::string& s, const char* prefix) { return s.rfind(prefix, 0) == 0; }

// "group/case/lib/size" -> "size", or "" without a trailing number.
std::string sizeOf(const std::string& name) {
    const auto slash = name.rfind('/');
    if (slash == std::string::npos) return "";
    const std::string last = name.substr(slash + 1);
    return !last.empty() && std::isdigit(static_cast<unsigned char>(last[0])) ? last : "";
}

std::string format(const char* pattern, double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, pattern, value);
    return buffer;
}

}  // namespace

void SummaryReporter::ReportRuns(const std::vector<Run>& runs) {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
        const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
        const bool single = run.run_type == Run::RT_Iteration && run.repetitions <= 1;
        if (!median && !single) continue;
        if (run.error_occurred) continue;
        const std::string name = run.run_name.str();
        const auto perElement = run.counters.find("per_elem");
        if (perElement == run.counters.end()) continue;
        Figures f;
        f.perElement = perElement->second.value;
        const auto bytes = run.counters.find("bytes_per_call");
        if (bytes != run.counters.end()) f.allocatedBytes = bytes->second.value;
        if (figures_.find(name) == figures_.end()) order_.push_back(name);
        figures_[name] = f;
    }
}

double SummaryReporter::figure(const std::string& name) const {
    const auto it = figures_.find(name);
    return it == figures_.end() ? 0.0 : it->second.perElement;
}

double SummaryReporter::floorOf(const std::string& name) const {
    const std::string size = sizeOf(name);
    // A sequential aggregate waits for each addition of its sum and for its
    // inputs to arrive, whichever is slower; the clustering scan has many
    // independent sums and is bound by two additions per feature.
    if (startsWith(name, "con_aggregate/") || startsWith(name, "evalSimil/"))
        return std::max(figure("floor/add_latency"), figure("floor/stream2/" + size));
    // The extreme-value rule has no sum at all: only reading the vector
    // bounds it.
    if (startsWith(name, "din_aggregate/aggType0/")) return figure("floor/stream1/" + size);
    if (startsWith(name, "din_aggregate/"))
        return std::max(figure("floor/add_latency"), figure("floor/stream1/" + size));
    if (startsWith(name, "clu_")) return 2.0 * figure("floor/add_throughput");
    // Tables: two additions per value, four rows' sums side by side.
    if (startsWith(name, "tables/")) return 2.0 * figure("floor/add_throughput");
    return 0.0;
}

void SummaryReporter::Finalize() {
    ConsoleReporter::Finalize();
    std::ostream& out = GetOutputStream();
    out << "\n| Benchmark | Library ns/elem | Floor ns/elem | Library / floor | Literal ns/elem"
           " | Speed-up | Bytes allocated per call |\n"
        << "|---|---:|---:|---:|---:|---:|---:|\n";
    for (const std::string& name : order_) {
        const auto lib = name.find("/lib");
        if (lib == std::string::npos) continue;
        const Figures& f = figures_.at(name);
        std::string literalName = name;
        literalName.replace(lib, 4, "/literal");
        const double floor = floorOf(name);
        const double literal = figure(literalName);
        std::string label = name;
        label.erase(lib, 4);
        out << "| " << label << " | " << format("%.3f", f.perElement * 1e9) << " | "
            << (floor > 0 ? format("%.3f", floor * 1e9) : "-") << " | "
            << (floor > 0 ? format("%.2f", f.perElement / floor) : "-") << " | "
            << (literal > 0 ? format("%.3f", literal * 1e9) : "-") << " | "
            << (literal > 0 ? format("%.1fx", literal / f.perElement) : "-") << " | "
            << (f.allocatedBytes >= 0 ? format("%.0f", f.allocatedBytes) : "-") << " |\n";
    }
    out << "\nFloors: add latency " << format("%.3f", figure("floor/add_latency") * 1e9)
        << " ns, add throughput " << format("%.3f", figure("floor/add_throughput") * 1e9)
        << " ns per addition; streaming one vector "
        << format("%.3f", figure("floor/stream1/1000000") * 1e9) << " ns, two vectors "
        << format("%.3f", figure("floor/stream2/1000000") * 1e9)
        << " ns per element at n = 10^6.\n";
    // Seeding is judged against one clustering pass on the same data: both
    // count the same elements, so the ratio of the figures is that of the times.
    for (const std::string& name : order_) {
        if (!startsWith(name, "seeding/") || name.find("/one_pass") != std::string::npos) continue;
        const double pass = figure(name.substr(0, name.rfind('/')) + "/one_pass");
        if (pass > 0) {
            out << "Seeding " << name.substr(8) << " / one clustering pass: "
                << format("%.2f", figures_.at(name).perElement / pass) << "\n";
        }
    }
    out.flush();
}

}  // namespace bench
