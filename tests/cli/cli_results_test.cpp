// The tool's results equal, to the bit, what the library computes when called
// directly with the same configuration.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

#include "bits.h"
#include "cli/run_tool.h"
#include "vantor/clustions.h"
#include "vantor/contifiers.h"
#include "vantor/dinorms.h"
#include "vantor/seeding.h"

using vt::bits;
using vt::numberOf;
using Rows = std::vector<std::vector<double>>;

namespace {

// Writes with %.17g, not the tool's own shortest form, so reading is tested
// against a second way of printing the same doubles.
std::string csvOf(const Rows& rows, const char* separator = ",") {
    std::string text;
    for (const auto& row : rows) {
        for (std::size_t c = 0; c < row.size(); ++c) {
            char cell[40];
            std::snprintf(cell, sizeof cell, "%.17g", row[c]);
            text += (c > 0 ? separator : "") + std::string(cell);
        }
        text += "\n";
    }
    return text;
}

vt::Cells onlyBlock(const vt::ToolRun& run) {
    EXPECT_EQ(run.status, 0) << run.err;
    std::vector<vt::Cells> blocks = vt::blocksOf(run.out);
    EXPECT_EQ(blocks.size(), 1u) << run.out;
    return blocks.front();
}

const Rows kFirst = {
    {0.2, 0.8, 0.6, 0.5}, {0, 0, 0, 0}, {1, 1, 0.3, 0.7}, {0.1, 0.45, 0.99, 1.0 / 3}};
const Rows kSecond = {
    {0.9, 0.4, 0.3, 0.5}, {0.5, 0, 1, 0.2}, {1, 0, 0.3, 0.6}, {0.7, 0.45, 0.01, 2.0 / 3}};

struct ContifyCase {
    const char* relation;
    int relationMode;
    const char* kernel;
    int typeMode;
    const char* threshold;
};

std::ostream& operator<<(std::ostream& os, const ContifyCase& c) {
    return os << c.relation << "/" << c.kernel << "/" << c.threshold;
}

class ContifyResults : public ::testing::TestWithParam<ContifyCase> {};

TEST_P(ContifyResults, EqualTheLibrarysDegrees) {
    const ContifyCase& c = GetParam();
    const std::string first = vt::writeFile("first.csv", csvOf(kFirst));
    const std::string second = vt::writeFile("second.txt", csvOf(kSecond, "\t"));
    const vt::Cells out =
        onlyBlock(vt::runTool({"contify", "--relation", c.relation, "--kernel", c.kernel,
                               "--threshold", c.threshold, first, second}));
    ASSERT_EQ(out.size(), kFirst.size() + 1);
    EXPECT_EQ(out[0], std::vector<std::string>{"degree"});

    Vantor::Contifiers lib;
    ASSERT_TRUE(lib.thresholds(std::stod(c.threshold)));
    ASSERT_TRUE(lib.setModes(c.relationMode, c.typeMode));
    for (std::size_t r = 0; r < kFirst.size(); ++r) {
        std::vector<double> a = kFirst[r], b = kSecond[r];
        double want = vt::kUntouched;
        ASSERT_TRUE(lib.aggregate(4, a.data(), b.data(), &want));
        EXPECT_EQ(bits(numberOf(out[r + 1][0])), bits(want))
            << "row " << r << ": " << out[r + 1][0];
    }
}

INSTANTIATE_TEST_SUITE_P(EveryRelationAndKernel, ContifyResults,
                         ::testing::Values(ContifyCase{"mutual", 0, "type0", 0, "0"},
                                           ContifyCase{"mutual", 0, "type1", 1, "0.5"},
                                           ContifyCase{"mutual", 0, "type2", 2, "0.3"},
                                           ContifyCase{"first_in_second", 1, "type0", 0, "0.5"},
                                           ContifyCase{"first_in_second", 1, "type1", 1, "0"},
                                           ContifyCase{"first_in_second", 1, "type2", 2, "1"},
                                           ContifyCase{"second_in_first", 2, "type0", 0, "0"},
                                           ContifyCase{"second_in_first", 2, "type1", 1, "0.45"},
                                           ContifyCase{"second_in_first", 2, "type2", 2, "0.25"}));

TEST(ContifyInput, OneStreamOfRowPairsEqualsTwoTables) {
    Rows pairs;
    for (std::size_t r = 0; r < kFirst.size(); ++r) {
        pairs.push_back(kFirst[r]);
        pairs.push_back(kSecond[r]);
    }
    const std::string first = vt::writeFile("first.csv", csvOf(kFirst));
    const std::string second = vt::writeFile("second.csv", csvOf(kSecond));
    const vt::ToolRun fromFiles = vt::runTool({"contify", "-r", "mutual", first, second});
    const vt::ToolRun fromStdin = vt::runTool({"contify", "-r", "mutual", "-"}, csvOf(pairs, "  "));
    EXPECT_EQ(fromStdin.status, 0) << fromStdin.err;
    EXPECT_EQ(fromStdin.out, fromFiles.out);
}

TEST(ContifyInput, CommentsQuotesBlankLinesAndCrlfReadAlike) {
    const std::string plain = vt::writeFile("plain.csv", "0.2,0.8\n0.9,0.4\n");
    const std::string messy = vt::writeFile(
        "messy.csv", "\xEF\xBB\xBF# exported sheet\r\n\r\n\"0.2\", +0.8\r\n  # again\n0.9 ,0.4,\n");
    // The trailing comma on the last line makes a ragged row; without it the
    // two files must give the same bytes.
    EXPECT_EQ(vt::runTool({"contify", messy}).status, 1);
    const std::string fixed = vt::writeFile(
        "fixed.csv", "\xEF\xBB\xBF# exported sheet\r\n\r\n\"0.2\", +0.8\r\n  # again\n0.9 ,0.4\n");
    const vt::ToolRun want = vt::runTool({"contify", plain});
    const vt::ToolRun got = vt::runTool({"contify", fixed});
    EXPECT_EQ(got.status, 0) << got.err;
    EXPECT_EQ(got.out, want.out);
}

const Rows kSigned = {{0.5, -0.125, 0, -0.5, 0.25, -0.75},
                      {-1, 1, 0.99, -0.99, 0, 0},
                      {0.1, 0.2, -0.3, 0.05, -0.05, 0.7},
                      {0, 0, 0, 0, 0, 0},
                      {-0.6, -0.7, -0.2, 0.1, 0.3, 1.0 / 3}};

struct DinormCase {
    const char* aggregation;
    int aggMode;
    const char* combination;
    int cmbMode;
    double threshold, band;
};

std::ostream& operator<<(std::ostream& os, const DinormCase& c) {
    return os << c.aggregation << "/" << c.combination << "/" << c.threshold << "/" << c.band;
}

class DinormResults : public ::testing::TestWithParam<DinormCase> {};

TEST_P(DinormResults, EqualTheLibrarysAggregatesAndCombination) {
    const DinormCase& c = GetParam();
    char threshold[40], band[40];
    std::snprintf(threshold, sizeof threshold, "%.17g", c.threshold);
    std::snprintf(band, sizeof band, "%.17g", c.band);
    const vt::Cells out =
        onlyBlock(vt::runTool({"dinorm", "-a", c.aggregation, "-c", c.combination, "--threshold",
                               threshold, "--neutral-band", band, "-"},
                              csvOf(kSigned, " ")));
    ASSERT_EQ(out.size(), kSigned.size() + 1);
    EXPECT_EQ(out[0], (std::vector<std::string>{"negative", "positive", "combined"}));

    Vantor::Dinorms lib;
    ASSERT_TRUE(lib.thresholds(c.threshold, c.band));
    ASSERT_TRUE(lib.setModes(c.aggMode, c.cmbMode));
    for (std::size_t r = 0; r < kSigned.size(); ++r) {
        std::vector<double> values = kSigned[r];
        double want[3] = {vt::kUntouched, vt::kUntouched, vt::kUntouched};
        ASSERT_TRUE(lib.aggregate(static_cast<int>(values.size()), values.data(), want));
        ASSERT_EQ(out[r + 1].size(), 3u);
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(bits(numberOf(out[r + 1][i])), bits(want[i]))
                << "row " << r << " column " << i << ": " << out[r + 1][i];
        }
    }
}

