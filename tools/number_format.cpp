#include "number_format.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace vantor_tool {

std::string formatNumber(double x) {
    // to_chars without a precision gives the shortest round-trip form and
    // never depends on the locale, unlike printf.
    char buffer[64];
    const std::to_chars_result r = std::to_chars(buffer, buffer + sizeof buffer, x);
    return std::string(buffer, r.ptr);
}

bool parseFiniteNumber(std::string_view text, double* value) {
    // from_chars refuses a leading '+', which spreadsheets sometimes write.
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && (text.front() == '+' || text.front() == '-')) return false;
    }
    if (text.empty()) return false;
    double parsed = 0.0;
    const char* end = text.data() + text.size();
    const std::from_chars_result r = std::from_chars(text.data(), end, parsed);
    if (r.ec != std::errc() || r.ptr != end) return false;
    if (!std::isfinite(parsed)) return false;
    *value = parsed;
    return true;
}

}  // namespace vantor_tool
