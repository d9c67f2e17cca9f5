// The input policy every host calls (vantor/input_policy.h). Nothing here
// allocates: texts are written straight into the caller's buffer, so a
// host can ask for a message even when memory has run out.
#include "vantor/input_policy.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <cstring>
#include <limits>
#include <system_error>

namespace {

constexpr int kUses = 3;
const char* const kRanges[kUses] = VANTOR_USE_RANGES;
const char* const kTexts[] = VANTOR_MESSAGE_TEXTS;
constexpr int kMessages = static_cast<int>(sizeof kTexts / sizeof *kTexts);

// The range of a use: values v with low <= v <= high. Clustering data has
// no bounds of its own beyond being finite, which the caller tests first.
struct Range {
    double low, high;
};
constexpr double kInfinity = std::numeric_limits<double>::infinity();
constexpr Range kUseRanges[kUses] = {{0.0, 1.0}, {-1.0, 1.0}, {-kInfinity, kInfinity}};

void report(vantor_refusal* out, int reason, std::int64_t row, std::int64_t column,
            double value) {
    if (out == nullptr) return;
    out->reason = reason;
    out->row = row;
    out->column = column;
    out->value = value;
}

void reportCount(vantor_refusal* out, int reason, std::int64_t count) {
    report(out, reason, -1, -1, static_cast<double>(count));
}

// ---- Names ---------------------------------------------------------------

struct Family {
    const char* const* names;
    int count;
    const char* list;
};

const char* const kRelation[] = VANTOR_RELATION_NAMES;
const char* const kKernel[] = VANTOR_KERNEL_NAMES;
const char* const kAggregation[] = VANTOR_AGGREGATION_NAMES;
const char* const kCombination[] = VANTOR_COMBINATION_NAMES;
const char* const kSeeding[] = VANTOR_SEEDING_NAMES;

template <int N>
constexpr int countOf(const char* const (&)[N]) {
    return N;
}

// The joined lists are spelt out so that they are static data, checked
// against the brace lists by the tests that read both.
const Family kFamilies[] = {
    {kRelation, countOf(kRelation), "mutual, first_in_second, second_in_first"},
    {kKernel, countOf(kKernel), "type0, type1, type2"},
    {kAggregation, countOf(kAggregation), "extreme, probabilistic, bounded"},
    {kCombination, countOf(kCombination), "dominant, certainty_factor, sum, reinforced_sum"},
    {kSeeding, countOf(kSeeding), "farthest, kmeans++, first"},
};
constexpr int kFamilyCount = static_cast<int>(sizeof kFamilies / sizeof *kFamilies);

const Family* familyOf(int family) {
    return family >= 0 && family < kFamilyCount ? &kFamilies[family] : nullptr;
}

// ---- Writing texts -------------------------------------------------------

// Appends to a buffer of fixed capacity, cutting what does not fit and
// counting everything, as snprintf does.
class Text {
public:
    Text(char* buffer, std::size_t capacity) : buffer_(buffer), capacity_(capacity) {}

    void add(const char* text, std::size_t length) {
        for (std::size_t i = 0; i < length; ++i) {
            if (length_ + 1 < capacity_) buffer_[length_] = text[i];
            ++length_;
        }
    }
    void add(const char* text) {
        if (text != nullptr) add(text, std::strlen(text));
    }
    void add(std::int64_t number) {
        char digits[24];
        const std::to_chars_result r = std::to_chars(digits, digits + sizeof digits, number);
        add(digits, static_cast<std::size_t>(r.ptr - digits));
    }
    void addNumber(double value) {
        if (std::isnan(value)) {
            add("nan");
            return;
        }
        char digits[40];
        const std::to_chars_result r = std::to_chars(digits, digits + sizeof digits, value);
        add(digits, static_cast<std::size_t>(r.ptr - digits));
    }

