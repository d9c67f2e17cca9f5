// Runs the built vantor tool as a child process, the way a shell would, and
// reads its output back into numbers.
#ifndef VANTOR_TESTS_CLI_RUN_TOOL_H
#define VANTOR_TESTS_CLI_RUN_TOOL_H

#include <string>
#include <vector>

namespace vt {

struct ToolRun {
    int status = -1;  // exit status, or -1 when the tool did not exit normally
    std::string out, err;
};

// Standard streams a shell can hand the tool other than text and files.
struct Plumbing {
    bool closedStdin = false;  // as `<&-`
    std::string stdinPath;     // a file or folder to read instead of `input`
    std::string stdoutPath;    // where the output goes (e.g. /dev/full) instead of `out`
};

// Runs `vantor args...` with `input` as its standard input.
ToolRun runTool(const std::vector<std::string>& args, const std::string& input = "",
                const Plumbing& plumbing = {});

// Writes `text` to a fresh file in the tests' private scratch folder, which
// is removed when the test program ends; returns its path.
std::string writeFile(const std::string& name, const std::string& text);

// Splits output into blocks (separated by blank lines), rows and cells.
using Cells = std::vector<std::vector<std::string>>;
std::vector<Cells> blocksOf(const std::string& out);

// Parses a printed number exactly as the tool's reader would.
double numberOf(const std::string& cell);

}  // namespace vt

#endif
