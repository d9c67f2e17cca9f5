#include "policy_text.h"

namespace vantor_tool {

namespace {

// Asks for the length first, as snprintf allows, then fills a string of it.
template <class Write>
std::string filled(Write write) {
    std::string text(write(nullptr, 0), '\0');
    write(&text[0], text.size() + 1);
    return text;
}

}  // namespace

std::string refusalText(const vantor_refusal& refusal, int use, const std::string& name,
                        std::int64_t candidates, bool twoSided) {
    return filled([&](char* buffer, std::size_t capacity) {
        return vantor_refusal_text(&refusal, use, name.c_str(), 1, candidates, twoSided ? 1 : 0,
                                   buffer, capacity);
    });
}

std::string messageText(int message, const std::string& name, const std::string& value,
                        int family, std::int64_t low, std::int64_t high) {
    return filled([&](char* buffer, std::size_t capacity) {
        return vantor_message_text(message, name.c_str(), value.c_str(), family, low, high, buffer,
                                   capacity);
    });
}

}  // namespace vantor_tool
