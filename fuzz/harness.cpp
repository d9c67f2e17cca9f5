// Failure reporting and the per-input reset shared by all targets.
#include "harness.h"

#include <cstdio>
#include <cstdlib>

#include "vantor/clustions.h"
#include "vantor/contifiers.h"
#include "vantor/dinorms.h"
#include "vantor/vantor.h"

namespace fz {

void fail(const char* what) {
    std::fprintf(stderr, "vantor fuzz check failed: %s\n", what);
    std::fflush(stderr);
    std::abort();
}

void resetConfiguration() {
    *Vantor::con = Vantor::Contifiers();
    *Vantor::din = Vantor::Dinorms();
    *Vantor::clu = Vantor::Clustions();
}

}  // namespace fz
