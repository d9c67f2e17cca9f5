// Loads the shared object the way an interpreter does: dlopen, then dlsym by
// plain name, in a freshly forked process so the state right after load is
// what the checks see. This program is not linked against the library.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

#include "vantor/contifiers.h"  // layout only; nothing from it is linked

namespace {

using IntEntry = void (*)(int*, int*, int*);
using DoubleEntry = void (*)(int*, double*, int*);
using Aggregate = void (*)(int*, double*, double*, double*, int*);
using DinAggregate = void (*)(int*, double*, double*, int*);

void require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "host check failed: %s\n", what);
        std::fflush(stderr);
        _exit(1);
    }
}

template <class Fn>
Fn entry(void* library, const char* name) {
    void* symbol = dlsym(library, name);
    require(symbol != nullptr, name);
    return reinterpret_cast<Fn>(symbol);
}

void* load() {
    void* library = dlopen(VANTOR_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
    require(library != nullptr, "dlopen");
    return library;
}

// Each family's getters report the default configuration right after load.
void defaultsAfterLoad() {
    void* lib = load();
    int one = 1, two = 2, ok = -1, modes[2] = {-1, -1}, limit = -1;
    double values[2] = {-1.0, -1.0};

    entry<DoubleEntry>(lib, "con_getThresholds")(&one, values, &ok);
    require(ok == 1 && values[0] == 0.0, "con threshold 0");
    entry<IntEntry>(lib, "con_getModes")(&two, modes, &ok);
    require(ok == 1 && modes[0] == 1 && modes[1] == 1, "con modes {1, 1}");

    entry<DoubleEntry>(lib, "din_getThresholds")(&two, values, &ok);
    require(ok == 1 && values[0] == 0.0 && values[1] == 0.0, "din thresholds {0, 0}");
    entry<IntEntry>(lib, "din_getModes")(&two, modes, &ok);
    require(ok == 1 && modes[0] == 0 && modes[1] == 0, "din modes {0, 0}");

    entry<DoubleEntry>(lib, "clu_getThresholds")(&one, values, &ok);
    require(ok == 1 && values[0] == 0.0, "clu threshold 0");
    entry<IntEntry>(lib, "clu_getLimits")(&one, &limit, &ok);
    require(ok == 1 && limit == 40, "clu limit 40");

    int n = 2;
    double first[] = {0.5, 1.0}, second[] = {0.25, 1.0}, result = -1.0;
    entry<Aggregate>(lib, "con_aggregate")(&n, first, second, &result, &ok);
    require(ok == 1 && result > 0.8333333 && result < 0.8333334, "con_aggregate default");
    _exit(0);
}

// A host that stores its own instance into Vantor::con moves the entries
// onto it; the default instance keeps its configuration.
void redirectToHostInstance() {
    void* lib = load();
    auto** pointer = static_cast<Vantor::Contifiers**>(dlsym(lib, "_ZN6Vantor3conE"));
    require(pointer != nullptr && *pointer != nullptr, "Vantor::con is exported");
    // Construct a host-owned instance through the exported constructor, as a
    // C++-aware foreign-function layer would.
    using Ctor = void (*)(Vantor::Contifiers*, double);
    auto construct = entry<Ctor>(lib, "_ZN6Vantor10ContifiersC1Ed");
    alignas(Vantor::Contifiers) unsigned char storage[sizeof(Vantor::Contifiers)];
    auto* mine = reinterpret_cast<Vantor::Contifiers*>(storage);
    construct(mine, 0.5);
    require(mine->threshold == 0.5 && mine->relationMode == 1, "host instance built");

    Vantor::Contifiers* const original = *pointer;
    *pointer = mine;
    int one = 1, two = 2, ok = -1, modes[2] = {0, 2};
    double quarter = 0.25;
    entry<DoubleEntry>(lib, "con_setThresholds")(&one, &quarter, &ok);
    require(ok == 1 && mine->threshold == 0.25, "setter reached the host instance");
    entry<IntEntry>(lib, "con_setModes")(&two, modes, &ok);
    require(ok == 1 && mine->relationMode == 0 && mine->typeMode == 2, "modes on host instance");

    *pointer = original;
    double t = -1.0;
    entry<DoubleEntry>(lib, "con_getThresholds")(&one, &t, &ok);
    require(ok == 1 && t == 0.0, "default instance untouched");
    entry<IntEntry>(lib, "con_getModes")(&two, modes, &ok);
    require(ok == 1 && modes[0] == 1 && modes[1] == 1, "default modes untouched");
    _exit(0);
}

TEST(HostLoad, DefaultsRightAfterLoad) {
    EXPECT_EXIT(defaultsAfterLoad(), ::testing::ExitedWithCode(0), "");
}

TEST(HostLoad, RedirectingThePointerMovesTheEntries) {
    EXPECT_EXIT(redirectToHostInstance(), ::testing::ExitedWithCode(0), "");
}

}  // namespace
