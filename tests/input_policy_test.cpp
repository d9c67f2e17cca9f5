// The input policy every host calls: what it accepts, what it refuses and
// the words it refuses with, at the edges where a host's own check used to
// differ (infinities, strided views, 2^64, exact names).
#include <gtest/gtest.h>
#include <vantor/input_policy.h>

#include <cfloat>
#include <climits>
#include <cstdint>
#include <string>
#include <vector>

#include "bits.h"

namespace {

std::string refusalText(const vantor_refusal& r, int use, std::int64_t firstIndex,
                        std::int64_t candidates = 0, int twoSided = 0) {
    char buffer[256];
    vantor_refusal_text(&r, use, "items", firstIndex, candidates, twoSided, buffer, sizeof buffer);
    return buffer;
}

TEST(InputPolicy, TablesAreRefusedAtTheirFirstBadValue) {
    struct Case {
        const char* what;
        int use;
        std::vector<double> values;  // two rows of two
        int allowNaN;
        int reason;
        std::int64_t row, column;
    };
    const Case cases[] = {
        {"membership ends", VANTOR_USE_MEMBERSHIP, {0.0, -0.0, 1.0, 0.5}, 0, VANTOR_REFUSAL_NONE, -1, -1},
        {"membership above 1", VANTOR_USE_MEMBERSHIP, {0.5, 0.5, 1.0000000000000002, 0.5}, 0,
         VANTOR_REFUSAL_OUT_OF_RANGE, 1, 0},
        {"membership tiny negative", VANTOR_USE_MEMBERSHIP, {0.5, -4.9e-324, 0.5, 0.5}, 0,
         VANTOR_REFUSAL_OUT_OF_RANGE, 0, 1},
        {"signed ends", VANTOR_USE_SIGNED, {-1.0, 1.0, 0.0, -0.0}, 0, VANTOR_REFUSAL_NONE, -1, -1},
        {"signed below -1", VANTOR_USE_SIGNED, {0.0, 0.0, 0.0, -1.5}, 0,
         VANTOR_REFUSAL_OUT_OF_RANGE, 1, 1},
        {"clustering huge", VANTOR_USE_CLUSTERING, {-1e308, 1e308, DBL_MAX, -DBL_MAX}, 0,
         VANTOR_REFUSAL_NONE, -1, -1},
        {"clustering infinity", VANTOR_USE_CLUSTERING, {0.0, 0.0, -vt::kInf, 0.0}, 1,
         VANTOR_REFUSAL_INFINITE, 1, 0},
        {"signed infinity", VANTOR_USE_SIGNED, {vt::kInf, 0.0, 0.0, 0.0}, 0, VANTOR_REFUSAL_INFINITE,
         0, 0},
        {"NaN refused", VANTOR_USE_CLUSTERING, {0.0, vt::kNaN, vt::kInf, 0.0}, 0,
         VANTOR_REFUSAL_NAN, 0, 1},
        {"NaN kept, infinity still refused", VANTOR_USE_CLUSTERING, {0.0, vt::kNaN, vt::kInf, 0.0},
         1, VANTOR_REFUSAL_INFINITE, 1, 0},
        {"NaN kept in membership", VANTOR_USE_MEMBERSHIP, {vt::kNaN, 0.5, 0.5, vt::kNaN}, 1,
         VANTOR_REFUSAL_NONE, -1, -1},
    };
    for (const Case& c : cases) {
        vantor_refusal r{};
        const int ok = vantor_check_table(c.use, c.values.data(), 2, 2, 2, 1, c.allowNaN, &r);
        EXPECT_EQ(ok, c.reason == VANTOR_REFUSAL_NONE ? 1 : 0) << c.what;
        EXPECT_EQ(r.reason, c.reason) << c.what;
        EXPECT_EQ(r.row, c.row) << c.what;
        EXPECT_EQ(r.column, c.column) << c.what;
        if (c.row >= 0) {
            EXPECT_EQ(vt::bits(r.value), vt::bits(c.values[c.row * 2 + c.column])) << c.what;
        }
    }
}

// An R matrix lies column by column and a numpy view may run backwards; the
// refusal still names the first bad value in row order, as the host sees it.
TEST(InputPolicy, StridesReadViewsWhereTheyLie) {
    // 3 rows x 2 columns stored column-major: rows are (0, 2), (5, 0.5), (0, 9).
    const std::vector<double> columnMajor{0.0, 5.0, 0.0, 2.0, 0.5, 9.0};
    vantor_refusal r{};
    EXPECT_EQ(vantor_check_table(VANTOR_USE_MEMBERSHIP, columnMajor.data(), 3, 2, 1, 3, 0, &r), 0);
    EXPECT_EQ(r.row, 0);
    EXPECT_EQ(r.column, 1);
    EXPECT_EQ(r.value, 2.0);
    // The same rows read backwards from the last one.
    const std::vector<double> rowMajor{0.0, 9.0, 5.0, 0.5, 0.0, 2.0};
    EXPECT_EQ(vantor_check_table(VANTOR_USE_MEMBERSHIP, rowMajor.data() + 4, 3, 2, -2, 1, 0, &r), 0);
    EXPECT_EQ(r.row, 0);
    EXPECT_EQ(r.column, 1);
    EXPECT_EQ(r.value, 2.0);
    // Nothing to read: accepted without touching the pointer.
    EXPECT_EQ(vantor_check_table(VANTOR_USE_SIGNED, nullptr, 0, 5, 5, 1, 0, &r), 1);
    EXPECT_EQ(vantor_check_table(VANTOR_USE_SIGNED, nullptr, 2, 2, 2, 1, 0, &r), 0);
    EXPECT_EQ(r.reason, VANTOR_REFUSAL_ARGUMENT);
    EXPECT_EQ(vantor_check_table(7, columnMajor.data(), 1, 1, 1, 1, 0, &r), 0);
}

TEST(InputPolicy, SizesAndKAreCheckedBeforeAnythingIsAllocated) {
    struct Case {
        const char* what;
        int ok;
        int reason;
        double value;
    };
    vantor_refusal r[8];
    const Case cases[] = {
        {"one cell", vantor_check_size(1, 1, &r[0]), VANTOR_REFUSAL_NONE, 0.0},
        {"no rows", vantor_check_size(0, 3, &r[1]), VANTOR_REFUSAL_EMPTY, 0.0},
        {"rows past int", vantor_check_size(INT64_C(2147483648), 2, &r[2]), VANTOR_REFUSAL_SIZE,
         2147483648.0},
        {"k at the candidates", vantor_check_k(9, 9, &r[3]), VANTOR_REFUSAL_NONE, 0.0},
        {"k past the candidates", vantor_check_k(1000000000, 9, &r[4]),
         VANTOR_REFUSAL_TOO_FEW_CANDIDATES, 1e9},
        {"k zero", vantor_check_k(0, 9, &r[5]), VANTOR_REFUSAL_OUT_OF_RANGE, 0.0},
        {"k past int", vantor_check_k(INT64_C(2147483648), INT64_MAX, &r[6]),
         VANTOR_REFUSAL_OUT_OF_RANGE, 2147483648.0},
    };
    int i = 0;
    for (const Case& c : cases) {
        EXPECT_EQ(c.ok, c.reason == VANTOR_REFUSAL_NONE ? 1 : 0) << c.what;
        EXPECT_EQ(r[i].reason, c.reason) << c.what;
        EXPECT_EQ(r[i].value, c.value) << c.what;
        ++i;
    }
}

TEST(InputPolicy, SeedsAreWholeNumbersBelowTwoToThe64) {
    struct Case {
        const char* text;
        int ok;
        std::uint64_t seed;
    };
    const Case cases[] = {
        {"0", 1, 0},
        {"007", 1, 7},
        {"18446744073709551615", 1, UINT64_MAX},
        {"18446744073709551616", 0, 0},
        {"99999999999999999999999", 0, 0},
        {"-1", 0, 0},
        {"+1", 0, 0},
        {" 1", 0, 0},
        {"1 ", 0, 0},
        {"1.0", 0, 0},
        {"1e3", 0, 0},
        {"", 0, 0},
    };
    for (const Case& c : cases) {
        std::uint64_t seed = 12345;
        EXPECT_EQ(vantor_parse_seed(c.text, std::string(c.text).size(), &seed), c.ok) << c.text;
        EXPECT_EQ(seed, c.ok ? c.seed : 12345u) << c.text;
    }
    // A NUL inside the text is a byte like any other that is not a digit.
    std::uint64_t seed = 0;
    EXPECT_EQ(vantor_parse_seed("1\0" "2", 3, &seed), 0);

    struct Whole {
        double value;
        int ok;
        std::uint64_t seed;
    };
    const Whole wholes[] = {
        {0.0, 1, 0},           {-0.0, 1, 0},           {9007199254740991.0, 1, 9007199254740991u},
        {9007199254740992.0, 0, 0}, {-1.0, 0, 0},      {0.5, 0, 0},
        {vt::kNaN, 0, 0},      {vt::kInf, 0, 0},
    };
    for (const Whole& w : wholes) {
        std::uint64_t got = 99;
        EXPECT_EQ(vantor_seed_from_double(w.value, &got), w.ok) << w.value;
        EXPECT_EQ(got, w.ok ? w.seed : 99u) << w.value;
    }
}

TEST(InputPolicy, ModeNamesAreTheHeadersExactly) {
    const char* const relations[] = VANTOR_RELATION_NAMES;
    const char* const seeding[] = VANTOR_SEEDING_NAMES;
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(vantor_mode_number(VANTOR_MODES_RELATION, relations[i],
                                     std::string(relations[i]).size()), i);
        EXPECT_EQ(vantor_mode_number(VANTOR_MODES_SEEDING, seeding[i],
                                     std::string(seeding[i]).size()), i);
    }
    for (const char* other : {"Mutual", "first-in-second", "m", "0", "mutual ", ""}) {
        EXPECT_EQ(vantor_mode_number(VANTOR_MODES_RELATION, other, std::string(other).size()), -1)
            << other;
    }
    EXPECT_EQ(vantor_mode_number(VANTOR_MODES_RELATION, "mutualX", 6), 0);  // length decides
    EXPECT_EQ(vantor_mode_number(99, "mutual", 6), -1);