std::vector<DinormCase> everyRulePair() {
    const char* aggregations[] = {"extreme", "probabilistic", "bounded"};
    const char* combinations[] = {"dominant", "certainty_factor", "sum", "reinforced_sum"};
    std::vector<DinormCase> cases;
    for (int a = 0; a < 3; ++a) {
        for (int m = 0; m < 4; ++m) {
            cases.push_back({aggregations[a], a, combinations[m], m, 0.0, 0.0});
            cases.push_back({aggregations[a], a, combinations[m], m, 0.25, 0.25});
        }
    }
    cases.push_back({"probabilistic", 1, "reinforced_sum", 3, 0.1, 1.0 / 3});
    cases.push_back({"bounded", 2, "certainty_factor", 1, 0.1, 0.0});
    return cases;
}

INSTANTIATE_TEST_SUITE_P(EveryRulePair, DinormResults, ::testing::ValuesIn(everyRulePair()));

// What the library makes of the items from the given seeds.
struct LibraryClustering {
    std::vector<double> prototypes;
    std::vector<int> assignments[2];
    std::vector<double> similarities[2];
    int passInfo[2] = {-1, -1};
};

LibraryClustering clusterWithLibrary(const Rows& items, const Rows& seeds, bool twoSided,
                                     double threshold, int limit) {
    Vantor::Clustions lib;
    EXPECT_TRUE(lib.thresholds(threshold));
    EXPECT_TRUE(lib.setLimits(limit));
    LibraryClustering c;
    std::vector<double> flat;
    for (const auto& row : items) flat.insert(flat.end(), row.begin(), row.end());
    for (const auto& row : seeds) c.prototypes.insert(c.prototypes.end(), row.begin(), row.end());
    int dims[3] = {static_cast<int>(seeds.size()), static_cast<int>(items.size()),
                   static_cast<int>(items[0].size())};
    for (int s = 0; s < 2; ++s) {
        c.assignments[s].assign(items.size(), vt::kUntouchedInt);
        c.similarities[s].assign(items.size(), vt::kUntouched);
    }
    const bool ok =
        twoSided ? lib.cluster(c.prototypes.data(), flat.data(), dims, c.assignments[0].data(),
                               c.assignments[1].data(), c.similarities[0].data(),
                               c.similarities[1].data(), c.passInfo)
                 : lib.cluster(c.prototypes.data(), flat.data(), dims, c.assignments[0].data(),
                               c.similarities[0].data(), c.passInfo);
    EXPECT_TRUE(ok);
    return c;
}