    std::size_t finish() {
        if (capacity_ > 0) buffer_[length_ < capacity_ ? length_ : capacity_ - 1] = '\0';
        return length_;
    }

private:
    char* buffer_;
    std::size_t capacity_;
    std::size_t length_ = 0;
};

// What the placeholders of one message stand for; a null text is "".
struct Fields {
    const char* name = nullptr;
    const char* value = nullptr;
    bool valueIsNumber = false;
    bool valueIsCount = false;  // a count or k: shown as a whole number, never 1e+09
    double number = 0.0;
    std::int64_t row = 0, column = 0, low = 0, high = 0, found = 0;
    const char* range = nullptr;
    const char* names = nullptr;
};

std::size_t fill(int message, const Fields& f, char* buffer, std::size_t capacity) {
    Text out(buffer, capacity);
    if (message < 0 || message >= kMessages) return out.finish();
    const char* t = kTexts[message];
    while (*t != '\0') {
        const char* close = *t == '{' ? std::strchr(t, '}') : nullptr;
        if (close == nullptr) {
            out.add(t, 1);
            ++t;
            continue;
        }
        const std::size_t length = static_cast<std::size_t>(close - t - 1);
        const auto is = [&](const char* key) {
            return std::strlen(key) == length && std::strncmp(t + 1, key, length) == 0;
        };
        if (is("name")) {
            out.add(f.name);
        } else if (is("value")) {
            // Counts in the report are doubles: whole and exact up to 2^53,
            // and beyond 2^63 no longer an int64.
            if (f.valueIsCount && f.number > -9.2e18 && f.number < 9.2e18) {
                out.add(static_cast<std::int64_t>(f.number));
            } else if (f.valueIsNumber) {
                out.addNumber(f.number);
            } else {
                out.add(f.value);
            }
        } else if (is("row")) {
            out.add(f.row);
        } else if (is("column")) {
            out.add(f.column);
        } else if (is("range")) {
            out.add(f.range);
        } else if (is("low")) {
            out.add(f.low);
        } else if (is("high")) {
            out.add(f.high);
        } else if (is("found")) {
            out.add(f.found);
        } else if (is("names")) {
            out.add(f.names);
        } else {
            out.add(t, length + 2);  // not a placeholder: kept as written
        }
        t = close + 1;
    }
    return out.finish();
}

}  // namespace

extern "C" {

int vantor_check_table(int use, const double* values, std::int64_t rows, std::int64_t columns,
                       std::int64_t rowStride, std::int64_t columnStride, int allowNaN,
                       vantor_refusal* out) {
    if (use < 0 || use >= kUses || rows < 0 || columns < 0 ||
        (values == nullptr && rows > 0 && columns > 0)) {
        report(out, VANTOR_REFUSAL_ARGUMENT, -1, -1, 0.0);
        return 0;
    }
    const Range range = kUseRanges[use];
    for (std::int64_t r = 0; r < rows; ++r) {
        const double* row = values + r * rowStride;
        for (std::int64_t c = 0; c < columns; ++c) {
            const double v = row[c * columnStride];
            // One test for the common case: a value inside the range.
            if (v >= range.low && v <= range.high && v - v == 0.0) continue;
            if (std::isnan(v)) {
                if (allowNaN != 0) continue;
                report(out, VANTOR_REFUSAL_NAN, r, c, v);
            } else if (v - v != 0.0) {
                report(out, VANTOR_REFUSAL_INFINITE, r, c, v);
            } else {
                report(out, VANTOR_REFUSAL_OUT_OF_RANGE, r, c, v);
            }
            return 0;
        }
    }
    report(out, VANTOR_REFUSAL_NONE, -1, -1, 0.0);
    return 1;
}

int vantor_check_size(std::int64_t rows, std::int64_t columns, vantor_refusal* out) {
    if (rows < 1 || columns < 1) {
        report(out, VANTOR_REFUSAL_EMPTY, -1, -1, 0.0);
        return 0;
    }
    if (rows > INT_MAX || columns > INT_MAX) {
        reportCount(out, VANTOR_REFUSAL_SIZE, rows > INT_MAX ? rows : columns);
        return 0;
    }
    report(out, VANTOR_REFUSAL_NONE, -1, -1, 0.0);
    return 1;
}

int vantor_check_k(std::int64_t k, std::int64_t candidates, vantor_refusal* out) {
    if (k < 1 || k > INT_MAX) {
        reportCount(out, VANTOR_REFUSAL_OUT_OF_RANGE, k);
        return 0;
    }
    if (k > candidates) {
        reportCount(out, VANTOR_REFUSAL_TOO_FEW_CANDIDATES, k);
        return 0;
    }
    report(out, VANTOR_REFUSAL_NONE, -1, -1, 0.0);
    return 1;
}

int vantor_parse_seed(const char* text, std::size_t length, std::uint64_t* seed) {
    if (text == nullptr || seed == nullptr || length == 0) return 0;
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < length; ++i) {
        const char c = text[i];
        if (c < '0' || c > '9') return 0;
        const std::uint64_t digit = static_cast<std::uint64_t>(c - '0');
        if (value > (UINT64_MAX - digit) / 10) return 0;  // 2^64 or more
        value = value * 10 + digit;
    }
    *seed = value;
    return 1;
}

