// Refused input and usage errors: exit status, and a message that names the
// place of the problem and the value found there. Also --help and the demo.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

#include "cli/run_tool.h"

namespace {

struct BadInput {
    const char* what;
    std::vector<std::string> args;  // "@NAME" stands for the file written from `files`
    std::vector<std::pair<std::string, std::string>> files;
    std::string stdinText;
    int status;
    std::string message;  // the first line of stderr, "@NAME" again a file; "" for any
};

std::string expand(std::string text,
                   const std::vector<std::pair<std::string, std::string>>& paths) {
    for (const auto& [name, path] : paths) {
        for (std::size_t at; (at = text.find("@" + name)) != std::string::npos;) {
            text.replace(at, name.size() + 1, path);
        }
    }
    return text;
}

std::ostream& operator<<(std::ostream& os, const BadInput& c) { return os << c.what; }

class RefusedInput : public ::testing::TestWithParam<BadInput> {};

TEST_P(RefusedInput, ExitsNonZeroNamingThePlace) {
    const BadInput& c = GetParam();
    std::vector<std::pair<std::string, std::string>> paths;
    for (const auto& [name, text] : c.files) paths.emplace_back(name, vt::writeFile(name, text));
    std::vector<std::string> args;
    for (const std::string& a : c.args) args.push_back(expand(a, paths));

    const vt::ToolRun run = vt::runTool(args, c.stdinText);
    EXPECT_EQ(run.status, c.status) << c.what << "\n" << run.err;
    if (!c.message.empty()) {  // empty: a message CLI11 words itself
        EXPECT_EQ(run.err.substr(0, run.err.find('\n')), expand(c.message, paths)) << c.what;
    } else {
        EXPECT_NE(run.err, "") << c.what;
    }
    EXPECT_EQ(run.out, "") << c.what << ": nothing may be printed for refused input";
}

const char kPair[] = "0.2,0.8\n0.9,0.4\n";

INSTANTIATE_TEST_SUITE_P(
    EveryKind, RefusedInput,
    ::testing::Values(
        BadInput{"non-numeric cell",
                 {"contify", "@a"},
                 {{"a", "0.1,0.2\n0.3,abc\n"}},
                 "",
                 1,
                 "@a:2:2: not a number: abc"},
        BadInput{"NaN is refused unless asked for",
                 {"dinorm", "@a"},
                 {{"a", "0.1 nan\n"}},
                 "",
                 1,
                 "@a:1:2: vectors: NaN at row 1, column 2 (--allow-nan passes it on)"},
        BadInput{"infinity",
                 {"cluster", "-k", "1", "-"},
                 {},
                 "1 2\n3 -inf\n",
                 1,
                 "<stdin>:2:2: items: infinite value -inf at row 2, column 2"},
        BadInput{"too large for a double",
                 {"dinorm"},
                 {},
                 "1e400\n",
                 1,
                 "<stdin>:1:1: too large for a double: 1e400"},
        BadInput{"empty cell",
                 {"contify", "@a"},
                 {{"a", "0.1,,0.2\n0.1,0.2,0.3\n"}},
                 "",
                 1,
                 "@a:1:2: empty cell"},
        BadInput{"ragged row",
                 {"dinorm", "@a"},
                 {{"a", "# c\n0.1 0.2\n\n0.3\n"}},
                 "",
                 1,
                 "@a:4: row has 1 value, expected 2 (as on line 2)"},
        BadInput{"membership value above 1",
                 {"contify", "@a", "@b"},
                 {{"a", kPair}, {"b", "0.1,0.2\n0.3,1.5\n"}},
                 "",
                 1,
                 "@b:2:2: second: value 1.5 at row 2, column 2 is outside [0, 1]"},
        BadInput{"negative membership",
                 {"contify", "-"},
                 {},
                 "0.5 -0.25\n0 0\n",
                 1,
                 "<stdin>:1:2: vectors: value -0.25 at row 1, column 2 is outside [0, 1]"},
        BadInput{"signed value below -1",
                 {"dinorm", "-"},
                 {},
                 "0.5\n-1.0000001\n",
                 1,
                 "<stdin>:2:1: vectors: value -1.0000001 at row 2, column 1 is outside [-1, "
                 "1]"},
        BadInput{"mismatched lengths",
                 {"contify", "@a", "@b"},
                 {{"a", kPair}, {"b", "0.1,0.2,0.3\n0.1,0.2,0.3\n"}},
                 "",
                 1,
                 "@b:1: row has 3 values, @a:1 has 2"},
        BadInput{"mismatched row counts",
                 {"contify", "@a", "@b"},
                 {{"a", kPair}, {"b", "0.1,0.2\n"}},
                 "",
                 1,
                 "@b: 1 row, @a has 2"},
        BadInput{"unpaired row",
                 {"contify", "-"},
                 {},
                 "0.1 0.2\n0.3 0.4\n\n0.5 0.6\n",
                 1,
                 "<stdin>:4: odd number of rows (3); with one input, rows are compared in pairs: "
                 "1st with 2nd, 3rd with 4th, ..."},
        BadInput{"empty file",
                 {"contify", "@a", "@b"},
                 {{"a", kPair}, {"b", "# only a comment\n\n"}},
                 "",
                 1,
                 "@b: no rows (only comments or blank lines)"},
        BadInput{"empty standard input",
                 {"dinorm", "-"},
                 {},
                 "",
                 1,
                 "<stdin>: no rows (the input is empty)"},
        BadInput{"missing file",
                 {"dinorm", "/nonexistent/vantor.csv"},
                 {},
                 "",
                 1,
                 "/nonexistent/vantor.csv: cannot open: No such file or directory"},
        BadInput{"seeds narrower than items",
                 {"cluster", "--seeds", "@s", "@a"},
                 {{"s", "1 0\n"}, {"a", "0.1 0.2 0.3\n"}},
                 "",
                 1,
                 "@s:1: seed has 2 values, items in @a have 3"},
        BadInput{"more prototypes than items",
                 {"cluster", "-k", "3", "-"},
                 {},
                 "1 0\n0 0\n0 1\n",
                 1,
                 "<stdin>: -k = 3 is more than the 2 items with a value above 0, the candidates for "
                 "seeds"},
        BadInput{"standard input twice",
                 {"contify", "-", "-"},
                 {},
                 kPair,
                 2,
                 "vantor: standard input ('-') can be read only once"},
        BadInput{"no prototypes asked for",
                 {"cluster", "-"},
                 {},
                 "1 0\n",
                 2,
                 "vantor: cluster: give starting prototypes with --seeds FILE or -k N, or scan "
                 "--k-range A:B"},
        BadInput{"threshold out of range",
                 {"contify", "--threshold", "1.5", "-"},
                 {},
                 kPair,
                 2,
                 "--threshold must be a number in [0, 1], got 1.5"},
        BadInput{"-t is no longer short for --kernel",
                 {"contify", "-t", "type1", "-"},
                 {},
                 kPair,
                 2,
                 "The following argument was not expected: -t"},
        BadInput{"unknown relation", {"contify", "--relation", "sideways", "-"}, {}, kPair, 2, ""},
        BadInput{"mode number out of range", {"dinorm", "--combination", "4"}, {}, "0.5\n", 2, ""},
        BadInput{"zero passes", {"cluster", "-k", "1", "--max-passes", "0"}, {}, "1\n", 2, ""},
        BadInput{"unknown seeding", {"cluster", "-k", "1", "--seeding", "best"}, {}, "1\n", 2, ""},
        BadInput{"zero restarts", {"cluster", "-k", "1", "--restarts", "0"}, {}, "1\n", 2, ""},
        BadInput{"negative random seed",
                 {"cluster", "-k", "1", "--random-seed", "-1"},
                 {},
                 "1\n",
                 2,
                 ""},
        BadInput{"more prototypes than item parts",
                 {"cluster", "--two-sided", "-k", "4", "-"},
                 {},
                 "1 -1\n0 0\n0 1\n",
                 1,
                 "<stdin>: -k = 4 is more than the 3 item parts with a value other than 0, the "
                 "candidates for seeds"},
        BadInput{"a k range beyond the items",
                 {"cluster", "--k-range", "2:4", "-"},
                 {},
                 "1 0\n0 1\n0 0\n",
                 1,
                 "<stdin>: --k-range = 4 is more than the 2 items with a value above 0, the "
                 "candidates for seeds"},
        BadInput{"an empty k range",
                 {"cluster", "--k-range", "5:3", "-"},
                 {},
                 "1\n",
                 2,
                 "vantor: --k-range is empty: 3 is below 5"},
        BadInput{"a k range from 1",
                 {"cluster", "--k-range", "1:3", "-"},
                 {},
                 "1\n",
                 2,
                 "vantor: --k-range starts at 2 at the least (a silhouette needs a second "
                 "prototype); got '1:3'"},
        BadInput{"a k range that is not two numbers",
                 {"cluster", "--k-range", "2-5", "-"},
                 {},
                 "1\n",
                 2,
                 "vantor: --k-range must be two whole numbers FIRST:LAST, such as 2:10; got '2-5'"},
        BadInput{"a k range with -k",
                 {"cluster", "--k-range", "2:3", "-k", "2", "-"},
                 {},
                 "1\n",
                 2,
                 ""},
        BadInput{"seeds and -k together",
                 {"cluster", "-k", "1", "--seeds", "@a", "-"},
                 {{"a", "1\n"}},
                 "1\n",
                 2,
                 ""},
        BadInput{"no subcommand",
                 {},
                 {},
                 "",
                 2,
                 "vantor: a subcommand is required (contify, dinorm, cluster, demo)"}));

// What a hostile or careless user hands the tool: text that reads two ways,
// NaN, options with trailing junk, names that do not exist.
INSTANTIATE_TEST_SUITE_P(
    Hostile, RefusedInput,
    ::testing::Values(
        BadInput{"decimal commas in one column read as two values",
                 {"cluster", "-k", "2", "-"},
                 {},
                 "0,5\n0,7\n-1,25\n",
                 1,
                 "<stdin>:1: \"0,5\" may be one number with a decimal comma or two values; say "
                 "which with --decimal , or --delimiter ,"},
        BadInput{"semicolons between values",
                 {"dinorm", "-"},
                 {},
                 "# sheet\n0.5;0.25\n",
                 1,
                 "<stdin>:2: ';' between values; to read them give --delimiter ';'"},
        BadInput{"semicolons and decimal commas",
                 {"cluster", "-k", "1", "@a"},
                 {{"a", "0,5;0,25\n"}},
                 "",
                 1,
                 "@a:1: ';' between values; to read them give --delimiter ';' (and --decimal , "
                 "for decimal commas)"},
        BadInput{"a semicolon in a later row",
                 {"contify", "-"},
                 {},
                 "0.5,0.25\n0.5;0.25\n",
                 1,
                 "<stdin>:2: ';' between values; to read them give --delimiter ';'"},
        BadInput{"decimal commas under --delimiter ';' alone",
                 {"dinorm", "--delimiter", ";", "-"},
                 {},
                 "0,5;0,25\n",
                 1,
                 "<stdin>:1:1: not a number: 0,5 (for a decimal comma give --decimal ,)"},
        BadInput{"a decimal point under --decimal ,",
                 {"dinorm", "--decimal", ",", "-"},
                 {},
                 "0,5 0.25\n",
                 1,
                 "<stdin>:1:2: not a number: 0.25 (with --decimal , the decimal mark is ',')"},
        BadInput{"thousands separator under --decimal ,",
                 {"cluster", "-k", "1", "--decimal", ",", "-"},
                 {},
                 "1.000,5\n",
                 1,
                 "<stdin>:1:1: not a number: 1.000,5 (with --decimal , the decimal mark is ',')"},
        BadInput{"two tabs in a row under --delimiter tab",
                 {"dinorm", "--delimiter", "tab", "-"},
                 {},
                 "0.5\t\t0.25\n",
                 1,
                 "<stdin>:1:2: empty cell"},
        BadInput{"comma both separating and marking decimals",
                 {"dinorm", "--delimiter", ",", "--decimal", ",", "-"},
                 {},
                 "0,5\n",
                 2,
                 "vantor: --delimiter , and --decimal , cannot be used together"},
        BadInput{"unknown delimiter",
                 {"dinorm", "--delimiter", "|", "-"},
                 {},
                 "0.5\n",
                 2,
                 "--delimiter must be ',', ';', tab or space, got '|'"},
        BadInput{"unknown decimal mark",
                 {"dinorm", "--decimal", "x", "-"},
                 {},
                 "0.5\n",
                 2,
                 "--decimal must be '.' or ',', got 'x'"},
        BadInput{"NaN among the items, after a comment",
                 {"cluster", "-k", "1", "-"},
                 {},
                 "0.1 0.2\n# note\n0.3 0.4\n0.5 NaN\n",
                 1,
                 "<stdin>:4:2: items: NaN at row 3, column 2 (--allow-nan passes it on)"},
        BadInput{"NaN among the seeds",
                 {"cluster", "--seeds", "@s", "@a"},
                 {{"s", "1 0\n-nan 1\n"}, {"a", "0.1 0.2\n"}},
                 "",
                 1,
                 "@s:2:1: seeds: NaN at row 2, column 1 (--allow-nan passes it on)"},
        BadInput{"NaN in the second vectors",
                 {"contify", "@a", "@b"},
                 {{"a", kPair}, {"b", "0.1,0.2\n0.3,nan\n"}},
                 "",
                 1,
                 "@b:2:2: second: NaN at row 2, column 2 (--allow-nan passes it on)"},
        BadInput{"--allow-nan lets NaN through, not infinity",
                 {"dinorm", "--allow-nan", "-"},
                 {},
                 "nan inf\n",
                 1,
                 "<stdin>:1:2: vectors: infinite value inf at row 1, column 2"},
        BadInput{"a huge cell of binary is echoed short and escaped",
                 {"dinorm", "-"},
                 {},
                 "\x1b[2J\x01\xff" + std::string(100000, 'x') + "\n",
                 1,
                 "<stdin>:1:1: not a number: \\x1B[2J\\x01\\xFF" + std::string(25, 'x') +
                     "... (100006 bytes)"},
        BadInput{"a folder as input",
                 {"dinorm", VANTOR_DATA_DIR},
                 {},
                 "",
                 1,
                 std::string(VANTOR_DATA_DIR) + ": is a directory"},
        BadInput{"a threshold with trailing junk",
                 {"contify", "--threshold", "0.5abc", "-"},
                 {},
                 kPair,
                 2,
                 "--threshold must be a number in [0, 1], got 0.5abc"},
        BadInput{"a NaN threshold",
                 {"cluster", "-k", "1", "--threshold", "NaN", "-"},
                 {},
                 "1\n",
                 2,
                 "--threshold must be a number in [0, 1], got nan"},
        BadInput{"a NaN neutral band",
                 {"dinorm", "--neutral-band", "nan", "-"},
                 {},
                 "0.5\n",
                 2,
                 "--neutral-band must be a number in [0, 1], got nan"},
        BadInput{"a threshold beyond the doubles",
                 {"dinorm", "--threshold", "1e400", "-"},
                 {},
                 "0.5\n",
                 2,
                 "--threshold must be a number in [0, 1], got 1e400"},
        BadInput{"unknown subcommand",
                 {"frobnicate", "-"},
                 {},
                 "",
                 2,
                 "vantor: unknown subcommand 'frobnicate' (contify, dinorm, cluster, demo)"},
        BadInput{"unknown output format",
                 {"dinorm", "--format", "json", "-"},
                 {},
                 "0.5\n",
                 2,
                 "--format must be csv or table, got 'json'"}));

// The library's input policy, word for word as every host says it: sizes and
// k checked before anything is allocated, seeds in [0, 2^64), exact mode
// names, whole numbers, and input that is not a text table at all.
const char kNineRows[] = "1 0\n0 1\n1 1\n0.5 0\n0 0.5\n0.2 0.2\n1 0.5\n0.5 1\n0.3 0.9\n";

INSTANTIATE_TEST_SUITE_P(
    Policy, RefusedInput,
    ::testing::Values(
        BadInput{"k far beyond the rows, before k rows are allocated",
                 {"cluster", "-k", "1000000000", "-"},
                 {},
                 kNineRows,
                 1,
                 "<stdin>: -k = 1000000000 is more than the 9 items with a value above 0, the "
                 "candidates for seeds"},
        BadInput{"k beyond int",
                 {"cluster", "-k", "2147483648", "-"},
                 {},
                 kNineRows,
                 2,
                 "-k must be a whole number from 1 to 2147483647, got 2147483648"},
        BadInput{"seed of 2^64",
                 {"cluster", "-k", "1", "--random-seed", "18446744073709551616", "-"},
                 {},
                 kNineRows,
                 2,
                 "--random-seed must be a whole number in [0, 2^64), got 18446744073709551616"},
        BadInput{"seed far beyond 2^64",
                 {"cluster", "-k", "1", "--random-seed", "1" + std::string(30, '0'), "-"},
                 {},
                 kNineRows,
                 2,
                 "--random-seed must be a whole number in [0, 2^64), got 1" +
                     std::string(30, '0')},
        BadInput{"negative seed",
                 {"cluster", "-k", "1", "--random-seed", "-1", "-"},
                 {},
                 kNineRows,
                 2,
                 "--random-seed must be a whole number in [0, 2^64), got -1"},
        BadInput{"seed with a sign",
                 {"cluster", "-k", "1", "--random-seed", "+7", "-"},
                 {},
                 kNineRows,
                 2,
                 "--random-seed must be a whole number in [0, 2^64), got +7"},
        BadInput{"mode name in other case",
                 {"contify", "--relation", "Mutual", "-"},
                 {},
                 kPair,
                 2,
                 "--relation must be one of mutual, first_in_second, second_in_first; got "
                 "\"Mutual\""},
        BadInput{"mode by its number",
                 {"dinorm", "--combination", "2", "-"},
                 {},
                 "0.5\n",
                 2,
                 "--combination must be one of dominant, certainty_factor, sum, reinforced_sum; "
                 "got \"2\""},
        BadInput{"mode with a hyphen",
                 {"dinorm", "-a", "extreme", "-c", "certainty-factor", "-"},
                 {},
                 "0.5\n",
                 2,
                 "--combination must be one of dominant, certainty_factor, sum, reinforced_sum; "
                 "got \"certainty-factor\""},
        BadInput{"unknown seeding rule",
                 {"cluster", "-k", "1", "--seeding", "best", "-"},
                 {},
                 kNineRows,
                 2,
                 "--seeding must be one of farthest, kmeans++, first; got \"best\""},
        BadInput{"restarts not a number",
                 {"cluster", "-k", "1", "--restarts", "abc", "-"},
                 {},
                 kNineRows,
                 2,
                 "--restarts must be a whole number from 1 to 2147483647, got abc"},
        BadInput{"no passes",
                 {"cluster", "-k", "1", "--max-passes", "0", "-"},
                 {},
                 kNineRows,
                 2,
                 "--max-passes must be a whole number from 1 to 2147483647, got 0"},
        BadInput{"decimal commas between blanks under the defaults",
                 {"dinorm", "-"},
                 {},
                 "0,5 0,2\n",
                 1,
                 "<stdin>:1:2: not a number: 5 0 (for a decimal comma give --decimal ,)"},
        BadInput{"UTF-16 with its byte-order mark",
                 {"dinorm", "-"},
                 {},
                 std::string("\xFF\xFE" "0\0.\0" "5\0\n\0", 10),
                 1,
                 "<stdin>:1: the input looks like UTF-16 text; save it as UTF-8 or ASCII (for "
                 "example with iconv -f UTF-16 -t UTF-8)"},
        BadInput{"UTF-16 without a mark",
                 {"dinorm", "-"},
                 {},
                 std::string("0\0.\0" "5\0\n\0", 8),
                 1,
                 "<stdin>:1: the input looks like UTF-16 text; save it as UTF-8 or ASCII (for "
                 "example with iconv -f UTF-16 -t UTF-8)"},
        BadInput{"binary with NUL bytes and a semicolon",
                 {"dinorm", "-"},
                 {},
                 std::string("\x8F\x01;\xC3\0\x12\x7F\xFE\x05\x33\n", 11),
                 1,
                 "<stdin>:1: binary data, not a table of numbers (a NUL byte at column 5)"},
        BadInput{"binary with a semicolon, no NUL: no advice about ';'",
                 {"dinorm", "-"},
                 {},
                 "\x8F\x01;\xC3\x12\n",
                 1,
                 "<stdin>:1:1: not a number: \\x8F\\x01;\\xC3\\x12"}));

// --help and --version write through another stream than the results; a
// full disk there is a failure too.
TEST(Help, UnwrittenHelpIsAFailure) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--help"}, {"cluster", "--help"}, {"--version"}}) {
        vt::Plumbing full;
        full.stdoutPath = "/dev/full";
        const vt::ToolRun run = vt::runTool(args, "", full);
        EXPECT_EQ(run.status, 3) << args[0];
        EXPECT_EQ(run.err, "vantor: cannot write the output: No space left on device\n");
    }
}

