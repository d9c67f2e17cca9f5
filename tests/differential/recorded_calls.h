// The calls kept in recorded/x87_results.txt and their text form, shared by
// the program that records them on an x87 machine (from the literal
// reference) and the one that replays them through the library on any
// platform. Plain C++ with no test framework, so that a cross build needs
// nothing but the library.
//
// One call per line: a kind, its configuration and inputs, "=", then the
// flag and every output. A double is written as a hexadecimal float (exact,
// and short for the grid values) or, for NaN, as 'n' and its 16 hex digits,
// so that sign and payload survive.
#ifndef VANTOR_TESTS_RECORDED_CALLS_H
#define VANTOR_TESTS_RECORDED_CALLS_H

#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bits.h"
#include "vantor/clustions.h"
#include "vantor/contifiers.h"
#include "vantor/dinorms.h"

namespace recorded {

using vt::bits;

inline double fromBits(std::uint64_t u) {
    double x;
    std::memcpy(&x, &u, sizeof x);
    return x;
}

// Appends tokens to one line of text.
class Writer {
public:
    void word(const char* w) {
        text_ += w;
        text_ += ' ';
    }
    void integer(long long v) { word(std::to_string(v).c_str()); }
    void real(double x) {
        char token[40];
        if (x != x) {
            std::snprintf(token, sizeof token, "n%016" PRIx64, bits(x));
        } else {
            std::snprintf(token, sizeof token, "%a", x);
        }
        word(token);
    }
    void reals(const std::vector<double>& v) {
        for (double x : v) real(x);
    }
    void integers(const std::vector<int>& v) {
        for (int x : v) integer(x);
    }
    const std::string& text() const { return text_; }

private:
    std::string text_;
};

// Reads the tokens of one line; any malformed token marks the reader bad.
class Reader {
public:
    explicit Reader(const std::string& line) : line_(line) {}
    bool good() const { return good_; }
    bool atEnd() {
        skip();
        return at_ >= line_.size();
    }
    std::string word() {
        skip();
        const std::size_t start = at_;
        while (at_ < line_.size() && line_[at_] != ' ') ++at_;
        if (start == at_) good_ = false;
        return line_.substr(start, at_ - start);
    }
    long long integer() {
        const std::string w = word();
        char* end = nullptr;
        const long long v = std::strtoll(w.c_str(), &end, 10);
        if (w.empty() || *end != '\0') good_ = false;
        return v;
    }
    double real() {
        const std::string w = word();
        if (!w.empty() && w[0] == 'n') {
            char* end = nullptr;
            const std::uint64_t u = std::strtoull(w.c_str() + 1, &end, 16);
            if (*end != '\0' || w.size() != 17) good_ = false;
            return fromBits(u);
        }
        char* end = nullptr;
        const double x = std::strtod(w.c_str(), &end);
        if (w.empty() || *end != '\0') good_ = false;
        return x;
    }
    std::vector<double> reals(long long count) {
        std::vector<double> v;
        for (long long i = 0; i < count && good_; ++i) v.push_back(real());
        return v;
    }
    std::vector<int> integers(long long count) {
        std::vector<int> v;
        for (long long i = 0; i < count && good_; ++i) v.push_back(static_cast<int>(integer()));
        return v;
    }
    void expect(const char* w) {
        if (word() != w) good_ = false;
    }

private:
    void skip() {
        while (at_ < line_.size() && line_[at_] == ' ') ++at_;
    }
    const std::string& line_;
    std::size_t at_ = 0;
    bool good_ = true;
};

// One call: its kind ("con", "din", "sim", "clu", "clu2"), integer
// configuration (modes, pass limit, dimensions), real configuration
// (thresholds, band) and two input arrays. On a line:
//     kind nInts ints... nReals reals... nA a... nB b... = outputs...
struct Call {
    std::string kind;
    std::vector<int> ints;
    std::vector<double> reals;
    std::vector<double> a, b;

    std::string inputs() const {
        Writer w;
        w.word(kind.c_str());
        w.integer(static_cast<long long>(ints.size()));
        w.integers(ints);
        w.integer(static_cast<long long>(reals.size()));
        w.reals(reals);
        w.integer(static_cast<long long>(a.size()));
        w.reals(a);
        w.integer(static_cast<long long>(b.size()));
        w.reals(b);
        w.word("=");
        return w.text();
    }

    // Reads the inputs; the reader is left at the first output.
    bool read(Reader& r) {
        kind = r.word();
        ints = r.integers(r.integer());
        reals = r.reals(r.integer());
        a = r.reals(r.integer());
        b = r.reals(r.integer());
        r.expect("=");
        return r.good();
    }
};

// The outputs of a call, run on Backend (the library or the literal
// reference), in the order they are recorded. Outputs start at a value no
// call writes, so that one left alone is compared too.
template <class Backend>
std::string outputs(const Call& c) {
    Writer w;
    const double untouched = 7.0;
    if (c.kind == "con") {
        Vantor::Contifiers config;
        config.relationMode = c.ints[0];
        config.typeMode = c.ints[1];
        config.threshold = c.reals[0];
        double result = untouched;
        const bool ok = Backend::con(config, static_cast<int>(c.a.size()), c.a.data(), c.b.data(), &result);
        w.integer(ok);
        w.real(result);
    } else if (c.kind == "din") {
        Vantor::Dinorms config;
        config.aggMode = c.ints[0];
        config.cmbMode = c.ints[1];
        config.threshold = c.reals[0];
        config.neutralBand = c.reals[1];
        std::vector<double> result(3, untouched);
        const bool ok = Backend::din(config, static_cast<int>(c.a.size()), c.a.data(), result.data());
        w.integer(ok);
        w.reals(result);
    } else {
        Vantor::Clustions config;
        config.threshold = c.reals[0];
        if (c.kind == "sim") {
            w.real(Backend::sim(config, c.a.data(), c.b.data(), static_cast<int>(c.a.size())));
            return w.text();
        }
        config.iterationLimit = c.ints[0];
        const bool twoSided = c.kind == "clu2";
        int dims[3] = {c.ints[1], c.ints[2], c.ints[3]};
        const std::size_t n = static_cast<std::size_t>(dims[1]);
        std::vector<double> prototypes = c.a;
        std::vector<int> assignments(n, -77), posAssignments(n, -77);
        std::vector<double> similarities(n, untouched), posSimilarities(n, untouched);
        std::vector<int> passInfo(2, -77);
        const bool ok = Backend::clu(config, twoSided, prototypes.data(), c.b.data(), dims,
                                     assignments.data(), posAssignments.data(), similarities.data(),
                                     posSimilarities.data(), passInfo.data());
        w.integer(ok);
        w.reals(prototypes);
        w.integers(assignments);
        w.reals(similarities);
        if (twoSided) {
            w.integers(posAssignments);
            w.reals(posSimilarities);
        }
        w.integers(passInfo);
    }
    return w.text();
}

}  // namespace recorded

#endif
