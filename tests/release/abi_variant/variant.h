/* A miniature of the library's interface, in the shapes the ABI check must
 * judge: a class with public fields and methods, and C entries taking
 * pointers. Each ABI_* macro makes one kind of change to it. */
#ifndef ABI_VARIANT_H
#define ABI_VARIANT_H

#define VARIANT_API __attribute__((visibility("default")))

#ifdef __cplusplus
namespace Variant {
class VARIANT_API Gauge {
public:
    double threshold;
#ifdef ABI_FIELD_ADDED
    double spare;
#endif
    int mode;
    Gauge();
#ifdef ABI_METHOD_CHANGED
    bool aggregate(long n, const double* values, double* result) const;
#else
    bool aggregate(int n, const double* values, double* result) const;
#endif
};
}  // namespace Variant
extern "C" {
#endif

VARIANT_API void gau_aggregate(int* n, double* values, double* result, int* ok);
#ifdef ABI_ENTRY_ARGUMENT_CHANGED
VARIANT_API void gau_setModes(int* n, double* modes, int* ok);
#else
VARIANT_API void gau_setModes(int* n, int* modes, int* ok);
#endif
#ifndef ABI_ENTRY_REMOVED
VARIANT_API void gau_getModes(int* n, int* modes, int* ok);
#endif
#ifdef ABI_ENTRY_ADDED
VARIANT_API void gau_reset(int* ok);
#endif

#ifdef __cplusplus
}
#endif
#endif
