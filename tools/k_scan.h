// vantor cluster --k-range: the library's scan over k, printed as a table.
#ifndef VANTOR_TOOLS_K_SCAN_H
#define VANTOR_TOOLS_K_SCAN_H

#include <vantor/choosing_k.h>

#include <ostream>
#include <string>

#include "output_table.h"
#include "table_reader.h"

namespace vantor_tool {

struct KRange {
    int first = 0, last = 0;
};

// "2:10" -> {2, 10}. Throws UsageError for anything else, for a first k
// below 2 and for a range that runs backwards.
KRange parseKRange(const std::string& text);

// Clusters the items at every k of the range and prints two blocks separated
// by a blank line: one row per k (k, total_similarity, mean_silhouette,
// silhouettes_undefined, passes, converged, winning_start), then the
// suggested k. False, with nothing printed, when the library refused (fewer
// candidates than the last k, or no memory).
bool printKScan(std::ostream& out, const Vantor::Clustions& clustions,
                const Vantor::KScanOptions& options, const Table& items, KRange range,
                const OutputOptions& output);

}  // namespace vantor_tool

#endif
