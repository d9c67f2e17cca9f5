// Fuzz target for the tables: contify or dinorm over a table laid out in
// memory one of five ways (rows, padded rows, one row for all, by column,
// every other value), on one to three threads. Each row must give the bits
// of the literal reference, a refusal must name the reference's first
// refused row and leave the outputs alone, and no element outside the
// table's own extent may be read (the buffers end exactly there).
#include <cstring>
#include <vector>

#include "exact_buffer.h"
#include "harness.h"
#include "literal_contifiers.h"
#include "literal_dinorms.h"
#include "vantor/tables.h"

namespace {

bool sameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// A decoded table: its memory, its view and its logical rows.
struct Laid {
    fz::ExactBuffer<double> memory;
    Vantor::tables::Table table{};
    std::vector<double> rows;  // n x m, row-major, as the reference reads them
};

Laid lay(fz::Carver& in, std::int64_t n, int m, fz::Range range) {
    Laid t;
    std::int64_t rs = m, cs = 1;
    switch (in.byte() % 5) {
        case 0: break;
        case 1: rs = m + 1 + in.byte() % 3; break;
        case 2: rs = 0; break;
        case 3: rs = 1, cs = n; break;
        default: rs = 2 * m, cs = 2; break;
    }
    const std::int64_t extent = (n - 1) * rs + (m - 1) * cs + 1;
    t.memory = fz::ExactBuffer<double>(static_cast<std::size_t>(extent));
    for (std::int64_t i = 0; i < extent; ++i) t.memory[i] = in.value(range);
    t.table = Vantor::tables::Table{t.memory.data(), rs, cs};
    for (std::int64_t r = 0; r < n; ++r)
        for (int c = 0; c < m; ++c) t.rows.push_back(t.memory[r * rs + c * cs]);
    return t;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fz::Carver in(data, size);
    const bool contify = in.chance(2);
    const std::int64_t n = 1 + in.byte() % 24;
    const int m = 1 + in.byte() % 70;
    const int threads = 1 + in.byte() % 3;
    const bool refuseNaN = in.chance(2), partialOutputs = in.chance(3);
    Vantor::Contifiers con;
    Vantor::Dinorms din;
    // Any field values, as a host writing the fields may set them.
    con.threshold = din.threshold = in.chance(6) ? in.value(fz::kSigned) : in.value(fz::kUnit);
    din.neutralBand = in.value(fz::kUnit);
    con.relationMode = in.intIn(-1, 3);
    con.typeMode = in.intIn(-1, 3);
    din.aggMode = in.intIn(-1, 3);
    din.cmbMode = in.intIn(-1, 4);
    const fz::Range range = contify ? fz::kUnit : fz::kSigned;
    Laid first = lay(in, n, m, range);
    Laid second = contify ? lay(in, n, m, range) : Laid{};

    const int outputs = contify ? 1 : 3;
    fz::ExactBuffer<double> out(static_cast<std::size_t>(outputs * n));
    for (std::size_t i = 0; i < out.size(); ++i) out[i] = 7.0;
    const auto before = out.snapshot();
    vantor_refusal refusal{};
    bool ok = false;
    fz::guarded(
        [&] {
            const Vantor::tables::TableOptions options{threads, refuseNaN, partialOutputs};
            ok = contify ? Vantor::tables::contify(con, first.table, second.table, n, m, out.data(), options,
                                                   &refusal)
                         : Vantor::tables::dinorm(din, first.table, n, m, out.data(), out.data() + n,
                                                  out.data() + 2 * n, options, &refusal);
        },
        "a table call threw");

    for (std::int64_t r = 0; r < n; ++r) {
        double expected[3];
        const bool rowOk = contify ? literal::conAggregate(con, m, &first.rows[r * m], &second.rows[r * m], expected)
                                   : literal::dinAggregate(din, m, &first.rows[r * m], expected);
        // Asked to, the table also refuses a row holding a NaN.
        bool hasNaN = false;
        for (int c = 0; refuseNaN && c < m; ++c) {
            const double x = first.rows[r * m + c];
            const double y = contify ? second.rows[r * m + c] : 0.0;
            hasNaN = hasNaN || x != x || y != y;
        }
        if (!rowOk || hasNaN) {
            fz::require(!ok, "a table accepted a row the reference refuses");
            fz::require(refusal.row == r, "the refusal names another row than the first refused");
            fz::require(partialOutputs || out.unchangedSince(before), "a refused table wrote to its outputs");
            return 0;
        }
        // A refusal is judged at the reference's first refused row, which
        // may come after rows that pass.
        if (!ok) continue;
        for (int k = 0; k < outputs; ++k)
            fz::require(sameBits(out[k * n + r], expected[k]), "a table row differs from the reference");
    }
    fz::require(ok, "a table refused what the reference accepts row by row");
    fz::require(refusal.reason == VANTOR_REFUSAL_NONE, "a successful table reports a refusal");
    return 0;
}
