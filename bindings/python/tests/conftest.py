# The package under test is whichever `vantor` Python imports: the build
# tree's copy under ctest (PYTHONPATH), or the one pip installed in a venv.
# The C library, loaded with ctypes here only, is the reference for the bits.
import ctypes
import os
import struct
from pathlib import Path

import numpy as np
import pytest

PACKAGE_ROOT = Path(__file__).resolve().parents[1]
REPOSITORY = PACKAGE_ROOT.parents[1]
_DEV_BUILD = REPOSITORY / "build" / "dev" / "libvantor.so"  # the link, whatever the SONAME


def bits(x):
    """The binary64 pattern of x: tells -0.0 from 0.0 and one NaN from another."""
    return struct.pack("<d", x)


def array_bits(a):
    return np.ascontiguousarray(a, dtype=np.float64).tobytes()


class CLibrary:
    """The library's C entries, called the way a C host calls them."""

    def __init__(self, path):
        self.lib = ctypes.CDLL(str(path))
        self.path = path

    def _call(self, name, *arrays):
        ok = np.zeros(1, dtype=np.intc)
        getattr(self.lib, name)(*[a.ctypes.data_as(ctypes.c_void_p) for a in arrays],
                                ok.ctypes.data_as(ctypes.c_void_p))
        return ok[0] == 1

    @staticmethod
    def _ints(*values):
        return np.array(values, dtype=np.intc)

    def contify(self, first, second, relation, kernel, threshold):
        assert self._call("con_setThresholds", self._ints(1), np.array([threshold]))
        assert self._call("con_setModes", self._ints(2), self._ints(relation, kernel))
        a, b = np.ascontiguousarray(first, float), np.ascontiguousarray(second, float)
        out = np.zeros(1)
        assert self._call("con_aggregate", self._ints(a.size), a, b, out)
        return out[0]

    def dinorm(self, values, aggregation, combination, threshold, band):
        assert self._call("din_setThresholds", self._ints(2), np.array([threshold, band]))
        assert self._call("din_setModes", self._ints(2), self._ints(aggregation, combination))
        v = np.ascontiguousarray(values, float)
        out = np.zeros(3)
        assert self._call("din_aggregate", self._ints(v.size), v, out)
        return out

    def cluster(self, items, seeds, threshold, passes, two_sided):
        items = np.ascontiguousarray(items, float)
        seeds = np.array(seeds, dtype=float, order="C")
        (n, m), k = items.shape, seeds.shape[0]
        assert self._call("clu_setThresholds", self._ints(1), np.array([threshold]))
        assert self._call("clu_setLimits", self._ints(1), self._ints(passes))
        sides = 2 if two_sided else 1
        labels = np.zeros((sides, n), dtype=np.intc)
        sims = np.zeros((sides, n))
        info = np.zeros(2, dtype=np.intc)
        dims = self._ints(k, n, m)
        if two_sided:
            assert self._call("clu_cluster2", seeds, items, dims, labels[0], labels[1], sims[0],
                              sims[1], info)
        else:
            assert self._call("clu_cluster", seeds, items, dims, labels[0], sims[0], info)
        return seeds, labels, sims, info


@pytest.fixture(scope="session")
def c_library():
    """The C library named by VANTOR_TEST_C_LIBRARY (required when set), else
    the dev build when there is one."""
    named = os.environ.get("VANTOR_TEST_C_LIBRARY")
    if named:
        return CLibrary(Path(named))
    if _DEV_BUILD.exists():
        return CLibrary(_DEV_BUILD)
    pytest.skip("no C library to compare with: set VANTOR_TEST_C_LIBRARY or build the dev preset")