void expectSameClustering(const vt::ToolRun& run, const LibraryClustering& want, bool twoSided,
                          std::size_t width) {
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<vt::Cells> blocks = vt::blocksOf(run.out);
    ASSERT_EQ(blocks.size(), 3u) << run.out;
    ASSERT_EQ(blocks[0].size(), 2u);
    EXPECT_EQ(blocks[0][1][0], want.passInfo[0] == 1 ? "yes" : "no");
    EXPECT_EQ(blocks[0][1][1], std::to_string(want.passInfo[1]));

    const vt::Cells& items = blocks[1];
    ASSERT_EQ(items.size(), want.assignments[0].size() + 1);
    for (std::size_t j = 0; j < want.assignments[0].size(); ++j) {
        const auto& row = items[j + 1];
        ASSERT_EQ(row.size(), twoSided ? 5u : 3u);
        EXPECT_EQ(row[0], std::to_string(j));
        for (int s = 0; s < (twoSided ? 2 : 1); ++s) {
            EXPECT_EQ(row[1 + 2 * s], std::to_string(want.assignments[s][j])) << "item " << j;
            EXPECT_EQ(bits(numberOf(row[2 + 2 * s])), bits(want.similarities[s][j]))
                << "item " << j;
        }
    }

    const vt::Cells& prototypes = blocks[2];
    ASSERT_EQ((prototypes.size() - 1) * width, want.prototypes.size());
    for (std::size_t p = 0; p + 1 < prototypes.size(); ++p) {
        ASSERT_EQ(prototypes[p + 1].size(), width + 1);
        for (std::size_t c = 0; c < width; ++c) {
            EXPECT_EQ(bits(numberOf(prototypes[p + 1][c + 1])),
                      bits(want.prototypes[p * width + c]))
                << "prototype " << p << " value " << c;
        }
    }
}

