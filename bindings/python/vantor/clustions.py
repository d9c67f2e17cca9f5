"""cluster and assign: prototype clustering under a thresholded similarity.

The similarity of an item and a prototype is sum(min) / sum(max) over their
non-negative parts, leaving out positions where both lie below the threshold.
"""

from collections import namedtuple

import numpy as np

from . import _arrays, _entries

Clustering = namedtuple("Clustering", "prototypes assignments similarities converged passes")
Clustering.__doc__ = """Result of cluster(). For a two-sided run, assignments and
similarities have two rows: row 0 for the items' negative parts, row 1 for
their positive parts."""

Assignment = namedtuple("Assignment", "assignments similarities")
Assignment.__doc__ = """Result of assign(), shaped as in Clustering."""


def cluster(items, prototypes, threshold=0.0, limit=40, two_sided=False, in_place=False):
    """Clusters the rows of items around the rows of prototypes (the seeds).

    Each pass assigns every item to its most similar prototype (it moves only
    to a strictly better one, the lowest index on ties) and then makes each
    prototype that holds items their mean. Passes stop when one moves
    nothing, or after `limit` passes.

    two_sided: split each signed item into its negative part (magnitudes of
               its negative values) and its positive part, and assign each
               part on its own to the shared prototypes.
    in_place:  refine the caller's prototypes array itself, which must then
               be a writeable C-contiguous float64 numpy array; by default
               the seeds are copied and left as they were.

    Returns Clustering(prototypes, assignments, similarities, converged,
    passes). An item (or part) that no prototype could take has assignment
    -1 and similarity -1.0.
    """
    return _run(items, prototypes, threshold, limit, two_sided, in_place,
                lambda seeds, passes: Clustering(seeds, *passes))


def assign(items, prototypes, threshold=0.0, two_sided=False):
    """Assigns each item to its most similar prototype, which stay fixed.

    Runs one pass on a copy of the prototypes: the lowest index wins ties,
    and similarities are measured against the prototypes as given.
    Returns Assignment(assignments, similarities).
    """
    return _run(items, prototypes, threshold, 1, two_sided, False,
                lambda seeds, passes: Assignment(*passes[:2]))


def _run(items, prototypes, threshold, limit, two_sided, in_place, package):
    gate = np.array([_arrays.real(threshold, "threshold")])
    passes_allowed = _arrays.whole(limit, "limit")
    if not 1 <= passes_allowed <= _arrays.INT_MAX:
        raise ValueError(f"limit must be a whole number from 1 to {_arrays.INT_MAX}, got {limit!r}")
    data = _arrays.matrix(items, "items", "item")
    if in_place:
        seeds = _arrays.writable_matrix(prototypes, "prototypes")
    else:
        # Always a copy: the library refines the seeds in place.
        seeds = np.array(_arrays.matrix(prototypes, "prototypes", "prototype"), order="C")
    (n, m), (k, m_seeds) = data.shape, seeds.shape
    if n == 0 or k == 0 or m == 0:
        raise ValueError(f"items and prototypes need at least one row of at least one value, "
                         f"got shapes {data.shape} and {seeds.shape}")
    if m != m_seeds:
        raise ValueError(f"items have {m} values per row but prototypes have {m_seeds}")
    if np.may_share_memory(data, seeds):
        data = data.copy()  # the library reads items while it rewrites prototypes

    rows = 2 if two_sided else 1
    assignments = np.empty((rows, n), dtype=np.intc)
    similarities = np.empty((rows, n))
    pass_info = np.zeros(2, dtype=np.intc)
    dims = _entries.ints(k, n, m)

    lib = _entries.library()
    ok = _entries.flag()
    with _entries.clu_lock:
        lib.clu_setThresholds(_entries.ints(1), gate, ok)
        if ok[0] != 1:
            raise ValueError(f"threshold must lie in [0, 1], got {_arrays.describe(gate[0])}")
        lib.clu_setLimits(_entries.ints(1), _entries.ints(passes_allowed), ok)
        if ok[0] != 1:  # checked above; this is a safety net
            raise ValueError(f"the library refused the limit {passes_allowed}")
        if two_sided:
            lib.clu_cluster2(seeds, data, dims, assignments[0], assignments[1],
                             similarities[0], similarities[1], pass_info, ok)
        else:
            lib.clu_cluster(seeds, data, dims, assignments[0], similarities[0], pass_info, ok)
    if ok[0] != 1:
        raise ValueError(f"the library refused dimensions {dims.tolist()}")
    if not two_sided:
        assignments, similarities = assignments[0], similarities[0]
    return package(seeds, (assignments, similarities, bool(pass_info[0]), int(pass_info[1])))
