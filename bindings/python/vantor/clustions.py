"""cluster and assign: prototype clustering under a thresholded similarity.

The similarity of an item and a prototype is sum(min) / sum(max) over their
non-negative parts, leaving out positions where both lie below the threshold.
"""

from collections import namedtuple

import numpy as np

from . import _inputs, _vantor

Clustering = namedtuple("Clustering", "prototypes assignments similarities converged passes")
Clustering.__doc__ = """Result of cluster(). For a two-sided run, assignments and
similarities have two rows: row 0 for the items' negative parts, row 1 for
their positive parts."""

Assignment = namedtuple("Assignment", "assignments similarities")
Assignment.__doc__ = """Result of assign(), shaped as in Clustering."""


def cluster(items, prototypes, threshold=0.0, max_passes=40, two_sided=False, in_place=False,
            *, limit=None, allow_nan=False):
    """Clusters the rows of items around the rows of prototypes (the seeds).

    Each pass assigns every item to its most similar prototype (it moves only
    to a strictly better one, the lowest index on ties) and then makes each
    prototype that holds items their mean. Passes stop when one moves
    nothing, or after `max_passes` passes (`limit` is the older name).

    two_sided: split each signed item into its negative part (magnitudes of
               its negative values) and its positive part, and assign each
               part on its own to the shared prototypes.
    in_place:  refine the caller's prototypes array itself, which must then
               be a writeable C-contiguous float64 numpy array; by default
               the seeds are copied and left as they were.
    allow_nan: NaN in items or prototypes is refused unless this is True.

    Returns Clustering(prototypes, assignments, similarities, converged,
    passes). An item (or part) that no prototype could take has assignment
    -1 and similarity -1.0.
    """
    passes = _max_passes(max_passes, limit)
    return _run(items, prototypes, threshold, passes, two_sided, in_place, allow_nan,
                lambda seeds, found: Clustering(seeds, *found))


def assign(items, prototypes, threshold=0.0, two_sided=False, *, allow_nan=False):
    """Assigns each item to its most similar prototype, which stay fixed.

    Runs one pass on a copy of the prototypes: the lowest index wins ties,
    and similarities are measured against the prototypes as given.
    Returns Assignment(assignments, similarities).
    """
    return _run(items, prototypes, threshold, ("max_passes", 1), two_sided, False, allow_nan,
                lambda seeds, found: Assignment(*found[:2]))


def _max_passes(max_passes, limit):
    # The older keyword wins only when it is given; naming both is a mistake
    # unless they agree.
    if limit is None:
        return ("max_passes", max_passes)
    if max_passes != 40 and max_passes != limit:
        raise ValueError(f"give max_passes or its older name limit, not both "
                         f"({max_passes!r} and {limit!r})")
    return ("limit", limit)


def _run(items, prototypes, threshold, passes, two_sided, in_place, allow_nan, package):
    gate = _inputs.unit_interval(threshold, "threshold")
    word, value = passes
    passes_allowed = _inputs.whole(value, word, 1)
    sided = _inputs.flag(two_sided, "two_sided")
    allow = _inputs.flag(allow_nan, "allow_nan")
    data = _inputs.matrix(items, "items", "item")
    if in_place:
        seeds = _writable_matrix(prototypes, "prototypes")
    else:
        seeds = _inputs.matrix(prototypes, "prototypes", "prototype")
    (n, m), (k, m_seeds) = data.shape, seeds.shape
    if n == 0 or k == 0 or m == 0:
        raise ValueError(f"items and prototypes need at least one row of at least one value, "
                         f"got shapes {data.shape} and {seeds.shape}")
    if m != m_seeds:
        raise ValueError(f"items have {m} values per row but prototypes have {m_seeds}")
    data = _inputs.converted(data)
    if not in_place:
        # Always a copy: the library refines the seeds in place.
        seeds = np.array(seeds, dtype=np.float64, order="C")
    if np.may_share_memory(data, seeds):
        data = data.copy()  # the library reads items while it rewrites prototypes
    assignments, similarities, converged, passes_run = _vantor.cluster(
        data, seeds, gate, passes_allowed, sided, allow)
    if not sided:
        assignments, similarities = assignments[0], similarities[0]
    return package(seeds, (assignments, similarities, converged, passes_run))


def _writable_matrix(value, name):
    """The caller's own array, checked for being updated in place."""
    if not isinstance(value, np.ndarray):
        raise ValueError(
            f"{name} must be a numpy array to be updated in place, got {type(value).__name__}")
    problems = []
    if value.dtype != np.dtype(np.float64):
        problems.append(f"dtype is {value.dtype}, not float64")
    if value.ndim != 2:
        problems.append(f"shape is {value.shape}, not two-dimensional")
    if not value.flags.c_contiguous:
        problems.append("it is not C-contiguous")
    if not value.flags.aligned:
        problems.append("it is not aligned")
    if not value.flags.writeable:
        problems.append("it is read-only")
    if problems:
        raise ValueError(f"{name} cannot be updated in place: " + "; ".join(problems))
    return _inputs.matrix(value, name, "prototype")