// The largest seed is a seed like any other.
TEST(Seeds, TheWholeRangeIsAccepted) {
    for (const char* seed : {"0", "18446744073709551615"}) {
        const vt::ToolRun run =
            vt::runTool({"cluster", "-k", "2", "--random-seed", seed, "-"}, kNineRows);
        EXPECT_EQ(run.status, 0) << seed << ": " << run.err;
    }
}

// CLI11 words its own messages; for those only the status is pinned down.
TEST(UsageErrors, OptionMessagesNameTheOption) {
    const vt::ToolRun run = vt::runTool({"contify", "--relation", "sideways", "-"}, kPair);
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("--relation"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("sideways"), std::string::npos) << run.err;
}

TEST(Help, EverySubcommandHasHelpWithAnExample) {
    for (const char* command : {"contify", "dinorm", "cluster", "demo"}) {
        const vt::ToolRun run = vt::runTool({command, "--help"});
        EXPECT_EQ(run.status, 0) << command;
        EXPECT_NE(run.out.find("Usage: vantor " + std::string(command)), std::string::npos)
            << run.out;
        EXPECT_NE(run.out.find("Example:\n  vantor " + std::string(command)), std::string::npos)
            << run.out;
    }
    const vt::ToolRun top = vt::runTool({"--help"});
    EXPECT_EQ(top.status, 0);
    for (const char* command : {"contify", "dinorm", "cluster", "demo"}) {
        EXPECT_NE(top.out.find(command), std::string::npos) << top.out;
    }
}