    // The joined lists are the brace lists, in order.
    const struct {
        int family;
        std::vector<const char*> names;
    } families[] = {
        {VANTOR_MODES_RELATION, VANTOR_RELATION_NAMES},
        {VANTOR_MODES_KERNEL, VANTOR_KERNEL_NAMES},
        {VANTOR_MODES_AGGREGATION, VANTOR_AGGREGATION_NAMES},
        {VANTOR_MODES_COMBINATION, VANTOR_COMBINATION_NAMES},
        {VANTOR_MODES_SEEDING, VANTOR_SEEDING_NAMES},
    };
    for (const auto& f : families) {
        std::string joined;
        for (const char* name : f.names) joined += (joined.empty() ? "" : ", ") + std::string(name);
        EXPECT_EQ(vantor_mode_list(f.family), joined);
    }
    EXPECT_STREQ(vantor_mode_list(-1), "");
}

TEST(InputPolicy, ThresholdsAndWiderNumbers) {
    for (double accepted : {0.0, -0.0, 1.0, 4.9e-324}) EXPECT_EQ(vantor_check_unit(accepted), 1);
    for (double refused : {vt::kNaN, -4.9e-324, 1.0000000000000002, vt::kInf}) {
        EXPECT_EQ(vantor_check_unit(refused), 0) << refused;
    }
    EXPECT_EQ(vantor_is_double(1.0L), 1);
    EXPECT_EQ(vantor_is_double(static_cast<long double>(0.1)), 1);
    if (LDBL_MANT_DIG > DBL_MANT_DIG) {
        // Rounds to 1.0, which a threshold check alone would accept.
        EXPECT_EQ(vantor_is_double(1.0L + LDBL_EPSILON), 0);
    }
}

