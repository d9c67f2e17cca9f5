// Heap arrays that end exactly at their stated length, so AddressSanitizer
// reports a read or write of even one element too many, plus the bit-level
// snapshots the targets use to prove that an array was left alone.
#ifndef VANTOR_FUZZ_EXACT_BUFFER_H
#define VANTOR_FUZZ_EXACT_BUFFER_H

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace fz {

[[noreturn]] void fail(const char* what);

// Stands in for the array a host passes. A null buffer models a host that
// passes no array at all. Elements are allocated with malloc, so the
// sanitizer's redzone starts right after the last element (a length of 0
// gives a valid pointer to no element at all).
template <class T>
class ExactBuffer {
public:
    ExactBuffer() = default;
    explicit ExactBuffer(std::size_t length) : length_(length) {
        data_ = static_cast<T*>(std::malloc(length == 0 ? 0 : length * sizeof(T)));
        if (data_ == nullptr && length != 0) fail("out of memory in the harness");
        if (data_ == nullptr) data_ = static_cast<T*>(std::malloc(1));  // malloc(0) may be null
    }
    ExactBuffer(const ExactBuffer&) = delete;
    ExactBuffer& operator=(const ExactBuffer&) = delete;
    ~ExactBuffer() { std::free(data_); }

    static ExactBuffer null() { return ExactBuffer(); }

    T* data() { return data_; }
    bool isNull() const { return data_ == nullptr; }
    std::size_t size() const { return length_; }
    T& operator[](std::size_t i) { return data_[i]; }
    const T& operator[](std::size_t i) const { return data_[i]; }

    // The raw bytes, compared to tell -0.0 from 0.0 and one NaN from another.
    std::vector<unsigned char> snapshot() const {
        if (data_ == nullptr || length_ == 0) return {};
        const auto* p = reinterpret_cast<const unsigned char*>(data_);
        return std::vector<unsigned char>(p, p + length_ * sizeof(T));
    }
    bool unchangedSince(const std::vector<unsigned char>& before) const {
        return snapshot() == before;
    }

    ExactBuffer(ExactBuffer&& other) noexcept : data_(other.data_), length_(other.length_) {
        other.data_ = nullptr;
        other.length_ = 0;
    }
    ExactBuffer& operator=(ExactBuffer&& other) noexcept {
        if (this != &other) {
            std::free(data_);
            data_ = other.data_;
            length_ = other.length_;
            other.data_ = nullptr;
            other.length_ = 0;
        }
        return *this;
    }

private:
    T* data_ = nullptr;
    std::size_t length_ = 0;
};

// An exact copy, so a method can be run beside its entry on equal input.
template <class T>
ExactBuffer<T> copyOf(const ExactBuffer<T>& a) {
    if (a.isNull()) return ExactBuffer<T>::null();
    ExactBuffer<T> b(a.size());
    for (std::size_t i = 0; i < a.size(); ++i) b[i] = a[i];
    return b;
}

// The number of elements an array of `rows` rows of `columns` needs; a
// negative or zero factor means the call may read no element at all.
inline std::size_t elementsOf(std::int64_t rows, std::int64_t columns = 1) {
    if (rows <= 0 || columns <= 0) return 0;
    return static_cast<std::size_t>(rows * columns);
}

// Bit-for-bit equality of doubles, NaN equal to the same NaN.
inline bool sameBits(double x, double y) { return std::memcmp(&x, &y, sizeof x) == 0; }

}  // namespace fz

#endif
