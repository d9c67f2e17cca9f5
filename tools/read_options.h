// How the tool reads the numbers in a table: which character separates the
// values, which one marks the decimals, and whether NaN may pass.
#ifndef VANTOR_TOOLS_READ_OPTIONS_H
#define VANTOR_TOOLS_READ_OPTIONS_H

// Only the options need CLI11; the reader that takes them does not.
namespace CLI {
class App;
}

namespace vantor_tool {

enum class Delimiter {
    Auto,       // commas when a line has one, otherwise blanks
    Comma,      // ',' only
    Semicolon,  // ';' only
    Tab,        // one tab between two values
    Blank       // runs of spaces and tabs
};

struct ReadOptions {
    Delimiter delimiter = Delimiter::Auto;
    char decimalMark = '.';
    bool allowNan = false;  // pass NaN cells on to the library instead of refusing them
};

// --delimiter, --decimal and --allow-nan.
void addReadOptions(CLI::App* command, ReadOptions& options);

}  // namespace vantor_tool

#endif