const Rows kProfiles = {{0.9, 0.8, 0.1, 0.0}, {0.8, 0.9, 0.2, 0.1}, {1.0, 0.7, 0.0, 0.1},
                        {0.1, 0.2, 0.9, 0.8}, {0.0, 0.1, 0.8, 1.0}, {0.2, 0.1, 1.0, 0.7},
                        {0.5, 0.0, 0.1, 0.9}, {0.6, 0.1, 0.0, 0.8}};

struct ClusterCase {
    const char* what;
    Rows items, seeds;
    bool twoSided;
    double threshold;
    int limit;
};

std::ostream& operator<<(std::ostream& os, const ClusterCase& c) { return os << c.what; }

class ClusterResults : public ::testing::TestWithParam<ClusterCase> {};

TEST_P(ClusterResults, EqualTheLibrarysRun) {
    const ClusterCase& c = GetParam();
    const std::string items = vt::writeFile("items.csv", csvOf(c.items));
    const std::string seeds = vt::writeFile("seeds.csv", csvOf(c.seeds, " "));
    char threshold[40];
    std::snprintf(threshold, sizeof threshold, "%.17g", c.threshold);
    std::vector<std::string> args{"cluster",
                                  "--seeds",
                                  seeds,
                                  "--threshold",
                                  threshold,
                                  "--max-passes",
                                  std::to_string(c.limit),
                                  items};
    if (c.twoSided) args.push_back("--two-sided");
    // NaN goes through only when asked for, and then exactly as the library takes it.
    for (const Rows* rows : {&c.items, &c.seeds}) {
        for (const auto& row : *rows) {
            for (double v : row) {
                if (v != v && args.back() != "--allow-nan") args.push_back("--allow-nan");
            }
        }
    }
    SCOPED_TRACE(c.what);
    expectSameClustering(vt::runTool(args),
                         clusterWithLibrary(c.items, c.seeds, c.twoSided, c.threshold, c.limit),
                         c.twoSided, c.items[0].size());
}

INSTANTIATE_TEST_SUITE_P(
    SeededRuns, ClusterResults,
    ::testing::Values(
        ClusterCase{"profiles, three seeds",
                    kProfiles,
                    {{1, 1, 0, 0}, {0, 0, 1, 1}, {0.5, 0, 0, 1}},
                    false,
                    0.1,
                    40},
        ClusterCase{
            "stopped after one pass", kProfiles, {{1, 1, 0, 0}, {0, 0, 1, 1}}, false, 0.0, 1},
        ClusterCase{"a cycle that runs to the limit",
                    {{0.5}, {0.0}, {1.0}, {0.25}, {0.5}},
                    {{0.5}, {0.5}, {1.0}},
                    false,
                    0.5,
                    7},
        ClusterCase{"signed items, two-sided",
                    {{0.3, 0, 0.9}, {0.2, 0.4, 0}, {0, 0, 0}, {-0.5, 0.2, -0.1}},
                    {{0.1, 0.2, 0.3}, {0.9, 0.1, 0.5}},
                    true,
                    0.0,
                    40},
        ClusterCase{
            "two-sided, one prototype", {{0.5, -0.5}, {-1.0, 1.0}}, {{0.2, 0.2}}, true, 0.0, 40},
        ClusterCase{"a NaN item poisons its prototype (--allow-nan)",
                    {{vt::kNaN, 0.5, 0.5}, {0.9, 0.1, 0.0}, {0.8, 0.2, 0.1}, {0.1, 0.9, 0.8}},
                    {{1, 0, 0}, {0, 1, 1}},
                    false,
                    0.0,
                    40},
        ClusterCase{"NaN in a signed item and a seed (--allow-nan)",
                    {{-0.5, vt::kNaN}, {0.4, -0.1}, {0.3, 0.6}},
                    {{0.5, 0.5}, {vt::kNaN, 1}},
                    true,
                    0.0,
                    40}));