TEST(InputPolicy, TextsFillThePlaceholders) {
    vantor_refusal r{};
    const std::vector<double> values{0.5, 0.5, 0.5, 1.5};
    ASSERT_EQ(vantor_check_table(VANTOR_USE_MEMBERSHIP, values.data(), 2, 2, 2, 1, 0, &r), 0);
    EXPECT_EQ(refusalText(r, VANTOR_USE_MEMBERSHIP, 1),
              "items: value 1.5 at row 2, column 2 is outside [0, 1]");
    EXPECT_EQ(refusalText(r, VANTOR_USE_MEMBERSHIP, 0),
              "items: value 1.5 at row 1, column 1 is outside [0, 1]");
    const std::vector<double> inf{-vt::kInf};
    ASSERT_EQ(vantor_check_table(VANTOR_USE_CLUSTERING, inf.data(), 1, 1, 1, 1, 1, &r), 0);
    EXPECT_EQ(refusalText(r, VANTOR_USE_CLUSTERING, 0),
              "items: infinite value -inf at row 0, column 0");
    ASSERT_EQ(vantor_check_k(10, 3, &r), 0);
    char k[128];
    vantor_refusal_text(&r, VANTOR_USE_CLUSTERING, "-k", 1, 3, 1, k, sizeof k);
    EXPECT_STREQ(k, "-k = 10 is more than the 3 item parts with a value other than 0, the "
                    "candidates for seeds");
    ASSERT_EQ(vantor_check_k(-2, 3, &r), 0);
    vantor_refusal_text(&r, VANTOR_USE_CLUSTERING, "k", 0, 3, 0, k, sizeof k);
    EXPECT_STREQ(k, "k must be a whole number from 1 to 2147483647, got -2");
    ASSERT_EQ(vantor_check_k(INT64_MAX, INT64_MAX, &r), 0);
    vantor_refusal_text(&r, VANTOR_USE_CLUSTERING, "k", 0, 0, 0, k, sizeof k);
    EXPECT_STREQ(k, "k must be a whole number from 1 to 2147483647, got 9223372036854775808");

    char mode[128];
    vantor_message_text(VANTOR_MESSAGE_MODE, "--seeding", "Farthest", VANTOR_MODES_SEEDING, 0, 0,
                        mode, sizeof mode);
    EXPECT_STREQ(mode, "--seeding must be one of farthest, kmeans++, first; got \"Farthest\"");

    // Rows and columns beyond 2^31, as a host's 64-bit shapes give them.
    char place[80];
    vantor_place_text(VANTOR_MESSAGE_MASKED, "items", 3000000000LL, 7, place, sizeof place);
    EXPECT_STREQ(place, "items: masked value at row 3000000000, column 7");

    // As snprintf: the whole length is returned, the text cut to fit.
    char small[8];
    const std::size_t whole = vantor_message_text(VANTOR_MESSAGE_SEED, "seed", "-1", -1, 0, 0,
                                                  small, sizeof small);
    EXPECT_EQ(whole, std::string("seed must be a whole number in [0, 2^64), got -1").size());
    EXPECT_STREQ(small, "seed mu");
    EXPECT_EQ(vantor_message_text(VANTOR_MESSAGE_SEED, "s", "x", -1, 0, 0, nullptr, 0),
              std::string("s must be a whole number in [0, 2^64), got x").size());
    EXPECT_EQ(vantor_message_text(99, "s", "x", -1, 0, 0, small, sizeof small), 0u);
    EXPECT_STREQ(small, "");

    char number[40];
    for (const auto& shown : {std::pair<double, const char*>{0.1, "0.1"}, {-0.0, "-0"},
                              {1e300, "1e+300"}, {-vt::kNaN, "nan"}, {vt::kInf, "inf"}}) {
        vantor_format_double(shown.first, number, sizeof number);
        EXPECT_STREQ(number, shown.second);
    }
}

}  // namespace
