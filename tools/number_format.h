// Turning doubles into text and back without losing a bit.
#ifndef VANTOR_TOOLS_NUMBER_FORMAT_H
#define VANTOR_TOOLS_NUMBER_FORMAT_H

#include <string>
#include <string_view>

namespace vantor_tool {

// The shortest decimal text that reads back as exactly x ("0.95", "-0",
// "1e-300", "nan", "inf"), so every printed result round-trips.
std::string formatNumber(double x);

// Parses a whole cell as a finite double (an optional leading '+' allowed);
// false for anything else, trailing characters, NaN and infinities included.
bool parseFiniteNumber(std::string_view text, double* value);

}  // namespace vantor_tool

#endif