// The manual page is written by hand: every option a command's --help shows
// must be in it, so that a new option cannot be left out of it.
TEST(Help, TheManualPageNamesEveryOption) {
    std::ifstream in(VANTOR_MAN_PAGE);
    ASSERT_TRUE(in) << VANTOR_MAN_PAGE;
    std::string page((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // roff writes a hyphen in an option as "\-".
    for (std::size_t at; (at = page.find("\\-")) != std::string::npos;) page.erase(at, 1);
    for (const char* command : {"contify", "dinorm", "cluster", "demo"}) {
        EXPECT_NE(page.find(std::string(".B ") + command), std::string::npos) << command;
        const std::string help = vt::runTool({command, "--help"}).out;
        for (std::size_t at = 0; (at = help.find("  -", at)) != std::string::npos;) {
            at += 2;
            const std::size_t end = help.find_first_of(" \n", at);
            // "-s,--seeds" names two spellings; each must be there.
            std::string spellings = help.substr(at, end - at) + ",";
            for (std::size_t comma; (comma = spellings.find(',')) != std::string::npos;
                 spellings.erase(0, comma + 1)) {
                const std::string option = spellings.substr(0, comma);
                EXPECT_NE(page.find(option), std::string::npos) << command << " " << option;
            }
        }
    }
}

TEST(Output, TableFormatAndNoHeader) {
    const vt::ToolRun csv = vt::runTool({"dinorm", "--no-header"}, "0.5 -0.25\n");
    EXPECT_EQ(csv.status, 0) << csv.err;
    EXPECT_EQ(csv.out, "-0.25,0.5,0.5\n");
    const vt::ToolRun table = vt::runTool({"dinorm", "--format", "table"}, "0.5 -0.25\n-1 1\n");
    EXPECT_EQ(table.status, 0) << table.err;
    EXPECT_EQ(table.out,
              "negative  positive  combined\n"
              "   -0.25       0.5       0.5\n"
              "      -1         1         0\n");
}

TEST(Demo, RunsEveryServiceOnTheBundledData) {
    const vt::ToolRun run = vt::runTool({"demo", "--data", VANTOR_DATA_DIR});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    for (const char* shown : {"$ vantor contify", "$ vantor dinorm", "$ vantor cluster",
                              "$ vantor cluster --two-sided", "converged"}) {
        EXPECT_NE(run.out.find(shown), std::string::npos) << shown;
    }
}

// The echoed command lines name the folder the demo read, so they run as shown.
TEST(Demo, EchoesTheDataFolderItRead) {
    const std::string dir = vt::writeFile("demo", "") + " copy";  // unique, with a space
    std::filesystem::create_directories(dir);
    for (const char* table : {"observed", "required", "evidence", "profiles", "seeds"}) {
        std::ifstream in(std::string(VANTOR_DATA_DIR) + "/" + table + ".csv");
        std::ofstream(dir + "/" + table + ".csv") << in.rdbuf();
    }
    const vt::ToolRun run = vt::runTool({"demo", "--data", dir});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.find(" data/"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("'" + dir + "/profiles.csv'"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("--combination certainty_factor"), std::string::npos) << run.out;
}

TEST(Demo, AMissingDataFolderIsReported) {
    const vt::ToolRun run = vt::runTool({"demo", "--data", "/nonexistent"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err.rfind("/nonexistent/", 0), 0u) << run.err;
}

}  // namespace
