#include "mode_names.h"

#include <vantor/vantor.h>

#include <algorithm>
#include <cctype>

namespace vantor_tool {

namespace {

template <std::size_t N>
ModeNames tableOf(const char* const (&names)[N]) {
    return ModeNames(names, names + N);
}

}  // namespace

const ModeNames& relationNames() {
    static const char* const list[] = VANTOR_RELATION_NAMES;
    static const ModeNames names = tableOf(list);
    return names;
}

const ModeNames& kernelNames() {
    static const char* const list[] = VANTOR_KERNEL_NAMES;
    static const ModeNames names = tableOf(list);
    return names;
}

const ModeNames& aggregationNames() {
    static const char* const list[] = VANTOR_AGGREGATION_NAMES;
    static const ModeNames names = tableOf(list);
    return names;
}

const ModeNames& combinationNames() {
    static const char* const list[] = VANTOR_COMBINATION_NAMES;
    static const ModeNames names = tableOf(list);
    return names;
}

std::string modeKey(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) {
        return c == '-' ? '_' : static_cast<char>(std::tolower(c));
    });
    return text;
}

}  // namespace vantor_tool
