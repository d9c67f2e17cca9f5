// The one kind of failure the tool reports for input it refuses: a message
// that starts with the place of the problem (file:line:column when there is
// one) and says what was found there.
#ifndef VANTOR_TOOLS_INPUT_ERROR_H
#define VANTOR_TOOLS_INPUT_ERROR_H

#include <stdexcept>
#include <string>

namespace vantor_tool {

class InputError : public std::runtime_error {
public:
    explicit InputError(const std::string& message) : std::runtime_error(message) {}
};

// A command line that names no usable input, found only after parsing (for
// example standard input named twice). Exits like any other usage error.
class UsageError : public std::runtime_error {
public:
    explicit UsageError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace vantor_tool

#endif
