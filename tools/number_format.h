// Turning doubles into text and back without losing a bit.
#ifndef VANTOR_TOOLS_NUMBER_FORMAT_H
#define VANTOR_TOOLS_NUMBER_FORMAT_H

#include <string>
#include <string_view>

namespace vantor_tool {

// The shortest decimal text that reads back as exactly x ("0.95", "-0",
// "1e-300", "nan", "inf"), so every printed result round-trips.
std::string formatNumber(double x);

// What a piece of text turned out to be when read as a number.
enum class NumberText {
    Finite,     // a finite double, rounded to nearest (underflow gives 0 or a subnormal)
    NaN,        // "nan" in any case, with or without a sign
    Infinite,   // "inf" or "infinity"
    TooLarge,   // digits beyond the largest double, e.g. 1e400
    NotANumber  // anything else: empty, trailing characters, the wrong decimal mark
};

// Reads the whole of `text` as one number in the C locale's syntax, except
// that `decimalMark` ('.' or ',') separates the fraction; with ',' a '.' is
// refused rather than taken for a thousands separator or a decimal point.
// An optional leading '+' is allowed. Sets *value for Finite, NaN and
// Infinite. Numbers too small for a double round to zero (keeping their
// sign) like any other rounding: the tool accepts 1e-400 as 0 in cells and
// options alike.
NumberText readNumber(std::string_view text, char decimalMark, double* value);

}  // namespace vantor_tool

#endif
