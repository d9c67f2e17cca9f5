// contify and dinorm over tables (vantor/tables.h): arguments, the choice of
// kernel, the split over threads and the refusal report. The kernels, and
// why they take four rows at a time, are in table_rows.h.
//
// A refusal writes nothing to the caller's outputs, yet the first refused
// row may come last. So results go to a scratch array first and are copied
// out once every row has passed; should the scratch not be available, a
// first pass checks every row without storing and a second stores. A
// caller that discards the outputs on a refusal says so (partialOutputs),
// and its results are written in place.
#include "vantor/tables.h"

#include <atomic>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <new>

#include "nan_rows.h"
#include "table_rows.h"
#include "work_split.h"

namespace Vantor {
namespace tables {

namespace {

using rows::View;

void report(vantor_refusal* refusal, int reason, std::int64_t row, std::int64_t column, double value) {
    if (refusal == nullptr) return;
    refusal->reason = reason;
    refusal->row = row;
    refusal->column = column;
    refusal->value = value;
}

bool refuse(vantor_refusal* refusal, int reason) {
    report(refusal, reason, -1, -1, 0.0);
    return false;
}

View viewOf(const Table& t) { return View{t.data, t.rowStride, t.columnStride}; }

// Scratch for `count` doubles, or null when it cannot be had.
std::unique_ptr<double[]> scratch(std::int64_t count) {
    constexpr std::int64_t kMost = std::numeric_limits<std::int64_t>::max() / 8 / 4;
    if (count > kMost) return nullptr;
    return std::unique_ptr<double[]>(new (std::nothrow) double[static_cast<std::size_t>(count)]);
}

// Runs `rowsFrom(begin, end, outputOffset)` over [0, n) on `threads` threads
// and returns the first row any range refused (n if none): each range stops
// at its own first, and the smallest of those is the table's first.
template <class RowsFrom>
std::int64_t firstRefusedRow(int threads, std::int64_t n, const RowsFrom& rowsFrom) {
    std::atomic<std::int64_t> first{n};
    work::splitWork(work::resolveThreads(threads), n,
                    [&](int, std::int64_t begin, std::int64_t end) {
                        const std::int64_t refused = rowsFrom(begin, end);
                        if (refused >= end) return;
                        std::int64_t seen = first.load();
                        while (refused < seen && !first.compare_exchange_weak(seen, refused)) {
                        }
                    });
    return first.load();
}

// Rows in a block of the NaN search, whole groups of rows. Rows along
// memory go a group at a time: the search brings the group's lines in and
// the kernel reads them at once, so the memory stream never waits for a
// long search. A matrix stored by column is searched column by column over
// about 256 KiB, which also brings the block in a few long streams where
// the kernel would read m short ones.
std::int64_t blockRows(const View& t, int m) {
    if (t.columnStride == 1) return rows::kGroup;
    constexpr std::int64_t kValues = 32768;
    const std::int64_t rowsPerBlock = kValues / (m > 0 ? m : 1) / rows::kGroup * rows::kGroup;
    return rowsPerBlock > rows::kGroup ? rowsPerBlock : rows::kGroup;
}

// rowsFrom(b, e) over [begin, end) a block at a time, each block of t
// first searched for a NaN (for the dinorm kernels that do not look for NaN
// themselves): the first row that holds a NaN or that rowsFrom refuses, or
// end. rowsFrom runs only on rows before the NaN.
template <class RowsFrom>
std::int64_t refusingNaN(const View& t, std::int64_t begin, std::int64_t end, int m,
                         const RowsFrom& rowsFrom) {
    const std::int64_t block = blockRows(t, m);
    for (std::int64_t b = begin; b < end; b += block) {
        const std::int64_t e = end - b < block ? end : b + block;
        const std::int64_t nan = rows::firstNaNRow(t, b, e, m);
        const std::int64_t refused = b < nan ? rowsFrom(b, nan) : nan;
        if (refused < e) return refused;
    }
    return end;
}

// The smaller of two positions, -1 standing for none.
int firstOf(int p, int q) { return p < 0 ? q : q < 0 ? p : (p < q ? p : q); }

template <class Rule, bool kNaN>
std::int64_t contifyKernel(const View& a, const View& b, std::int64_t begin, std::int64_t end, int m,
                           double threshold, double* degrees) {
    return rows::contifyRows<Rule, kNaN>(a, b, begin, end, m, threshold, degrees, lanes::kWide);
}

using ContifyKernel = std::int64_t (*)(const View&, const View&, std::int64_t, std::int64_t, int,
                                       double, double*);

template <class Rule>
ContifyKernel contifyKernelOf(bool refuseNaN) {
    return refuseNaN ? contifyKernel<Rule, true> : contifyKernel<Rule, false>;
}

// The kernel, and the order of the tables, exactly as Contifiers::aggregate
// chooses them from the two modes. With refuseNaN the kernel's own range
// check takes NaN too: the values are in registers already, where a search
// of its own would read the tables from memory once more.
ContifyKernel contifyKernelFor(const Contifiers& config, bool refuseNaN, bool* exchanged) {
    *exchanged = false;
    if (config.relationMode == 0) {
        switch (config.typeMode) {
            case 2: return contifyKernelOf<gated::MutType2>(refuseNaN);
            case 1: return contifyKernelOf<gated::MutType1>(refuseNaN);
            default: return contifyKernelOf<gated::MutType0>(refuseNaN);
        }
    }
    *exchanged = config.relationMode != 1;
    switch (config.typeMode) {
        case 2: return contifyKernelOf<gated::DirType2>(refuseNaN);
        case 1: return contifyKernelOf<gated::DirType1>(refuseNaN);
        default: return contifyKernelOf<gated::DirType0>(refuseNaN);
    }
}

using DinormKernel = std::int64_t (*)(const View&, std::int64_t, std::int64_t, int, double, double*,
                                      double*);

// The kernel for the configuration and layout. Under a threshold in [0, 1]
// a row's extremes are its range, which the range kernels find with NaN on
// the way: along rows in memory, or four rows at a time down the columns of
// a matrix stored by column. Any other threshold (a host may write the
// field) or layout takes the classifying kernel, and NaN is looked for
// block by block before it. *checksNaN says when the kernel refuses NaN
// itself.
DinormKernel dinormKernelFor(const Dinorms& config, const View& values, bool refuseNaN, bool* checksNaN) {
    *checksNaN = false;
    switch (config.aggMode) {
        case 2: return rows::dinormRows<rows::BoundedSum>;
        case 1: return rows::dinormRows<rows::ProbabilisticSum>;
        default:
            if (config.threshold >= 0.0 && config.threshold <= 1.0) {
                if (values.columnStride == 1) {
                    *checksNaN = refuseNaN;
                    return refuseNaN ? rows::extremesAlongRows<true> : rows::extremesAlongRows<false>;
                }
                if (values.rowStride == 1) {
                    *checksNaN = refuseNaN;
                    return refuseNaN ? rows::extremesOfColumns<true> : rows::extremesOfColumns<false>;
                }
            }
            return rows::extremesAcrossRows;
    }
}

// The combination rule Dinorms::aggregate runs on result[0], result[1].
bool combine(Dinorms& rules, double* result) {
    switch (rules.cmbMode) {
        case 3: return rules.cmbType3(result);
        case 2: return rules.cmbType2(result);
        case 1: return rules.cmbType1(result);
        default: return rules.cmbType0(result);
    }
}

}  // namespace

bool contify(const Contifiers& config, Table first, Table second, std::int64_t n, int m,
             double* degrees, const TableOptions& options, vantor_refusal* refusal) {
    if (n < 0 || m < 0) return refuse(refusal, VANTOR_REFUSAL_SIZE);
    if (n > 0 && (degrees == nullptr || (m > 0 && (first.data == nullptr || second.data == nullptr))))
        return refuse(refusal, VANTOR_REFUSAL_ARGUMENT);
    report(refusal, VANTOR_REFUSAL_NONE, -1, -1, 0.0);
    if (n == 0) return true;
    if (m == 0) {
        // No position passes: every degree is that of an empty vector.
        for (std::int64_t r = 0; r < n; ++r) degrees[r] = 0.0;
        return true;
    }
    bool exchanged = false;
    const ContifyKernel kernel = contifyKernelFor(config, options.refuseNaN, &exchanged);
    const View a = viewOf(exchanged ? second : first), b = viewOf(exchanged ? first : second);
    const double threshold = config.threshold;
    const bool refuseNaN = options.refuseNaN;
    // A caller that lets a refusal leave results behind gets them written in
    // place: no scratch to fault in, no copy.
    const std::unique_ptr<double[]> results = options.partialOutputs ? nullptr : scratch(n);
    double* store = options.partialOutputs ? degrees : results.get();
    const std::int64_t refused = firstRefusedRow(options.threads, n, [&](std::int64_t begin, std::int64_t end) {
        return kernel(a, b, begin, end, m, threshold, store == nullptr ? nullptr : store + begin);
    });
    if (refused < n) {
        const View caller = viewOf(first), other = viewOf(second);
        int c = rows::outsidePosition(caller, other, refused, m);
        if (refuseNaN) {
            c = firstOf(c, firstOf(rows::nanPosition(caller, refused, m), rows::nanPosition(other, refused, m)));
        }
        const double x = caller.at(refused, c), y = other.at(refused, c);
        const bool refusesX = (refuseNaN && std::isnan(x)) || x < 0.0 || x > 1.0;
        const double value = refusesX ? x : y;
        report(refusal, std::isnan(value) ? VANTOR_REFUSAL_NAN : VANTOR_REFUSAL_OUT_OF_RANGE, refused, c, value);
        return false;
    }
    if (store == degrees) {
        // written in place
    } else if (store != nullptr) {
        std::memcpy(degrees, store, sizeof(double) * static_cast<std::size_t>(n));
    } else {
        firstRefusedRow(options.threads, n, [&](std::int64_t begin, std::int64_t end) {
            return kernel(a, b, begin, end, m, threshold, degrees + begin);
        });
    }
    return true;
}

bool contify(const Contifiers& config, Table first, Table second, std::int64_t n, int m,
             double* degrees, int threads, vantor_refusal* refusal) {
    return contify(config, first, second, n, m, degrees, TableOptions{threads, false}, refusal);
}

bool dinorm(const Dinorms& config, Table values, std::int64_t n, int m, double* negative,
            double* positive, double* combined, const TableOptions& options, vantor_refusal* refusal) {
    if (n < 0 || m < 0) return refuse(refusal, VANTOR_REFUSAL_SIZE);
    if (n > 0 && (negative == nullptr || positive == nullptr || combined == nullptr ||
                  (m > 0 && values.data == nullptr)))
        return refuse(refusal, VANTOR_REFUSAL_ARGUMENT);
    report(refusal, VANTOR_REFUSAL_NONE, -1, -1, 0.0);
    if (n == 0) return true;
    const View t = viewOf(values);
    const double threshold = config.threshold;
    bool kernelChecksNaN = false;
    const DinormKernel kernel = dinormKernelFor(config, t, options.refuseNaN, &kernelChecksNaN);
    // Aggregates of a part's rows, then its combined values: the rule of
    // every row, in the caller's configuration.
    const auto runRows = [&](std::int64_t begin, std::int64_t end, double* neg, double* pos,
                             double* comb) -> std::int64_t {
        if (m > 0) {
            const std::int64_t refused = kernel(t, begin, end, m, threshold, neg, pos);
            if (refused < end || neg == nullptr) return refused;
        } else if (neg != nullptr) {
            for (std::int64_t r = begin; r < end; ++r) neg[r - begin] = pos[r - begin] = 0.0;
        }
        if (comb == nullptr) return end;
        if (config.cmbMode == 0) {
            for (std::int64_t r = begin; r < end; ++r)
                comb[r - begin] = rows::dominantSide(config.neutralBand, neg[r - begin], pos[r - begin]);
            return end;
        }
        Dinorms rules = config;
        for (std::int64_t r = begin; r < end; ++r) {
            double result[3] = {neg[r - begin], pos[r - begin], 0.0};
            combine(rules, result);  // the kernel has checked what the rule checks
            comb[r - begin] = result[2];
        }
        return end;
    };
    const std::unique_ptr<double[]> results = options.partialOutputs ? nullptr : scratch(3 * n);
    double* store = results.get();
    const bool inPlace = options.partialOutputs;
    const bool refuseNaN = options.refuseNaN;
    const std::int64_t refused = firstRefusedRow(options.threads, n, [&](std::int64_t begin, std::int64_t end) {
        const auto rowsFrom = [&](std::int64_t from, std::int64_t to) {
            if (inPlace) return runRows(from, to, negative + from, positive + from, combined + from);
            if (store == nullptr) return runRows(from, to, nullptr, nullptr, nullptr);
            return runRows(from, to, store + from, store + n + from, store + 2 * n + from);
        };
        return refuseNaN && !kernelChecksNaN ? refusingNaN(t, begin, end, m, rowsFrom) : rowsFrom(begin, end);
    });
    if (refused < n) {
        // A value outside [-1, 1], or else (a negative threshold written into
        // the field) aggregates that no combination rule takes.
        int c = rows::refusedPosition(t, refused, m, threshold);
        if (refuseNaN) c = firstOf(c, rows::nanPosition(t, refused, m));
        const double value = c >= 0 ? t.at(refused, c) : 0.0;
        report(refusal, std::isnan(value) ? VANTOR_REFUSAL_NAN : VANTOR_REFUSAL_OUT_OF_RANGE, refused, c, value);
        return false;
    }
    if (inPlace) {
        // written in place
    } else if (store != nullptr) {
        const std::size_t bytes = sizeof(double) * static_cast<std::size_t>(n);
        std::memcpy(negative, store, bytes);
        std::memcpy(positive, store + n, bytes);
        std::memcpy(combined, store + 2 * n, bytes);
    } else {
        firstRefusedRow(options.threads, n, [&](std::int64_t begin, std::int64_t end) {
            return runRows(begin, end, negative + begin, positive + begin, combined + begin);
        });
    }
    return true;
}

bool dinorm(const Dinorms& config, Table values, std::int64_t n, int m, double* negative,
            double* positive, double* combined, int threads, vantor_refusal* refusal) {
    return dinorm(config, values, n, m, negative, positive, combined, TableOptions{threads, false}, refusal);
}

}  // namespace tables
}  // namespace Vantor
