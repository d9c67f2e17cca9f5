"""contify: agreement or inclusion of two membership vectors."""

import numpy as np

from . import _arrays, _entries, _modes


def contify(first, second, relation="first_in_second", kernel="type1", threshold=0.0):
    """Reduces two membership vectors (values in [0, 1]) to one degree.

    relation: "mutual" (0), "first_in_second" (1) or "second_in_first" (2).
    kernel:   "type0", "type1" or "type2" (or 0, 1, 2). For the directed
              relations they are the Goedel, Goguen and Lukasiewicz forms.
    threshold: in [0, 1]; a position takes part when its weight (the first
              value for a directed relation, the larger one for the mutual
              one) is at least the threshold.

    Returns the degree as a float: 0.0 for empty vectors or when no position
    passes the threshold. Raises ValueError naming the first value outside
    [0, 1], a length mismatch or a bad mode or threshold.
    """
    modes = _entries.ints(_modes.resolve(relation, _modes.RELATIONS, "relation"),
                          _modes.resolve(kernel, _modes.CONTIFIER_KERNELS, "kernel"))
    gate = np.array([_arrays.real(threshold, "threshold")])
    a = _arrays.vector(first, "first")
    b = _arrays.vector(second, "second")
    if a.size != b.size:
        raise ValueError(f"first and second must have the same length, got {a.size} and {b.size}")

    lib = _entries.library()
    degree = np.zeros(1)
    ok = _entries.flag()
    with _entries.con_lock:
        lib.con_setThresholds(_entries.ints(1), gate, ok)
        if ok[0] != 1:
            raise ValueError(f"threshold must lie in [0, 1], got {_arrays.describe(gate[0])}")
        lib.con_setModes(_entries.ints(2), modes, ok)
        if ok[0] != 1:  # the names were resolved above; this is a safety net
            raise ValueError(f"the library refused the modes {modes.tolist()}")
        lib.con_aggregate(_entries.ints(a.size), a, b, degree, ok)
    if ok[0] != 1:
        raise ValueError(_why_refused(a, b))
    return float(degree[0])


def _why_refused(a, b):
    # The kernel stops at the first position holding a value outside [0, 1];
    # name that position, in whichever vector it is.
    bad = [(index, name, array) for name, array in (("first", a), ("second", b))
           for index in [_arrays.first_outside(array, 0.0, 1.0)] if index is not None]
    if not bad:
        return "the library refused the vectors"
    index, name, array = min(bad, key=lambda entry: entry[0])
    return f"{name}[{index}] = {_arrays.describe(array[index])} lies outside [0, 1]"
