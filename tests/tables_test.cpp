// Tables against the literal reference row by row: every degree and
// aggregate to the bit, the first refused row and position, and nothing
// written on a refusal, for every layout a host hands over. Built twice, on
// the lanes the processor allows and on the baseline copy.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "bits.h"
#include "literal_contifiers.h"
#include "literal_dinorms.h"
#include "random_values.h"
#include "vantor/tables.h"

using Vantor::tables::Table;
using vt::bits;

namespace {

// Where value (r, c) of an n x m table goes; the gaps between hold 5.0,
// which both classes refuse, so a read of the wrong element shows.
struct Layout {
    const char* name;
    std::int64_t (*rowStride)(std::int64_t n, int m);
    std::int64_t (*columnStride)(std::int64_t n, int m);
    bool oneRow;  // one vector stands for every row
};

const Layout kLayouts[] = {
    {"row-major", [](std::int64_t, int m) -> std::int64_t { return m; },
     [](std::int64_t, int) -> std::int64_t { return 1; }, false},
    {"padded rows", [](std::int64_t, int m) -> std::int64_t { return m + 3; },
     [](std::int64_t, int) -> std::int64_t { return 1; }, false},
    {"column-major", [](std::int64_t, int) -> std::int64_t { return 1; },
     [](std::int64_t n, int) -> std::int64_t { return n; }, false},
    {"every second value", [](std::int64_t, int m) -> std::int64_t { return 2 * m; },
     [](std::int64_t, int) -> std::int64_t { return 2; }, false},
    {"one row for all", [](std::int64_t, int) -> std::int64_t { return 0; },
     [](std::int64_t, int) -> std::int64_t { return 1; }, true},
    {"one spaced row for all", [](std::int64_t, int) -> std::int64_t { return 0; },
     [](std::int64_t, int) -> std::int64_t { return 3; }, true},
};

// A logical table (row-major, n x m) laid out in memory as `layout` says.
struct Placed {
    std::vector<double> memory;
    Table table;
    Placed(const std::vector<double>& logical, std::int64_t n, int m, const Layout& layout) {
        const std::int64_t rs = layout.rowStride(n, m), cs = layout.columnStride(n, m);
        const std::int64_t rows = layout.oneRow ? 1 : n;
        memory.assign(static_cast<std::size_t>((rows - 1) * rs + (m - 1) * cs + 1 + 4), 5.0);
        for (std::int64_t r = 0; r < rows; ++r)
            for (int c = 0; c < m; ++c) memory[r * rs + c * cs] = logical[r * m + c];
        table = Table{memory.data(), rs, cs};
    }
};

// n x m values from `draw`; a one-row layout repeats row 0.
std::vector<double> logicalTable(std::int64_t n, int m, bool oneRow, const std::function<double()>& draw) {
    std::vector<double> v(static_cast<std::size_t>(n * m));
    for (std::int64_t i = 0; i < n * m; ++i) v[i] = oneRow && i >= m ? v[i % m] : draw();
    return v;
}

struct Expected {
    std::int64_t refusedRow = -1;
    std::vector<double> results;  // per row, three for dinorm
};

Expected contifyByRows(const Vantor::Contifiers& config, const std::vector<double>& x,
                       const std::vector<double>& y, std::int64_t n, int m) {
    Expected e;
    for (std::int64_t r = 0; r < n; ++r) {
        double degree = vt::kUntouched;
        if (!literal::conAggregate(config, m, &x[r * m], &y[r * m], &degree)) {
            e.refusedRow = r;
            return e;
        }
        e.results.push_back(degree);
    }
    return e;
}

Expected dinormByRows(const Vantor::Dinorms& config, const std::vector<double>& v, std::int64_t n, int m) {
    Expected e;
    for (std::int64_t r = 0; r < n; ++r) {
        double three[3];
        if (!literal::dinAggregate(config, m, &v[r * m], three)) {
            e.refusedRow = r;
            return e;
        }
        e.results.insert(e.results.end(), three, three + 3);
    }
    return e;
}

// Runs contify and checks it against the rows, to the bit, on 1, 2, 3 and 8 threads.
void checkContify(const Vantor::Contifiers& config, const std::vector<double>& x, const Layout& lx,
                  const std::vector<double>& y, const Layout& ly, std::int64_t n, int m) {
    const Expected e = contifyByRows(config, x, y, n, m);
    const Placed px(x, n, m, lx), py(y, n, m, ly);
    for (int threads : {1, 2, 3, 8}) {
        SCOPED_TRACE(testing::Message() << lx.name << " / " << ly.name << ", n " << n << ", m " << m
                                        << ", threads " << threads);
        std::vector<double> degrees(n, vt::kUntouched);
        vantor_refusal refusal;
        // Eight threads write in place, and may leave results on a refusal.
        const bool partial = threads == 8;
        const bool ok = Vantor::tables::contify(config, px.table, py.table, n, m, degrees.data(),
                                                Vantor::tables::TableOptions{threads, false, partial}, &refusal);
        ASSERT_EQ(ok, e.refusedRow < 0);
        if (!ok) {
            EXPECT_EQ(refusal.reason, VANTOR_REFUSAL_OUT_OF_RANGE);
            EXPECT_EQ(refusal.row, e.refusedRow);
            for (double d : degrees) ASSERT_TRUE(partial || bits(d) == bits(vt::kUntouched));
            continue;
        }
        EXPECT_EQ(refusal.reason, VANTOR_REFUSAL_NONE);
        for (std::int64_t r = 0; r < n; ++r) ASSERT_EQ(bits(degrees[r]), bits(e.results[r])) << "row " << r;
    }
}

void checkDinorm(const Vantor::Dinorms& config, const std::vector<double>& v, const Layout& layout,
                 std::int64_t n, int m) {
    const Expected e = dinormByRows(config, v, n, m);
    const Placed placed(v, n, m, layout);
    for (int threads : {1, 2, 3, 8}) {
        SCOPED_TRACE(testing::Message() << layout.name << ", n " << n << ", m " << m << ", threads "
                                        << threads << ", modes " << config.aggMode << config.cmbMode);
        std::vector<double> out(3 * n, vt::kUntouched);
        vantor_refusal refusal;
        const bool partial = threads == 8;
        const bool ok = Vantor::tables::dinorm(config, placed.table, n, m, out.data(), out.data() + n,
                                               out.data() + 2 * n,
                                               Vantor::tables::TableOptions{threads, false, partial}, &refusal);
        ASSERT_EQ(ok, e.refusedRow < 0);
        if (!ok) {
            EXPECT_EQ(refusal.row, e.refusedRow);
            for (double d : out) ASSERT_TRUE(partial || bits(d) == bits(vt::kUntouched));
            continue;
        }
        for (std::int64_t r = 0; r < n; ++r)
            for (int k = 0; k < 3; ++k)
                ASSERT_EQ(bits(out[k * n + r]), bits(e.results[3 * r + k])) << "row " << r << ", part " << k;
    }
}

// Row counts around the group of four, lengths around every lane width, the
// span of 16 and the fold span of 32.
const std::int64_t kRows[] = {1, 3, 4, 5, 9, 17};
const int kLengths[] = {1, 2, 3, 4, 5, 7, 8, 15, 16, 17, 20, 31, 32, 33, 65};

TEST(Tables, ContifyGivesTheBitsOfAggregateRowByRow) {
    vt::RandomValues draw(2501);
    for (const Layout& lx : kLayouts) {
        for (const Layout& ly : kLayouts) {
            if (lx.oneRow && ly.oneRow) continue;
            for (std::int64_t n : kRows) {
                for (int m : kLengths) {
                    Vantor::Contifiers config;
                    config.threshold = draw.threshold();
                    config.relationMode = draw.between(0, 2);
                    config.typeMode = draw.between(0, 2);
                    const double t = config.threshold;
                    const auto value = [&] { return draw.value(0.0, 1.0, t, 0.003); };
                    checkContify(config, logicalTable(n, m, lx.oneRow, value), lx,
                                 logicalTable(n, m, ly.oneRow, value), ly, n, m);
                }
            }
        }
    }
}

TEST(Tables, DinormGivesTheBitsOfAggregateRowByRow) {
    vt::RandomValues draw(2502);
    for (const Layout& layout : kLayouts) {
        for (int aggMode = 0; aggMode < 3; ++aggMode) {
            for (std::int64_t n : kRows) {
                for (int m : kLengths) {
                    Vantor::Dinorms config;
                    config.threshold = draw.threshold();
                    // A negative threshold, which only a host writing the
                    // field can set, takes the guarded folds.
                    if (draw.chance(0.1)) config.threshold = draw.uniform(-1.5, -0.01);
                    config.neutralBand = draw.threshold();
                    config.aggMode = aggMode;
                    config.cmbMode = draw.between(0, 3);
                    const double t = config.threshold;
                    checkDinorm(config, logicalTable(n, m, layout.oneRow, [&] { return draw.value(-1.0, 1.0, t, 0.003); }),
                                layout, n, m);
                }
            }
        }
    }
}

// One refused value at every position of a table of nine rows (three
// groups, the last one short), behind an earlier refused row or not: the
// report names exactly that row and position, and the value.
TEST(Tables, RefusalsNameTheFirstRowAndPosition) {
    const std::int64_t n = 9;
    for (const Layout& layout : {kLayouts[0], kLayouts[2], kLayouts[3]}) {
        for (int m : {1, 3, 4, 5, 16, 17, 33}) {
            for (std::int64_t row = 0; row < n; ++row) {
                for (int col = 0; col < m; ++col) {
                    SCOPED_TRACE(testing::Message() << layout.name << ", m " << m << ", at " << row << "," << col);
                    std::vector<double> x(n * m, 0.5), y(n * m, 0.75), v(n * m, -0.5);
                    x[row * m + col] = -0.25;  // refused in the first table
                    y[row * m + col] = 2.0;    // and the second: the first's value is named
                    v[row * m + col] = 1.5;
                    if (row + 1 < n) y[(n - 1) * m] = vt::kInf;  // a later row refused too
                    const Placed px(x, n, m, layout), py(y, n, m, layout), pv(v, n, m, layout);
                    double out[3 * n];
                    vantor_refusal refusal;
                    ASSERT_FALSE(Vantor::tables::contify(Vantor::Contifiers(), px.table, py.table, n, m, out,
                                                         2, &refusal));
                    EXPECT_EQ(refusal.reason, VANTOR_REFUSAL_OUT_OF_RANGE);
                    EXPECT_EQ(refusal.row, row);
                    EXPECT_EQ(refusal.column, col);
                    EXPECT_EQ(bits(refusal.value), bits(-0.25));
                    ASSERT_FALSE(Vantor::tables::dinorm(Vantor::Dinorms(0.25, 0.0), pv.table, n, m, out, out + n,
                                                       out + 2 * n, 1, &refusal));
                    EXPECT_EQ(refusal.row, row);
                    EXPECT_EQ(refusal.column, col);
                    EXPECT_EQ(bits(refusal.value), bits(1.5));
                }
            }
        }
    }
}

// With refuseNaN a NaN is refused in row order beside the values aggregate
// refuses: the first refused row, and in it the first position, whichever
// of the two it is. Tables long enough that the search runs block by block,
// refused values on either side of a block's end.
TEST(Tables, NaNIsRefusedInRowOrderWhenAsked) {
    const double nan = vt::kNaN;
    struct Mark {
        std::int64_t row;
        int col;
        int table;  // 0 first (or dinorm's values), 1 second
        double value;
    };
    const struct {
        const char* name;
        std::vector<Mark> marks;
        int reason;
        std::int64_t row;
        int col;
        int table;
    } cases[] = {
        {"NaN before a refused value in its row", {{700, 2, 1, nan}, {700, 3, 0, 2.0}}, VANTOR_REFUSAL_NAN, 700, 2, 1},
        {"refused value before a NaN in its row", {{700, 1, 1, 2.0}, {700, 2, 0, nan}}, VANTOR_REFUSAL_OUT_OF_RANGE, 700, 1, 1},
        {"both tables at one position: the first's", {{5, 0, 0, nan}, {5, 0, 1, -3.0}}, VANTOR_REFUSAL_NAN, 5, 0, 0},
        {"a refused row before a NaN row", {{409, 2, 0, 7.0}, {410, 0, 0, nan}}, VANTOR_REFUSAL_OUT_OF_RANGE, 409, 2, 0},
        {"a NaN row before a refused row", {{407, 2, 1, nan}, {408, 0, 0, 7.0}}, VANTOR_REFUSAL_NAN, 407, 2, 1},
        {"NaN at the end of a block by column", {{6551, 4, 1, nan}, {6552, 0, 0, 2.0}}, VANTOR_REFUSAL_NAN, 6551, 4, 1},
        {"NaN at the start of a block by column", {{6552, 0, 0, nan}, {6553, 0, 0, 2.0}}, VANTOR_REFUSAL_NAN, 6552, 0, 0},
        {"the last row", {{6999, 4, 1, nan}}, VANTOR_REFUSAL_NAN, 6999, 4, 1},
    };
    const std::int64_t n = 7000;
    const int m = 5;
    for (const Layout& layout : {kLayouts[0], kLayouts[2], kLayouts[3]}) {
        for (const auto& k : cases) {
            std::vector<double> t[2] = {std::vector<double>(n * m, 0.5), std::vector<double>(n * m, 0.25)};
            for (const Mark& mark : k.marks) t[mark.table][mark.row * m + mark.col] = mark.value;
            const Placed first(t[0], n, m, layout), second(t[1], n, m, layout);
            for (int threads : {1, 3}) {
                // In place, the outputs may change; the report may not.
                const bool partial = threads == 3;
                SCOPED_TRACE(testing::Message() << k.name << ", " << layout.name << ", threads " << threads);
                std::vector<double> out(3 * n, vt::kUntouched);
                vantor_refusal refusal;
                const Vantor::tables::TableOptions options{threads, true, partial};
                ASSERT_FALSE(Vantor::tables::contify(Vantor::Contifiers(), first.table, second.table, n, m,
                                                     out.data(), options, &refusal));
                EXPECT_EQ(refusal.reason, k.reason);
                EXPECT_EQ(refusal.row, k.row);
                EXPECT_EQ(refusal.column, k.col);
                EXPECT_EQ(bits(refusal.value), bits(t[k.table][k.row * m + k.col]));
                for (double d : out) ASSERT_TRUE(partial || bits(d) == bits(vt::kUntouched));
                // dinorm on the table holding the reported value alone.
                std::vector<double> v = t[k.table];
                for (const Mark& mark : k.marks) v[mark.row * m + mark.col] = mark.value;
                const Placed marked(v, n, m, layout);
                ASSERT_FALSE(Vantor::tables::dinorm(Vantor::Dinorms(0.1, 0.0), marked.table, n, m, out.data(),
                                                    out.data() + n, out.data() + 2 * n, options, &refusal));
                EXPECT_EQ(refusal.row, k.row);
                EXPECT_EQ(refusal.column, k.col);
                for (double d : out) ASSERT_TRUE(partial || bits(d) == bits(vt::kUntouched));
            }
        }
    }
}

// NaN in a vector standing for every row is refused at row 0; without
// refuseNaN the same tables pass, and asking for the check changes no bit
// of a table without NaN.
TEST(Tables, NaNCheckLeavesOtherCallsAlone) {
    vt::RandomValues draw(2503);
    const std::int64_t n = 1000;
    const int m = 20;
    const auto value = [&] { return draw.uniform(0.0, 1.0); };
    std::vector<double> x = logicalTable(n, m, false, value), y = logicalTable(n, m, true, value);
    const Placed px(x, n, m, kLayouts[0]), py(y, n, m, kLayouts[4]);
    Vantor::Contifiers config;
    config.threshold = 0.3;
    std::vector<double> plain(n), checked(n, vt::kUntouched);
    ASSERT_TRUE(Vantor::tables::contify(config, px.table, py.table, n, m, plain.data()));
    for (bool partial : {false, true}) {
        ASSERT_TRUE(Vantor::tables::contify(config, px.table, py.table, n, m, checked.data(),
                                            Vantor::tables::TableOptions{2, true, partial}));
        for (std::int64_t r = 0; r < n; ++r) ASSERT_EQ(bits(checked[r]), bits(plain[r]));
    }

    y[7] = vt::kNaN;
    const Placed withNaN(y, n, m, kLayouts[4]);
    vantor_refusal refusal;
    EXPECT_TRUE(Vantor::tables::contify(config, px.table, withNaN.table, n, m, plain.data(), 1, &refusal));
    ASSERT_FALSE(Vantor::tables::contify(config, px.table, withNaN.table, n, m, checked.data(),
                                         Vantor::tables::TableOptions{1, true}, &refusal));
    EXPECT_EQ(refusal.reason, VANTOR_REFUSAL_NAN);
    EXPECT_EQ(refusal.row, 0);
    EXPECT_EQ(refusal.column, 7);
}

TEST(Tables, ArgumentsAreRefusedBeforeAnythingIsRead) {
    const double x[2] = {0.5, 0.5};
    double out[3] = {vt::kUntouched, vt::kUntouched, vt::kUntouched};
    vantor_refusal refusal;
    const Vantor::Contifiers c;
    const Vantor::Dinorms d;
    const Table t = Vantor::tables::rowMajor(x, 2), none{nullptr, 2, 1};
    const struct {
        const char* name;
        bool ok;
        int reported;  // read right after the call: a braced list runs in order
        int reason;
    } cases[] = {
        {"n < 0", Vantor::tables::contify(c, t, t, -1, 2, out, 1, &refusal), refusal.reason, VANTOR_REFUSAL_SIZE},
        {"m < 0", Vantor::tables::dinorm(d, t, 1, -1, out, out + 1, out + 2, 1, &refusal), refusal.reason, VANTOR_REFUSAL_SIZE},
        {"null data", Vantor::tables::contify(c, none, t, 1, 2, out, 1, &refusal), refusal.reason, VANTOR_REFUSAL_ARGUMENT},
        {"null output", Vantor::tables::dinorm(d, t, 1, 2, out, nullptr, out + 2, 1, &refusal),
         refusal.reason, VANTOR_REFUSAL_ARGUMENT},
        {"no rows", Vantor::tables::contify(c, none, none, 0, 2, nullptr, 1, &refusal), refusal.reason, VANTOR_REFUSAL_NONE},
        {"no positions", Vantor::tables::dinorm(d, none, 1, 0, out, out + 1, out + 2, 0, &refusal),
         refusal.reason, VANTOR_REFUSAL_NONE},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        EXPECT_EQ(k.ok, k.reason == VANTOR_REFUSAL_NONE);
        EXPECT_EQ(k.reported, k.reason);
    }
    // The last one wrote the empty vector's results.
    EXPECT_EQ(out[0], 0.0);
    EXPECT_EQ(out[2], 0.0);
}

}  // namespace
