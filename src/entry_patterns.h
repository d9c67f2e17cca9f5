// The three shapes every C entry takes. Each entry file forwards to these so
// that the rules for counts, capacities and the ok flag live in one place.
// Nothing here may throw: the entries are called from foreign hosts.
#ifndef VANTOR_SRC_ENTRY_PATTERNS_H
#define VANTOR_SRC_ENTRY_PATTERNS_H

namespace Vantor {
namespace entry {

// A setter entry takes exactly `Count` values. ok is cleared first, so a
// refusal at any point reads as failure; the setter runs only when the count
// matches and the value array exists.
template <int Count, class Value, class Setter>
inline void setter(const int* n, Value* values, int* ok, Setter&& set) noexcept {
    if (ok == nullptr) return;
    *ok = 0;
    if (n == nullptr || *n != Count || values == nullptr) return;
    if (set(values)) *ok = 1;
}

// A getter entry passes *n as the capacity of `out`; the getter itself decides
// whether the capacity suffices and returns how many values it wrote.
template <class Getter>
inline void getter(const int* n, int* ok, Getter&& get) noexcept {
    if (ok == nullptr) return;
    *ok = (n != nullptr && get(*n) != 0) ? 1 : 0;
}

// A compute entry runs the method and reports its boolean result. The method
// validates its own arrays; an entry whose length arrives by pointer refuses a
// null one inside `run` before calling the method.
template <class Method>
inline void compute(int* ok, Method&& run) noexcept {
    if (ok == nullptr) return;
    *ok = run() ? 1 : 0;
}

}  // namespace entry
}  // namespace Vantor

#endif
