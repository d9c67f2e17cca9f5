"""choose_k and the prototype silhouettes: how many prototypes the data
holds, measured with the library's own similarity.

The silhouette of a row i whose prototype is a, with s_own its similarity
to a and s_next its greatest similarity to any other prototype, uses the
distances 1 - s (the weighted Jaccard distance): silhouette =
(s_own - s_next) / max(1 - s_own, 1 - s_next), and 0 when both distances
are 0. It lies in [-1, 1]: near 1 for a row close to its own prototype and
far from every other, 0 between two prototypes, below 0 nearer another
prototype. It costs one clustering pass (n * k similarities), not the
n * n distances of the usual silhouette, and all the figures come from the
library: the same bits as every other host, on every thread count.
"""

import numpy as np

from . import _inputs, _modes, _vantor
from .seeding import library_seed

SUGGESTION_RULE = ("the k of the largest mean silhouette; among equal means the smallest k; "
                   "a k whose mean silhouette is NaN is never suggested")

_COLUMNS = ("k", "total_similarity", "mean_silhouette", "silhouettes_counted",
            "silhouettes_undefined", "passes", "converged", "winning_start", "evaluations")


class KChoice:
    """What choose_k found: one row per k.

    - ``table``: dict of numpy arrays, one entry per column: k,
      total_similarity (of the kept run), mean_silhouette,
      silhouettes_counted / silhouettes_undefined (rows, or two-sided parts,
      in and out of the mean: NaN similarities and unassigned rows are left
      out), passes, converged, winning_start, evaluations (similarities
      computed).
    - ``cluster_silhouettes``: dict k -> array of the mean silhouette of each
      prototype's members (NaN for a prototype without any).
    - ``suggested_k``: see SUGGESTION_RULE (None when no mean is defined).
    - ``rule``: SUGGESTION_RULE, written down.
    """

    rule = SUGGESTION_RULE

    def __init__(self, table, cluster_silhouettes, suggested_k):
        self.table = table
        self.cluster_silhouettes = cluster_silhouettes
        self.suggested_k = suggested_k

    def __repr__(self):
        lines = [f"KChoice(suggested_k={self.suggested_k})",
                 f"{'k':>4} {'total_similarity':>18} {'mean_silhouette':>16} "
                 f"{'passes':>6} {'converged':>9}"]
        for r in range(len(self.table["k"])):
            lines.append(f"{self.table['k'][r]:>4} {self.table['total_similarity'][r]:>18.6f} "
                         f"{self.table['mean_silhouette'][r]:>16.6f} "
                         f"{self.table['passes'][r]:>6} {str(bool(self.table['converged'][r])):>9}")
        return "\n".join(lines)

    def to_frame(self):
        """The table as a pandas DataFrame indexed by k (needs pandas)."""
        try:
            import pandas as pd
        except ImportError:
            raise ImportError("to_frame needs pandas, which is not installed: on Debian "
                              "`apt-get install python3-pandas`; .table holds the same "
                              "columns as numpy arrays") from None
        return pd.DataFrame({name: self.table[name] for name in _COLUMNS}).set_index("k")

    def plot(self, ax=None):
        """Draws the total similarity (the elbow) and the mean silhouette
        against k with matplotlib, the suggested k marked; returns the axes
        (see vantor.plotting.plot_k_choice)."""
        from .plotting import plot_k_choice
        return plot_k_choice(self, ax)


def choose_k(X, ks=range(2, 11), *, init="kmeans++", n_init=10, threshold=0.0, max_iter=40,
             two_sided=False, random_state=None, n_jobs=None, allow_nan=False):
    """Clusters X at every k in ks, as SimilarityKMeans with the same
    arguments would (so any k can be fitted again on its own with
    random_state fixed), and measures each run: its total similarity and
    its silhouettes under the library's similarity.

    ks:        whole numbers from 2 up, in increasing order (a range is best).
    init, n_init, threshold, max_iter, two_sided, random_state, allow_nan: as for
               SimilarityKMeans; an int random_state makes the scan
               reproducible, and the same seed is used at every k.
    n_jobs:    threads, as for SimilarityKMeans (None: every core). Every
               count gives the same figures.

    Returns a KChoice: .table, .suggested_k, .cluster_silhouettes, .plot(),
    .to_frame(). Two-sided, each row's negative and positive part count as
    rows of their own.
    """
    rule = _modes.resolve(init, _modes.SEEDINGS, "init")
    starts = _inputs.whole(n_init, "n_init", 1)
    gate = _inputs.unit_interval(threshold, "threshold")
    passes = _inputs.whole(max_iter, "max_iter", 1)
    sided = _inputs.flag(two_sided, "two_sided")
    allow = _inputs.flag(allow_nan, "allow_nan")
    threads = _inputs.threads(n_jobs)
    wanted = _ks_of(ks)
    data = _inputs.matrix(X, "X")
    if data.shape[0] == 0 or data.shape[1] == 0:
        raise ValueError(f"X needs at least one row of at least one value, got shape "
                         f"{data.shape}")
    seed = library_seed(random_state) if _modes.SEEDINGS[rule] == "kmeans++" else 0
    data = _inputs.converted(data)

    parts = []
    for first, last in _runs_of(wanted):
        found = _vantor.scan_k(data, first, last, rule, starts, seed, gate, passes, sided,
                               threads, allow)
        if "k" not in found:
            _explain_refusal(found["candidates"], last, sided)
        parts.append(found)
    table = {name: np.concatenate([p[name] for p in parts]) for name in _COLUMNS}
    cluster_silhouettes = {}
    for p in parts:
        at = 0
        for k in p["k"]:
            cluster_silhouettes[int(k)] = p["cluster_silhouettes"][at:at + k].copy()
            at += k
    suggested = _vantor.suggest_k(table["k"], table["mean_silhouette"])
    return KChoice(table, cluster_silhouettes, int(suggested) if suggested else None)


