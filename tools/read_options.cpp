#include "read_options.h"

#include <CLI/CLI.hpp>
#include <map>

#include "cell_text.h"

namespace vantor_tool {

void addReadOptions(CLI::App* command, ReadOptions& options) {
    // Messages are thrown from the callbacks so that they reach the user in
    // the tool's words, not CLI11's "Check ... in {...} FAILED".
    command
        ->add_option_function<std::string>(
            "--delimiter",
            [&options](const std::string& text) {
                static const std::map<std::string, Delimiter> names = {
                    {",", Delimiter::Comma}, {"comma", Delimiter::Comma},
                    {";", Delimiter::Semicolon}, {"semicolon", Delimiter::Semicolon},
                    {"\t", Delimiter::Tab}, {"tab", Delimiter::Tab}, {"\\t", Delimiter::Tab},
                    {"space", Delimiter::Blank}, {"auto", Delimiter::Auto}};
                const auto found = names.find(text);
                if (found == names.end()) {
                    throw CLI::ValidationError("--delimiter must be ',', ';', tab or space, got '" +
                                               shownText(text) + "'");
                }
                options.delimiter = found->second;
            },
            "What separates the values of a row: ',', ';', tab (one tab each) or space (runs of "
            "blanks). Default: commas where a line has one, otherwise blanks")
        ->option_text(",|;|tab|space");
    command
        ->add_option_function<std::string>(
            "--decimal",
            [&options](const std::string& text) {
                if (text != "." && text != ",") {
                    throw CLI::ValidationError("--decimal must be '.' or ',', got '" +
                                               shownText(text) + "'");
                }
                options.decimalMark = text[0];
            },
            "The decimal mark: '.' (default) or ','. With ',' a '.' in a number is refused, and "
            "the values of a row are separated by blanks unless --delimiter says otherwise")
        ->option_text(".|,");
    command->add_flag("--allow-nan", options.allowNan,
                      "Pass NaN values to the library as it defines them instead of refusing "
                      "them");
}

}  // namespace vantor_tool
