// How the tool reads the numbers people write (delimiters, decimal commas,
// tiny and NaN values) and how it behaves when the shell hands it a closed,
// odd or full stream.
#include <gtest/gtest.h>

#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bits.h"
#include "cli/run_tool.h"
#include "vantor/contifiers.h"

namespace {

struct SameReading {
    const char* what;
    std::vector<std::string> args;  // the subcommand and its options, without input
    std::string text;               // read from standard input
    std::string plain;              // the same numbers with '.' and ','
};

std::ostream& operator<<(std::ostream& os, const SameReading& c) { return os << c.what; }

class Reading : public ::testing::TestWithParam<SameReading> {};

// Each way of writing a table gives the bytes its plain CSV gives.
TEST_P(Reading, GivesWhatPlainCsvGives) {
    const SameReading& c = GetParam();
    std::vector<std::string> args = c.args, plainArgs = {c.args.front()};
    args.push_back("-");
    plainArgs.insert(plainArgs.end(), c.args.begin() + 1, c.args.end());
    for (const char* option : {"--delimiter", "--decimal"}) {  // drop them for the plain run
        for (auto at = plainArgs.begin(); at != plainArgs.end();) {
            at = *at == option ? plainArgs.erase(at, at + 2) : at + 1;
        }
    }
    plainArgs.push_back("-");
    const vt::ToolRun got = vt::runTool(args, c.text);
    const vt::ToolRun want = vt::runTool(plainArgs, c.plain);
    ASSERT_EQ(want.status, 0) << want.err;
    EXPECT_EQ(got.status, 0) << got.err;
    EXPECT_EQ(got.out, want.out);
}

INSTANTIATE_TEST_SUITE_P(
    Settings, Reading,
    ::testing::Values(
        SameReading{"decimal commas, one column",
                    {"cluster", "-k", "2", "--decimal", ","},
                    "0,5\n0,7\n-1,25\n",
                    "0.5\n0.7\n-1.25\n"},
        SameReading{"semicolons and decimal commas",
                    {"dinorm", "--delimiter", ";", "--decimal", ","},
                    "# exported\r\n0,5; -0,25;1\r\n0;0,125;-1\r\n",
                    "0.5,-0.25,1\n0,0.125,-1\n"},
        SameReading{"decimal commas between blanks",
                    {"contify", "--decimal", ","},
                    "0,2  0,8\n0,9\t0,4\n",
                    "0.2,0.8\n0.9,0.4\n"},
        SameReading{"semicolons, decimal points",
                    {"contify", "--delimiter", "semicolon"},
                    "0.2;0.8\n0.9;0.4\n",
                    "0.2,0.8\n0.9,0.4\n"},
        SameReading{"tabs",
                    {"dinorm", "--delimiter", "tab"},
                    "0.5\t -0.25\n1\t0\n",
                    "0.5,-0.25\n1,0\n"},
        SameReading{"a tab given as itself",
                    {"dinorm", "--delimiter", "\t"},
                    "0.5\t-0.25\n",
                    "0.5,-0.25\n"},
        SameReading{"blanks only",
                    {"dinorm", "--delimiter", "space"},
                    " 0.5   -0.25\t1\n",
                    "0.5,-0.25,1\n"},
        SameReading{"commas said to be separators read whole numbers",
                    {"cluster", "-k", "1", "--delimiter", ","},
                    "0,5\n0,7\n",
                    "0 5\n0 7\n"},
        SameReading{"numbers too small for a double are 0 in cells",
                    {"dinorm"},
                    "1e-400 -1e-400 0.5\n",
                    "0 -0 0.5\n"},
        SameReading{"and in options",
                    {"dinorm", "--threshold", "1e-400", "--neutral-band", "+1e-999"},
                    "0.25 -0.5\n",
                    "0.25 -0.5\n"}));

TEST(Reading, UnderflowKeepsSubnormalsToTheBit) {
    const std::string seeds = vt::writeFile("seeds", "4.9e-324 1\n");
    const vt::ToolRun run = vt::runTool({"cluster", "--seeds", seeds, "-"}, "2.5e-324 1\n");
    ASSERT_EQ(run.status, 0) << run.err;
    // The item's 2.5e-324 rounds to the least subnormal, as the seed's does;
    // a prototype of one item is that item.
    EXPECT_NE(run.out.find("\n0,5e-324,1\n"), std::string::npos) << run.out;
}

TEST(Reading, AllowedNanReachesContifiersAsTheLibraryDefines) {
    // NaN in the weighing vector skips its position; beside a weighed value
    // it makes the degree NaN.
    const std::string text = "nan,0.5\n0.5,0.5\n0.5,0.25\nnan,0.75\n";
    const vt::ToolRun run = vt::runTool({"contify", "--allow-nan", "--no-header", "-"}, text);
    ASSERT_EQ(run.status, 0) << run.err;
    double first[2][2] = {{vt::kNaN, 0.5}, {0.5, 0.25}};
    double second[2][2] = {{0.5, 0.5}, {vt::kNaN, 0.75}};
    Vantor::Contifiers lib;
    std::string want;
    for (int r = 0; r < 2; ++r) {
        double degree = vt::kUntouched;
        ASSERT_TRUE(lib.aggregate(2, first[r], second[r], &degree));
        char shortest[64];
        want += std::string(shortest, std::to_chars(shortest, shortest + 64, degree).ptr) + "\n";
    }
    EXPECT_EQ(run.out, want);
}

struct Plumbed {
    const char* what;
    std::vector<std::string> args;
    vt::Plumbing plumbing;
    int status;
    std::string message;  // the whole of stderr
};

std::ostream& operator<<(std::ostream& os, const Plumbed& c) { return os << c.what; }

class Streams : public ::testing::TestWithParam<Plumbed> {};

TEST_P(Streams, SayWhatHappened) {
    const Plumbed& c = GetParam();
    const vt::ToolRun run = vt::runTool(c.args, "0.5 -0.25\n", c.plumbing);
    EXPECT_EQ(run.status, c.status) << run.err;
    EXPECT_EQ(run.err, c.message);
}

INSTANTIATE_TEST_SUITE_P(
    Shell, Streams,
    ::testing::Values(
        Plumbed{"closed standard input", {"dinorm", "-"}, {true, "", ""}, 1,
                "<stdin>: standard input is closed\n"},
        Plumbed{"closed standard input, a file read instead",
                {"contify", VANTOR_DATA_DIR "/observed.csv", VANTOR_DATA_DIR "/required.csv"},
                {true, "", ""}, 0, ""},
        Plumbed{"closed standard input named after a file",
                {"cluster", "--seeds", "-", VANTOR_DATA_DIR "/profiles.csv"}, {true, "", ""}, 1,
                "<stdin>: standard input is closed\n"},
        Plumbed{"a folder as standard input", {"dinorm"}, {false, VANTOR_DATA_DIR, ""}, 1,
                "<stdin>: is a directory\n"},
        Plumbed{"a full disk", {"dinorm"}, {false, "", "/dev/full"}, 3,
                "vantor: cannot write the output: No space left on device\n"},
        Plumbed{"a full disk under much output",
                {"demo", "--data", VANTOR_DATA_DIR}, {false, "", "/dev/full"}, 3,
                "vantor: cannot write the output: No space left on device\n"}));

TEST(Messages, AHugeCellMakesAShortMessage) {
    const vt::ToolRun run = vt::runTool({"cluster", "-k", "1"}, std::string(1 << 22, '\x80'));
    EXPECT_EQ(run.status, 1);
    EXPECT_LT(run.err.size(), 200u) << run.err.substr(0, 400);
}

// Run by check_scratch_cleanup.cmake with VANTOR_CLI_FAIL_ON_PURPOSE set, to
// see the scratch folder removed after a failed test as well.
TEST(ScratchFolder, HoldsTheFilesATestWrites) {
    const std::string path = vt::writeFile("kept-until-exit", "x");
    EXPECT_TRUE(std::filesystem::exists(path));
    if (std::getenv("VANTOR_CLI_FAIL_ON_PURPOSE") != nullptr) FAIL() << "failing on purpose";
}

}  // namespace
