#include "number_format.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <system_error>

namespace vantor_tool {

std::string formatNumber(double x) {
    // to_chars without a precision gives the shortest round-trip form and
    // never depends on the locale, unlike printf.
    char buffer[64];
    const std::to_chars_result r = std::to_chars(buffer, buffer + sizeof buffer, x);
    return std::string(buffer, r.ptr);
}

NumberText readNumber(std::string_view text, char decimalMark, double* value) {
    // from_chars refuses a leading '+', which spreadsheets sometimes write.
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
            return NumberText::NotANumber;
        }
    }
    if (text.empty()) return NumberText::NotANumber;
    std::string copy(text);
    if (decimalMark != '.') {
        if (copy.find('.') != std::string::npos) return NumberText::NotANumber;
        const std::size_t mark = copy.find(decimalMark);
        if (mark != std::string::npos) copy[mark] = '.';
    }
    double parsed = 0.0;
    const char* end = copy.data() + copy.size();
    const std::from_chars_result r = std::from_chars(copy.data(), end, parsed);
    if (r.ptr != end) return NumberText::NotANumber;
    if (r.ec == std::errc::result_out_of_range) {
        // The syntax is a number's; only its size is out of reach. strtod
        // (the tool never changes the C locale) says which way: overflow
        // gives HUGE_VAL, underflow the correctly rounded tiny value or zero.
        parsed = std::strtod(copy.c_str(), nullptr);
        if (std::isinf(parsed)) return NumberText::TooLarge;
    } else if (r.ec != std::errc()) {
        return NumberText::NotANumber;
    }
    *value = parsed;
    if (std::isnan(parsed)) return NumberText::NaN;
    if (std::isinf(parsed)) return NumberText::Infinite;
    return NumberText::Finite;
}

}  // namespace vantor_tool
