#include "run_tool.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

extern char** environ;

namespace vt {

namespace {

// Every file a test writes lives in one private folder, made on first use
// under the test temporary folder (TEST_TMPDIR, TMPDIR or /tmp) and removed
// with all it holds when the program ends, whether its tests passed or not,
// so that the suite leaves nothing behind.
class ScratchFolder {
public:
    ScratchFolder() = default;
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    ~ScratchFolder() {
        std::error_code ignored;
        if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
    }

    const std::string& path() {
        if (path_.empty()) {
            std::string pattern = ::testing::TempDir() + "vantor_cli_XXXXXX";
            if (::mkdtemp(pattern.data()) == nullptr) {
                throw std::runtime_error("cannot make a scratch folder in " +
                                         ::testing::TempDir());
            }
            path_ = pattern;
        }
        return path_;
    }

private:
    std::string path_;
};

ScratchFolder scratchFolder;

std::string scratchPath(const std::string& name) {
    static int counter = 0;
    return scratchFolder.path() + "/" + std::to_string(++counter) + "_" + name;
}

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

std::string writeFile(const std::string& name, const std::string& text) {
    const std::string path = scratchPath(name);
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

ToolRun runTool(const std::vector<std::string>& args, const std::string& input,
                const Plumbing& plumbing) {
    // Files rather than pipes for all three streams: no deadlock however
    // much the tool writes, and nothing to poll.
    const std::string in = plumbing.stdinPath.empty() ? writeFile("stdin", input)
                                                      : plumbing.stdinPath;
    const std::string out =
        plumbing.stdoutPath.empty() ? scratchPath("stdout") : plumbing.stdoutPath;
    const std::string err = scratchPath("stderr");

    std::vector<std::string> argv{VANTOR_CLI_PATH};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<char*> pointers;
    for (std::string& a : argv) pointers.push_back(a.data());
    pointers.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (plumbing.closedStdin) {
        posix_spawn_file_actions_addclose(&actions, 0);
    } else {
        posix_spawn_file_actions_addopen(&actions, 0, in.c_str(), O_RDONLY, 0);
    }
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_t pid = 0;
    const int spawned =
        posix_spawn(&pid, argv[0].c_str(), &actions, nullptr, pointers.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) throw std::runtime_error("cannot start " + argv[0]);

    int wstatus = 0;
    ::waitpid(pid, &wstatus, 0);
    ToolRun run;
    run.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1;
    if (plumbing.stdoutPath.empty()) run.out = slurp(out);
    run.err = slurp(err);
    return run;
}

std::vector<Cells> blocksOf(const std::string& out) {
    std::vector<Cells> blocks(1);
    std::istringstream lines(out);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.empty()) {
            blocks.emplace_back();
            continue;
        }
        std::vector<std::string> cells;
        std::istringstream fields(line);
        std::string cell;
        while (std::getline(fields, cell, ',')) cells.push_back(cell);
        blocks.back().push_back(cells);
    }
    return blocks;
}

double numberOf(const std::string& cell) {
    double value = 0.0;
    const auto r = std::from_chars(cell.data(), cell.data() + cell.size(), value);
    if (r.ec != std::errc() || r.ptr != cell.data() + cell.size()) {
        ADD_FAILURE() << "not a number: \"" << cell << "\"";
    }
    return value;
}

}  // namespace vt
