// Fuzz target for con_aggregate: a configuration, then one call with decoded arrays.
#include "harness.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fz::Carver in(data, size);
    fz::resetConfiguration();
    fz::configureContifiers(in);
    fz::checkConAggregate(in);
    return 0;
}
