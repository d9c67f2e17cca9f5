// What the C header promises about the arrays of the compute entries: reads
// stay within n even when an early value is refused (the kernels read in
// blocks), and an output laid over an input gives some number but never a
// fault. The arrays are heap blocks of exactly n elements, so the
// AddressSanitizer build sees a single element read or written too many.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "bits.h"
#include "vantor/vantor.h"

namespace {

std::unique_ptr<double[]> exactly(int n, double value) {
    std::unique_ptr<double[]> a(new double[static_cast<std::size_t>(n)]);
    for (int i = 0; i < n; ++i) a[static_cast<std::size_t>(i)] = value;
    return a;
}

const int kLengths[] = {1, 2, 255, 256, 257, 1000};

struct Modes {
    int first, second;
};
const Modes kContifierModes[] = {{0, 0}, {0, 1}, {0, 2}, {1, 0}, {1, 1}, {1, 2}, {2, 0}, {2, 2}};
const Modes kDinormModes[] = {{0, 0}, {1, 1}, {2, 2}, {2, 3}};

void setContifierModes(Modes m) {
    int two = 2, ok = 0, modes[2] = {m.first, m.second};
    con_setModes(&two, modes, &ok);
    ASSERT_EQ(ok, 1);
}

void setDinormModes(Modes m) {
    int two = 2, ok = 0, modes[2] = {m.first, m.second};
    din_setModes(&two, modes, &ok);
    ASSERT_EQ(ok, 1);
}

TEST(EntryArrays, ARefusedValueAnywhereStopsNoReadBeyondN) {
    for (const Modes m : kContifierModes) {
        setContifierModes(m);
        for (int n : kLengths) {
            for (int bad : {0, n / 2, n - 1}) {
                auto a = exactly(n, 0.5), b = exactly(n, 0.25);
                b[static_cast<std::size_t>(bad)] = 1.5;
                double result = vt::kUntouched;
                int ok = -1;
                con_aggregate(&n, a.get(), b.get(), &result, &ok);
                EXPECT_EQ(ok, 0) << "n " << n << " bad " << bad;
                EXPECT_EQ(vt::bits(result), vt::bits(0.0));
            }
        }
    }
    for (const Modes m : kDinormModes) {
        setDinormModes(m);
        for (int n : kLengths) {
            for (int bad : {0, n - 1}) {
                auto v = exactly(n, -0.5);
                v[static_cast<std::size_t>(bad)] = -2.0;
                double result[3] = {vt::kUntouched, vt::kUntouched, vt::kUntouched};
                int ok = -1;
                din_aggregate(&n, v.get(), result, &ok);
                EXPECT_EQ(ok, 0) << "n " << n << " bad " << bad;
                EXPECT_EQ(result[2], 0.0);
            }
        }
    }
}

TEST(EntryArrays, AnOutputOverAnInputGivesSomeNumberButNoFault) {
    for (const Modes m : kContifierModes) {
        setContifierModes(m);
        for (int n : kLengths) {
            auto a = exactly(n, 0.5), b = exactly(n, 0.75);
            int ok = -1;
            con_aggregate(&n, a.get(), b.get(), &a[0], &ok);  // the result zeroes a[0] first
            EXPECT_TRUE(ok == 0 || ok == 1);
            con_aggregate(&n, a.get(), b.get(), &b[static_cast<std::size_t>(n - 1)], &ok);
            EXPECT_TRUE(ok == 0 || ok == 1);
        }
    }
    for (const Modes m : kDinormModes) {
        setDinormModes(m);
        for (int n : {3, 256, 1000}) {
            auto v = exactly(n, -0.5);
            int ok = -1;
            din_aggregate(&n, v.get(), &v[0], &ok);
            EXPECT_TRUE(ok == 0 || ok == 1);
            din_aggregate(&n, v.get(), &v[static_cast<std::size_t>(n - 3)], &ok);
            EXPECT_TRUE(ok == 0 || ok == 1);
        }
    }
    setContifierModes({1, 1});
    setDinormModes({0, 0});
}

}  // namespace
