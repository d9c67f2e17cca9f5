// The library's policy texts as the tool prints them: the words every host
// uses (vantor/input_policy.h), with the tool's names for its arguments and
// rows and columns counted from 1.
#ifndef VANTOR_TOOLS_POLICY_TEXT_H
#define VANTOR_TOOLS_POLICY_TEXT_H

#include <vantor/input_policy.h>

#include <cstdint>
#include <string>

namespace vantor_tool {

// A refused table, size or k, for the table or option called `name`.
std::string refusalText(const vantor_refusal& refusal, int use, const std::string& name,
                        std::int64_t candidates = 0, bool twoSided = false);

// One of the library's messages about an option's value.
std::string messageText(int message, const std::string& name, const std::string& value,
                        int family = -1, std::int64_t low = 0, std::int64_t high = 0);

}  // namespace vantor_tool

#endif