TEST(ClusterSeeding, FirstTakesTheFirstItemsWithAPositiveValue) {
    const Rows items = {{0, 0}, {0.9, 0.1}, {0.8, 0.3}, {0.1, 0.9}};
    const vt::ToolRun run =
        vt::runTool({"cluster", "-k", "2", "--seeding", "first", "-"}, csvOf(items));
    expectSameClustering(run, clusterWithLibrary(items, {items[1], items[2]}, false, 0.0, 40),
                         false, 2);
}

TEST(ClusterSeeding, FarthestAddsTheItemLeastSimilarToTheSeedsSoFar) {
    // Item 0 first; item 3 shares nothing with it (similarity 0); then item 2,
    // whose best similarity to the seeds (0.5 / 1.8 to item 0) is lower than
    // item 1's (0.9 / 1.1 to item 0).
    const Rows items = {{1.0, 0.0, 0.0}, {0.9, 0.1, 0.0}, {0.5, 0.5, 0.3}, {0.0, 0.1, 1.0}};
    const vt::ToolRun run =
        vt::runTool({"cluster", "-k", "3", "--seeding", "farthest", "-"}, csvOf(items));
    expectSameClustering(
        run, clusterWithLibrary(items, {items[0], items[3], items[2]}, false, 0.0, 40), false, 3);
    EXPECT_EQ(vt::blocksOf(run.out)[0][1][2], "0 3 2");
}

TEST(ClusterSeeding, TwoSidedChoosesAmongTheItemParts) {
    // Parts in order: item 0 negative (0, 0.8), item 0 positive (0.6, 0),
    // item 1 positive (0.5, 0.1); farthest from the first is item 0's positive part.
    const Rows items = {{0.6, -0.8}, {0.5, 0.1}};
    const vt::ToolRun run = vt::runTool(
        {"cluster", "--two-sided", "-k", "2", "--seeding", "farthest", "-"}, csvOf(items));
    expectSameClustering(run, clusterWithLibrary(items, {{0, 0.8}, {0.6, 0}}, true, 0.0, 40), true,
                         2);
    EXPECT_EQ(vt::blocksOf(run.out)[0][1][2], "0:negative 0:positive");
}

// What the library's restarted clustering makes of the items, with the
// seeds column the tool must print for it.
struct FromStarts {
    LibraryClustering run;
    std::string seeds;
};

FromStarts clusterFromStartsWithLibrary(const Rows& items, int k, int rule, int restarts,
                                        std::uint64_t randomSeed, bool twoSided) {
    Vantor::Clustions lib;
    std::vector<double> flat;
    for (const auto& row : items) flat.insert(flat.end(), row.begin(), row.end());
    const int n = static_cast<int>(items.size()), m = static_cast<int>(items[0].size());
    const int dims[3] = {k, n, m};
    FromStarts f;
    LibraryClustering& c = f.run;
    c.prototypes.assign(static_cast<std::size_t>(k * m), vt::kUntouched);
    for (int s = 0; s < 2; ++s) {
        c.assignments[s].assign(items.size(), vt::kUntouchedInt);
        c.similarities[s].assign(items.size(), vt::kUntouched);
    }
    int winner = -1;
    EXPECT_TRUE(Vantor::clusterFromStarts(lib, rule, restarts, randomSeed, flat.data(), dims,
                                          twoSided, c.prototypes.data(), c.assignments[0].data(),
                                          c.similarities[0].data(), c.assignments[1].data(),
                                          c.similarities[1].data(), c.passInfo, &winner, nullptr));
    std::vector<double> seeds(c.prototypes.size());
    std::vector<int> sourceItems(static_cast<std::size_t>(k)), sourceParts(sourceItems.size());
    EXPECT_TRUE(Vantor::chooseSeeds(lib, rule, k, flat.data(), n, m, twoSided,
                                    Vantor::restartSeed(randomSeed, winner), seeds.data(),
                                    sourceItems.data(), sourceParts.data()));
    static const char* const parts[] = VANTOR_PART_NAMES;
    for (int t = 0; t < k; ++t) {
        f.seeds += (t > 0 ? " " : "") + std::to_string(sourceItems[t]);
        if (twoSided) f.seeds += std::string(":") + parts[sourceParts[t]];
    }
    return f;
}