int vantor_seed_from_double(double value, std::uint64_t* seed) {
    constexpr double kExactWhole = 9007199254740992.0;  // 2^53
    // Written so that NaN fails: it passes no ordered comparison.
    if (seed == nullptr || !(value >= 0.0 && value < kExactWhole)) return 0;
    const std::uint64_t whole = static_cast<std::uint64_t>(value);
    if (static_cast<double>(whole) != value) return 0;  // a fraction
    *seed = whole;
    return 1;
}

int vantor_mode_number(int family, const char* text, std::size_t length) {
    const Family* f = familyOf(family);
    if (f == nullptr || text == nullptr) return -1;
    for (int i = 0; i < f->count; ++i) {
        if (std::strlen(f->names[i]) == length && std::memcmp(f->names[i], text, length) == 0) {
            return i;
        }
    }
    return -1;
}

const char* vantor_mode_list(int family) {
    const Family* f = familyOf(family);
    return f == nullptr ? "" : f->list;
}

int vantor_check_unit(double value) { return value >= 0.0 && value <= 1.0 ? 1 : 0; }

int vantor_is_double(long double value) {
    if (value != value) return 1;
    return static_cast<long double>(static_cast<double>(value)) == value ? 1 : 0;
}

std::size_t vantor_refusal_text(const vantor_refusal* r, int use, const char* name,
                                std::int64_t firstIndex, std::int64_t candidates, int twoSided,
                                char* buffer, std::size_t capacity) {
    Fields f;
    f.name = name;
    int message = -1;
    if (r != nullptr) {
        f.row = r->row + firstIndex;
        f.column = r->column + firstIndex;
        f.valueIsNumber = true;
        f.number = r->value;
        f.valueIsCount = r->row < 0 && (r->reason == VANTOR_REFUSAL_SIZE ||
                                        r->reason == VANTOR_REFUSAL_OUT_OF_RANGE ||
                                        r->reason == VANTOR_REFUSAL_TOO_FEW_CANDIDATES);
        f.range = use >= 0 && use < kUses ? kRanges[use] : "";
        f.found = candidates;
        switch (r->reason) {
            case VANTOR_REFUSAL_NAN: message = VANTOR_MESSAGE_NAN; break;
            case VANTOR_REFUSAL_INFINITE: message = VANTOR_MESSAGE_INFINITE; break;
            case VANTOR_REFUSAL_OUT_OF_RANGE:
                // k out of its bounds is a count, not a value of a table.
                if (r->row < 0) {
                    message = VANTOR_MESSAGE_WHOLE_NUMBER;
                    f.low = 1;
                    f.high = INT_MAX;
                } else {
                    message = VANTOR_MESSAGE_OUT_OF_RANGE;
                }
                break;
            case VANTOR_REFUSAL_SIZE: message = VANTOR_MESSAGE_TOO_LARGE; break;
            case VANTOR_REFUSAL_EMPTY: message = VANTOR_MESSAGE_EMPTY; break;
            case VANTOR_REFUSAL_TOO_FEW_CANDIDATES:
                message = twoSided != 0 ? VANTOR_MESSAGE_TOO_FEW_PARTS : VANTOR_MESSAGE_TOO_FEW_ITEMS;
                break;
            default: break;
        }
    }
    return fill(message, f, buffer, capacity);
}

std::size_t vantor_message_text(int message, const char* name, const char* value, int family,
                                std::int64_t low, std::int64_t high, char* buffer,
                                std::size_t capacity) {
    Fields f;
    f.name = name;
    f.value = value;
    f.low = low;
    f.high = high;
    f.names = vantor_mode_list(family);
    return fill(message, f, buffer, capacity);
}

std::size_t vantor_place_text(int message, const char* name, std::int64_t row, std::int64_t column,
                              char* buffer, std::size_t capacity) {
    Fields f;
    f.name = name;
    f.row = row;
    f.column = column;
    return fill(message, f, buffer, capacity);
}

std::size_t vantor_format_double(double value, char* buffer, std::size_t capacity) {
    Text out(buffer, capacity);
    out.addNumber(value);
    return out.finish();
}

}  // extern "C"
