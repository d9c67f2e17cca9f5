// Echoing what a user wrote back into a message without letting it flood the
// terminal: a cell of a hostile file may be megabytes of binary.
#ifndef VANTOR_TOOLS_CELL_TEXT_H
#define VANTOR_TOOLS_CELL_TEXT_H

#include <cstddef>
#include <string>
#include <string_view>

namespace vantor_tool {

// How many characters of a cell a message shows at most, escapes included.
constexpr std::size_t kShownCharacters = 40;

// `text` as a message may show it: printable ASCII as it is, every other byte
// (control characters, terminal escapes, bytes of UTF-8 or binary) as \xHH,
// at most kShownCharacters of them; a longer text is cut and followed by
// "... (N bytes)" so the reader knows it was cut and how long it was.
std::string shownText(std::string_view text);

}  // namespace vantor_tool

#endif
