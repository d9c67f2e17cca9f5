"""SimilarityKMeans: the library's clustering behind scikit-learn's
estimator conventions (scikit-learn itself is not needed)."""

import numpy as np

from . import _inputs, _modes, _vantor
from .clustions import assign, cluster
from .seeding import library_seed

_PARAMETERS = ("n_clusters", "init", "n_init", "threshold", "max_iter", "two_sided",
               "random_state", "allow_nan")


class NotFittedError(ValueError, AttributeError):
    """The estimator was used before fit (as scikit-learn's error of that name,
    a ValueError and an AttributeError)."""


class SimilarityKMeans:
    """Prototype clustering under the thresholded similarity
    sum(min) / sum(max), with restarts, in scikit-learn's shape.

    n_clusters: the number of prototypes k.
    init:       "kmeans++", "farthest" or "first" (the library's seeding), or
                an array of k starting prototypes (then one run, n_init unused).
    n_init:     starts for "kmeans++"; the run with the largest total
                similarity is kept (the earlier one on ties). The
                deterministic rules run once.
    threshold:  the similarity's threshold, in [0, 1].
    max_iter:   the most passes one run makes ("max passes").
    two_sided:  split each signed row into its negative part (magnitudes of
                its negative values) and its positive part, each assigned on
                its own to the shared prototypes.
    random_state: None, an int (the library's own seed, the same draws in
                every host) or a numpy RandomState / Generator.
    allow_nan:  NaN in the data is refused unless this is True.

    After fit:
    cluster_centers_  (k, n_features) prototypes.
    labels_           (n_samples,) prototype of each row; two-sided
                      (n_samples, 2): column 0 the negative part's prototype,
                      column 1 the positive part's. -1 where none could take it.
    similarities_     the similarity behind each label, shaped as labels_.
    total_similarity_ the sum of every assigned similarity (what restarts
                      compare).
    n_iter_, converged_  passes run and whether the last one moved nothing.
    n_features_in_    the number of columns seen by fit.
    """

    def __init__(self, n_clusters=8, *, init="kmeans++", n_init=10, threshold=0.0, max_iter=40,
                 two_sided=False, random_state=None, allow_nan=False):
        self.n_clusters = n_clusters
        self.init = init
        self.n_init = n_init
        self.threshold = threshold
        self.max_iter = max_iter
        self.two_sided = two_sided
        self.random_state = random_state
        self.allow_nan = allow_nan

    def get_params(self, deep=True):
        return {name: getattr(self, name) for name in _PARAMETERS}

    def set_params(self, **params):
        for name, value in params.items():
            if name not in _PARAMETERS:
                raise ValueError(f"invalid parameter {name!r} for SimilarityKMeans; "
                                 f"valid ones: {', '.join(_PARAMETERS)}")
            setattr(self, name, value)
        return self

    def __repr__(self):
        defaults = SimilarityKMeans().get_params()
        changed = [f"{name}={value!r}" for name, value in self.get_params().items()
                   if not _same(value, defaults[name])]
        return f"SimilarityKMeans({', '.join(changed)})"

    def fit(self, X, y=None):
        k = _inputs.whole(self.n_clusters, "n_clusters", 1)
        passes = _inputs.whole(self.max_iter, "max_iter", 1)
        gate = _inputs.unit_interval(self.threshold, "threshold")
        sided = _inputs.flag(self.two_sided, "two_sided")
        allow = _inputs.flag(self.allow_nan, "allow_nan")
        spread = _is_dask_array(X)
        data = X if spread else _inputs.matrix(X, "X", "sample")
        if data.shape[0] == 0 or data.shape[1] == 0:
            # The counts in scikit-learn's words after the library's, which
            # scikit-learn's checks look for.
            raise ValueError(_inputs.message(_vantor.MESSAGE_EMPTY, "X") +
                             f" (found {data.shape[0]} sample(s), {data.shape[1]} feature(s) "
                             f"(shape={data.shape}) while a minimum of 1 is required)")
        if not spread:
            # Named as the caller named them, before the library reads them.
            _vantor.check_clustering_values(_inputs.converted(data), "X", allow)
        if spread and isinstance(self.init, str):
            raise ValueError(
                "with a dask array X, init must be an array of n_clusters starting "
                "prototypes: the seeding rules read every row in memory (seed from a "
                "sample, e.g. init=vantor.seed(X[:100_000].compute(), k).prototypes)")
        if isinstance(self.init, str):
            rule = _modes.resolve(self.init, _modes.SEEDINGS, "init")
            starts = _inputs.whole(self.n_init, "n_init", 1)
            # Before anything of size k is set aside for a k the items cannot fill.
            _vantor.check_k(_inputs.converted(data), k, sided, "n_clusters")
            centers, labels, similarities, converged, n_iter, start, total = \
                _vantor.cluster_from_starts(_inputs.converted(data), k, rule, starts,
                                            library_seed(self.random_state, rule), gate,
                                            passes, sided, allow)
        else:
            seeds = _inputs.matrix(self.init, "init", "prototype")
            _vantor.check_clustering_values(_inputs.converted(seeds), "init", allow)
            if seeds.shape != (k, data.shape[1]):
                raise ValueError(f"init must hold n_clusters={k} rows of {data.shape[1]} "
                                 f"values, got shape {seeds.shape}")
            # A dask array runs in chunks on dask's scheduler, with the same bits.
            run = (_spread().cluster if spread else cluster)(data, seeds, gate, passes, sided,
                                                             allow_nan=allow)
            centers, labels, similarities = run.prototypes, run.assignments, run.similarities
            converged, n_iter, start = run.converged, run.passes, 0
            total = _total(labels, similarities, sided)
        self.cluster_centers_ = centers
        self.labels_ = _samples_first(labels, sided)
        self.similarities_ = _samples_first(similarities, sided)
        self.converged_ = bool(converged)
        self.n_iter_ = int(n_iter)
        self.best_start_ = int(start)
        self.total_similarity_ = float(total)
        self.n_features_in_ = data.shape[1]
        return self

    def fit_predict(self, X, y=None):
        return self.fit(X).labels_

    def predict(self, X):
        return _samples_first(self._assigned(X).assignments, self.two_sided)

    def score(self, X, y=None):
        """The total similarity of X to the fitted prototypes: each row (each
        part, two-sided) assigned as predict assigns it, the similarities of
        the assigned ones summed as the library sums a run's total, so that
        score(X) on the fitted X after a converged fit is total_similarity_.
        Larger is better."""
        found = self._assigned(X)
        return _total(found.assignments, found.similarities, self.two_sided)

    def transform(self, X):
        """Each row's similarity to each prototype: (n_samples, k); two-sided
        (n_samples, 2k), the negative part's k columns first."""
        data = self._checked(X)
        return _vantor.similarities(_inputs.converted(data), self.cluster_centers_,
                                    _inputs.unit_interval(self.threshold, "threshold"),
                                    _inputs.flag(self.two_sided, "two_sided"),
                                    _inputs.flag(self.allow_nan, "allow_nan"))

    def fit_transform(self, X, y=None):
        return self.fit(X).transform(X)

    def plot(self, ax=None):
        """Draws the prototype profiles and the cluster sizes with matplotlib
        (see vantor.plotting.plot_clusters); returns the axes."""
        from .plotting import plot_clusters
        return plot_clusters(self, ax)

    def _assigned(self, X):
        data = self._checked(X)
        return (_spread().assign if _is_dask_array(data) else assign)(
            data, self.cluster_centers_, self.threshold, self.two_sided, allow_nan=self.allow_nan)

    def _checked(self, X):
        if not hasattr(self, "cluster_centers_"):
            raise NotFittedError("this SimilarityKMeans is not fitted yet: call fit first")
        data = X if _is_dask_array(X) else _inputs.matrix(X, "X", "sample")
        if not _is_dask_array(data):
            _vantor.check_clustering_values(_inputs.converted(data), "X",
                                            _inputs.flag(self.allow_nan, "allow_nan"))
        if data.shape[1] != self.n_features_in_:
            raise ValueError(f"X has {data.shape[1]} features, but SimilarityKMeans was fitted "
                             f"with {self.n_features_in_}")
        return data


def _total(assignments, similarities, two_sided):
    # The library's sum of a run's assigned similarities, the number the
    # restarts compare, so every way of starting a run reports the same total.
    sides = (assignments, similarities) if two_sided else (assignments[None], similarities[None])
    return float(_vantor.total_similarity(_inputs.converted(sides[1]),
                                          np.ascontiguousarray(sides[0], np.intc)))


def _is_dask_array(value):
    # Told by its type's module, so that dask is imported only when used.
    return type(value).__module__.split(".")[:2] == ["dask", "array"]


def _spread():
    from . import dask as spread
    return spread


def _samples_first(per_side, two_sided):
    # The library gives one row per side; scikit-learn wants one row per sample.
    return per_side.T.copy() if two_sided else per_side.reshape(-1)


def _same(a, b):
    if isinstance(a, np.ndarray) or isinstance(b, np.ndarray):
        return False
    return a == b
