// choose_k and the silhouettes: the library's scan over k and its per-item
// silhouettes, so Python shows the figures every other host shows.
#include "bindings.h"

#include <vector>

#include "tables.h"
#include "vantor/choosing_k.h"
#include "vantor/input_policy.h"
#include "vantor/run_facts.h"

namespace vantor_python {

namespace {

// Items as every clustering path takes them: the library's policy for
// clustering data (NaN unless allowed, and infinities, refused).
Table itemsOf(const InArray& items, bool allowNaN) {
    const Table table = tableOf(items, "X");
    if (table.vector) throw py::value_error("X must be two-dimensional");
    refuseTable(table, VANTOR_USE_CLUSTERING, "X", allowNaN);
    return table;
}

}  // namespace

py::dict scanK(const InArray& items, int kFirst, int kLast, int rule, int restarts,
               std::uint64_t randomSeed, double threshold, int maxPasses, bool twoSided,
               int threads, bool allowNaN) {
    const Table table = itemsOf(items, allowNaN);
    const Vantor::Clustions clustions = clustionsOf(threshold, maxPasses);
    Vantor::KScanOptions options;
    options.rule = rule;
    options.restarts = restarts;
    options.randomSeed = randomSeed;
    options.twoSided = twoSided;
    options.threads = threads;
    const int count = kLast >= kFirst ? kLast - kFirst + 1 : 0;
    std::vector<Vantor::KScanRow> rows(static_cast<std::size_t>(count > 0 ? count : 1));
    py::array_t<double> clusterMeans(
        count > 0 ? Vantor::kScanClusterOffset(kFirst, std::int64_t{kLast} + 1) : 0);
    double* means = clusterMeans.mutable_data();
    int suggested = 0;
    bool ok;
    {
        py::gil_scoped_release unlocked;
        ok = Vantor::scanK(clustions, options, table.data, table.rows, int(table.m), kFirst,
                           kLast, rows.data(), means, &suggested);
    }
    if (!ok) {
        // The Python layer explains the refusal with the library's count.
        py::dict refused;
        refused["candidates"] =
            Vantor::countCandidates(twoSided, table.data, table.rows, int(table.m));
        return refused;
    }

    py::array_t<int> k(count), passes(count), start(count);
    py::array_t<double> total(count), mean(count);
    py::array_t<std::int64_t> counted(count), undefined(count), evaluations(count);
    py::array_t<bool> converged(count);
    for (int r = 0; r < count; ++r) {
        const Vantor::KScanRow& row = rows[static_cast<std::size_t>(r)];
        k.mutable_at(r) = row.k;
        total.mutable_at(r) = row.totalSimilarity;
        mean.mutable_at(r) = row.silhouette.mean;
        counted.mutable_at(r) = row.silhouette.counted;
        undefined.mutable_at(r) = row.silhouette.undefined;
        passes.mutable_at(r) = row.passes;
        converged.mutable_at(r) = row.converged;
        start.mutable_at(r) = row.winningStart;
        evaluations.mutable_at(r) = row.evaluations;
    }
    py::dict out;
    out["k"] = k;
    out["total_similarity"] = total;
    out["mean_silhouette"] = mean;
    out["silhouettes_counted"] = counted;
    out["silhouettes_undefined"] = undefined;
    out["passes"] = passes;
    out["converged"] = converged;
    out["winning_start"] = start;
    out["evaluations"] = evaluations;
    out["cluster_silhouettes"] = clusterMeans;
    out["suggested_k"] = suggested;
    return out;
}

int suggestK(const py::array_t<int, py::array::c_style | py::array::forcecast>& k,
             const py::array_t<double, py::array::c_style | py::array::forcecast>& means) {
    if (k.size() != means.size()) throw py::value_error("one mean per k is needed");
    std::vector<Vantor::KScanRow> rows(static_cast<std::size_t>(k.size()));
    for (std::size_t r = 0; r < rows.size(); ++r) {
        rows[r].k = k.at(static_cast<py::ssize_t>(r));
        rows[r].silhouette.mean = means.at(static_cast<py::ssize_t>(r));
    }
    return Vantor::suggestK(rows.data(), static_cast<int>(rows.size()));
}

py::object silhouettes(const InArray& items, const InArray& prototypes,
                       const py::array_t<int, py::array::c_style>& labels, double threshold,
                       bool twoSided, int threads, bool allowNaN) {
    const Table table = itemsOf(items, allowNaN);
    const Table centers = tableOf(prototypes, "prototypes");
    refuseTable(centers, VANTOR_USE_CLUSTERING, "prototypes", allowNaN);
    const std::int64_t n = table.rows, sides = twoSided ? 2 : 1;
    if (centers.vector || centers.m != table.m) {
        throw py::value_error("prototypes must hold rows as wide as X");
    }
    if (labels.ndim() != 2 || labels.shape(0) != sides || labels.shape(1) != n) {
        throw py::value_error("one label per row (two-sided: per part) of X is needed");
    }
    const Vantor::Clustions clustions = clustionsOf(threshold, 1);
    py::array_t<double> values({sides, n});
    py::array_t<double> clusterMeans(centers.rows);
    double* out = values.mutable_data();
    double* means = clusterMeans.mutable_data();
    const int* assigned = labels.data();
    Vantor::SilhouetteSummary summary;
    bool ok;
    {
        py::gil_scoped_release unlocked;
        ok = Vantor::silhouettes(clustions, table.data, n, int(table.m), twoSided, centers.data,
                                 int(centers.rows), assigned, twoSided ? assigned + n : nullptr,
                                 out, twoSided ? out + n : nullptr, means, &summary, threads);
    }
    if (!ok) return py::none();  // the Python layer explains the refusal
    return py::make_tuple(values, clusterMeans, summary.mean, summary.counted, summary.undefined);
}

}  // namespace vantor_python