// Twelve items in three loose groups, enough for random starts to differ.
const Rows kGroups = {{0.9, 0.1, 0.0}, {0.8, 0.2, 0.1}, {0.7, 0.0, 0.2}, {1.0, 0.3, 0.0},
                      {0.1, 0.9, 0.1}, {0.0, 0.8, 0.3}, {0.2, 1.0, 0.0}, {0.3, 0.7, 0.2},
                      {0.1, 0.2, 0.9}, {0.0, 0.1, 0.7}, {0.2, 0.3, 1.0}, {0.9, 0.8, 0.9}};

TEST(ClusterSeeding, DefaultIsKmeansPlusPlusBestOfTenFromSeedZero) {
    const vt::ToolRun run = vt::runTool({"cluster", "-k", "3", "-"}, csvOf(kGroups));
    const FromStarts want =
        clusterFromStartsWithLibrary(kGroups, 3, VANTOR_SEEDING_KMEANS_PP, 10, 0, false);
    expectSameClustering(run, want.run, false, 3);
    EXPECT_EQ(vt::blocksOf(run.out)[0][0][2], "seeds");
    EXPECT_EQ(vt::blocksOf(run.out)[0][1][2], want.seeds);
}

TEST(ClusterSeeding, RandomSeedAndRestartsReachTheLibrary) {
    struct Case {
        const char *seed, *restarts;
        bool twoSided;
    };
    for (const Case c : {Case{"7", "3", false}, Case{"18446744073709551615", "1", false},
                         Case{"12345", "5", true}}) {
        Rows items = kGroups;
        if (c.twoSided) {
            for (std::size_t j = 0; j < items.size(); j += 2) items[j][1] = -items[j][1];
        }
        std::vector<std::string> args = {"cluster", "-k", "3", "--random-seed", c.seed,
                                         "--restarts", c.restarts, "-"};
        if (c.twoSided) args.push_back("--two-sided");
        const vt::ToolRun run = vt::runTool(args, csvOf(items));
        const FromStarts want = clusterFromStartsWithLibrary(
            items, 3, VANTOR_SEEDING_KMEANS_PP, std::stoi(c.restarts),
            std::stoull(c.seed), c.twoSided);
        SCOPED_TRACE(c.seed);
        expectSameClustering(run, want.run, c.twoSided, 3);
        EXPECT_EQ(vt::blocksOf(run.out)[0][1][2], want.seeds);
    }
}

TEST(ClusterSeeding, EveryLibraryRuleNameIsAccepted) {
    static const char* const names[] = VANTOR_SEEDING_NAMES;
    for (int rule = 0; rule < static_cast<int>(sizeof names / sizeof *names); ++rule) {
        const vt::ToolRun run =
            vt::runTool({"cluster", "-k", "2", "--seeding", names[rule], "-"}, csvOf(kGroups));
        const FromStarts want = clusterFromStartsWithLibrary(kGroups, 2, rule, 10, 0, false);
        SCOPED_TRACE(names[rule]);
        expectSameClustering(run, want.run, false, 3);
        EXPECT_EQ(vt::blocksOf(run.out)[0][1][2], want.seeds);
    }
}

}  // namespace
