#include "cell_text.h"

namespace vantor_tool {

std::string shownText(std::string_view text) {
    static const char hex[] = "0123456789ABCDEF";
    std::string shown;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char byte = static_cast<unsigned char>(text[i]);
        std::string piece;
        if (byte >= 0x20 && byte < 0x7F) {
            piece = static_cast<char>(byte);
        } else {
            piece = {'\\', 'x', hex[byte >> 4], hex[byte & 0x0F]};
        }
        if (shown.size() + piece.size() > kShownCharacters) {
            return shown + "... (" + std::to_string(text.size()) + " bytes)";
        }
        shown += piece;
    }
    return shown;
}

}  // namespace vantor_tool
