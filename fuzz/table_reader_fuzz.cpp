// Fuzz target for the command-line tool's table reader. The first byte picks
// the reading settings, the rest is the text. Whatever the bytes, the reader
// either returns a well-formed table of numbers it may hold, or refuses with
// a message that stays short and printable however long or binary the text.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include "harness.h"
#include "input_error.h"
#include "table_reader.h"

namespace {

[[noreturn]] void failed(const char* what, const std::string& detail) {
    std::fprintf(stderr, "vantor fuzz check failed: %s\n%s\n", what, detail.c_str());
    std::abort();
}

// Room for the source name, the place, the problem, a 40-character echo
// with its length, and a hint naming an option.
constexpr std::size_t kLongestMessage = 300;

void checkMessage(const std::string& message) {
    if (message.size() > kLongestMessage) failed("message too long", message);
    for (const char c : message) {
        if (c < 0x20 || c > 0x7E) failed("unprintable byte in a message", message);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vantor_tool;
    const std::uint8_t settings = size > 0 ? data[0] : 0;
    ReadOptions options;
    options.delimiter = static_cast<Delimiter>(settings % 5);
    options.decimalMark = (settings & 0x08) != 0 ? ',' : '.';
    options.allowNan = (settings & 0x10) != 0;
    const std::string text =
        size > 0 ? std::string(reinterpret_cast<const char*>(data) + 1, size - 1) : std::string();

    std::istringstream in(text);
    try {
        const Table table = readTable(in, "fuzz", options, "items");
        if (table.rows() == 0 || table.width == 0) failed("an empty table was returned", text);
        if (table.values.size() != table.rows() * table.width) failed("a ragged table", text);
        for (const double v : table.values) {
            if (!std::isfinite(v) && !(options.allowNan && std::isnan(v))) {
                failed("a value the table may not hold", text);
            }
        }
    } catch (const InputError& e) {
        checkMessage(e.what());
    } catch (const UsageError& e) {
        if (options.delimiter != Delimiter::Comma || options.decimalMark != ',') {
            failed("a usage error for settings that go together", e.what());
        }
        checkMessage(e.what());
    }
    return 0;
}