def silhouette_samples(X, labels, prototypes, *, threshold=0.0, two_sided=False, n_jobs=None,
                       allow_nan=False):
    """The silhouette of every row of X (see the module's docstring) for
    rows assigned to prototypes by labels (-1: none; such rows get NaN).

    Shaped as scikit-learn's silhouette_samples, but against prototypes:
    labels and prototypes are typically a fitted SimilarityKMeans's labels_
    and cluster_centers_ (SimilarityKMeans.silhouette_samples does that).
    Two-sided, labels and the result have two columns: the negative part's
    and the positive part's. A silhouette is NaN when its row is unassigned
    or a similarity is NaN (prototypes holding NaN).
    """
    return _measure(X, labels, prototypes, threshold, two_sided, n_jobs, allow_nan)[0]


def silhouette_score(X, labels, prototypes, *, threshold=0.0, two_sided=False, n_jobs=None,
                     allow_nan=False):
    """The mean of silhouette_samples over the rows (parts) whose silhouette
    is defined, summed by the library in row order; NaN when none is."""
    return _measure(X, labels, prototypes, threshold, two_sided, n_jobs, allow_nan)[2]


def _measure(X, labels, prototypes, threshold, two_sided, n_jobs, allow_nan):
    gate = _inputs.unit_interval(threshold, "threshold")
    sided = _inputs.flag(two_sided, "two_sided")
    allow = _inputs.flag(allow_nan, "allow_nan")
    threads = _inputs.threads(n_jobs)
    data = _inputs.matrix(X, "X")
    centers = _inputs.matrix(prototypes, "prototypes", "prototype")
    if data.shape[0] == 0 or data.shape[1] == 0:
        raise ValueError(f"X needs at least one row of at least one value, got shape "
                         f"{data.shape}")
    if centers.shape[1] != data.shape[1]:
        raise ValueError(f"prototypes have {centers.shape[1]} values per row but X has "
                         f"{data.shape[1]}")
    k = centers.shape[0]
    if k < 2:
        raise ValueError(f"a silhouette needs at least 2 prototypes, got {k}")
    assigned = _inputs.array(labels, "labels")
    wanted = (data.shape[0], 2) if sided else (data.shape[0],)
    if assigned.shape != wanted or assigned.dtype.kind not in "iub":
        raise ValueError(f"labels must hold one whole number per row{' and part' * sided} of X, "
                         f"shape {wanted}, got {assigned.dtype} of shape {assigned.shape}")
    if assigned.size and (assigned.min() < -1 or assigned.max() >= k):
        raise ValueError(f"labels must be prototype numbers from 0 to {k - 1}, or -1 for none; "
                         f"got values from {assigned.min()} to {assigned.max()}")
    sides = np.ascontiguousarray(assigned.reshape(data.shape[0], -1).T, dtype=np.intc)
    found = _vantor.silhouettes(_inputs.converted(data), _inputs.converted(centers), sides,
                                gate, sided, threads, allow)
    if found is None:
        raise ValueError("the library refused the silhouettes (no memory for its scratch)")
    values, cluster_means, mean, counted, undefined = found
    values = values.T.copy() if sided else values.reshape(-1)
    return values, cluster_means, float(mean), int(counted), int(undefined)


def _ks_of(ks):
    if isinstance(ks, (str, bytes)) or not hasattr(ks, "__iter__"):
        raise _inputs.ArgumentTypeError(f"ks must be a sequence of whole numbers such as "
                                        f"range(2, 11), got {ks!r}")
    wanted = [_inputs.whole(k, "ks", 2) for k in ks]
    if not wanted:
        raise ValueError("ks is empty: give the numbers of prototypes to try, e.g. range(2, 11)")
    if any(b <= a for a, b in zip(wanted, wanted[1:])):
        raise ValueError(f"ks must increase, got {wanted}")
    return wanted


def _runs_of(wanted):
    """Consecutive stretches of ks, each scanned by one library call."""
    runs, first = [], wanted[0]
    for previous, k in zip(wanted, wanted[1:]):
        if k != previous + 1:
            runs.append((first, previous))
            first = k
    runs.append((first, wanted[-1]))
    return runs


def _explain_refusal(candidates, k, two_sided):
    if candidates < k:
        what = "row parts of X hold a value other than 0" if two_sided else \
            "rows of X hold a value above 0"
        raise ValueError(f"ks reaches {k}, but only {candidates} {what} to seed prototypes from")
    raise ValueError("the library refused the scan (no memory for its scratch)")
