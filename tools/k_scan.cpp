#include "k_scan.h"

#include <cstdint>
#include <vector>

#include "input_error.h"

namespace vantor_tool {

namespace {

// A whole number of at most nine digits, so that it fits an int.
bool parseCount(const std::string& text, int& value) {
    if (text.empty() || text.size() > 9) return false;
    value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    return true;
}

}  // namespace

KRange parseKRange(const std::string& text) {
    const std::size_t colon = text.find(':');
    KRange range;
    if (colon == std::string::npos || !parseCount(text.substr(0, colon), range.first) ||
        !parseCount(text.substr(colon + 1), range.last)) {
        throw UsageError("--k-range must be two whole numbers FIRST:LAST, such as 2:10; got '" +
                         text + "'");
    }
    if (range.first < 2) {
        throw UsageError("--k-range starts at 2 at the least (a silhouette needs a second "
                         "prototype); got '" + text + "'");
    }
    if (range.last < range.first) {
        throw UsageError("--k-range is empty: " + std::to_string(range.last) + " is below " +
                         std::to_string(range.first));
    }
    return range;
}

bool printKScan(std::ostream& out, const Vantor::Clustions& clustions,
                const Vantor::KScanOptions& options, const Table& items, KRange range,
                const OutputOptions& output) {
    const int count = range.last - range.first + 1;
    std::vector<Vantor::KScanRow> rows(static_cast<std::size_t>(count));
    int suggested = 0;
    if (!Vantor::scanK(clustions, options, items.values.data(),
                       static_cast<std::int64_t>(items.rows()), static_cast<int>(items.width),
                       range.first, range.last, rows.data(), nullptr, &suggested)) {
        return false;
    }

    TextTable table{{"k", "total_similarity", "mean_silhouette", "silhouettes_undefined",
                     "passes", "converged", "winning_start"},
                    {}};
    for (const Vantor::KScanRow& row : rows) {
        table.rows.push_back({std::to_string(row.k), formatResult(row.totalSimilarity, output),
                              formatResult(row.silhouette.mean, output),
                              std::to_string(row.silhouette.undefined),
                              std::to_string(row.passes), row.converged ? "yes" : "no",
                              std::to_string(row.winningStart)});
    }
    writeTable(out, table, output);
    out << '\n';
    writeTable(out,
               TextTable{{"suggested_k", "rule"},
                         {{suggested > 0 ? std::to_string(suggested) : "none",
                           "largest mean silhouette; the smaller k on ties"}}},
               output);
    return true;
}

}  // namespace vantor_tool
