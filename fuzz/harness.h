// What every fuzz target shares: how a broken promise is reported, how the
// process-wide configuration is put back before each input, and the checks
// that drive one compute entry with decoded arrays and judge its outcome.
#ifndef VANTOR_FUZZ_HARNESS_H
#define VANTOR_FUZZ_HARNESS_H

#include <cstddef>
#include <cstdint>

#include "carver.h"

namespace fz {

// Prints what went wrong and aborts, which libFuzzer records as a crash and
// the replay driver as a failed test.
[[noreturn]] void fail(const char* what);

inline void require(bool condition, const char* what) {
    if (!condition) fail(what);
}

// Runs one call into the library and fails if anything escapes from it.
template <class Call>
void guarded(Call&& call, const char* what) {
    try {
        call();
    } catch (...) {
        fail(what);
    }
}

// Each input starts from the configuration the module has right after load.
void resetConfiguration();

// Decode a configuration for one family from the bytes and store it through
// the C entries; now and then a mode is written straight into the instance,
// as a host that links the classes may do, to reach the fallback branches.
void configureContifiers(Carver& in);
void configureDinorms(Carver& in);
void configureClustions(Carver& in);

// Decode arrays for one compute entry, call it and check its promises
// against the configuration currently held by the default instance.
void checkConAggregate(Carver& in);
void checkDinAggregate(Carver& in);
void checkCluCluster(Carver& in);
void checkCluCluster2(Carver& in);

}  // namespace fz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

#endif
