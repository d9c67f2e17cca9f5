"""choose_k, the silhouettes and SimilarityKMeans.score: the library's bits,
checked against a literal computation in 80-bit long double and against the
runs SimilarityKMeans makes on its own; the same figures for every n_jobs;
refusals that say what was wrong."""

import numpy as np
import pytest

import vantor
from vantor import _vantor

from conftest import array_bits, bits

LONG = np.longdouble


def groups(g, each=12, m=None, signed=False, seed=0):
    """g groups, each high on two features of its own, low elsewhere."""
    m = m or 2 * g
    rng = np.random.default_rng(seed)
    rows = []
    for i in range(g):
        block = rng.uniform(0.0, 0.03, (each, m))
        block[:, 2 * i:2 * i + 2] = rng.uniform(0.7, 1.0, (each, 2))
        if signed:
            block[:, 2 * i + 1] *= -1.0
        rows.append(block)
    return np.concatenate(rows)


def literal_silhouettes(X, labels, prototypes, threshold, two_sided):
    """The definition written out: similarities from the library's evalSimil
    (transform), then distances, differences and quotients in long double,
    rounded once; sums in row order, the negative part first."""
    k = prototypes.shape[0]
    sims = _vantor.similarities(np.ascontiguousarray(X, float), prototypes, threshold, two_sided,
                                True)
    sides = labels.reshape(len(X), -1)
    values = np.empty(sides.shape)
    total, counted, per, per_count = LONG(0), 0, [LONG(0)] * k, [0] * k
    for j in range(len(X)):
        for side in range(sides.shape[1]):
            own_label = sides[j, side]
            row = sims[j, side * k:(side + 1) * k]
            others = np.delete(row, own_label) if own_label >= 0 else row
            if own_label < 0 or np.isnan(row[own_label]) or np.isnan(others).any():
                values[j, side] = np.nan
                continue
            a, b = LONG(1) - LONG(row[own_label]), LONG(1) - LONG(others.max())
            larger = max(a, b)
            values[j, side] = 0.0 if larger == 0 else float((b - a) / larger)
            total += LONG(values[j, side])
            counted += 1
            per[own_label] += LONG(values[j, side])
            per_count[own_label] += 1
    mean = float(total / LONG(counted)) if counted else np.nan
    means = np.array([float(per[l] / LONG(per_count[l])) if per_count[l] else np.nan
                      for l in range(k)])
    return values.reshape(labels.shape), mean, means


@pytest.mark.parametrize("two_sided, threshold, nan", [
    (False, 0.0, False), (False, 0.3, False), (True, 0.0, False), (True, 0.3, False),
    (False, 0.0, True), (True, 0.3, True)])
def test_silhouettes_match_the_literal_computation(two_sided, threshold, nan):
    rng = np.random.default_rng(4)
    X = rng.uniform(-1.0 if two_sided else 0.0, 1.0, (40, 5))
    prototypes = rng.uniform(0.0, 1.0, (4, 5))
    if nan:
        # Similarities to it are NaN, so every silhouette is (an all-zero
        # part's is 0); and NaN in the rows counts as 0.
        prototypes[3, 2] = np.nan
        X[[0, 7], [1, 3]] = np.nan
    labels = rng.integers(-1, 4, (40, 2) if two_sided else 40)
    want, want_mean, _ = literal_silhouettes(X, labels, prototypes, threshold, two_sided)
    assert not np.isnan(want).all() or nan
    for n_jobs in (1, 2, 3, None):
        got = vantor.silhouette_samples(X, labels, prototypes, threshold=threshold,
                                        two_sided=two_sided, n_jobs=n_jobs, allow_nan=True)
        assert array_bits(got) == array_bits(want)
        score = vantor.silhouette_score(X, labels, prototypes, threshold=threshold,
                                        two_sided=two_sided, n_jobs=n_jobs, allow_nan=True)
        assert bits(score) == bits(want_mean)


@pytest.mark.parametrize("two_sided", [False, True])
def test_each_row_of_the_scan_is_the_run_similarity_kmeans_makes(two_sided):
    X = groups(4, signed=two_sided, seed=1)
    found = vantor.choose_k(X, range(2, 7), n_init=4, max_iter=5, two_sided=two_sided,
                            random_state=21, n_jobs=1)
    for r, k in enumerate(found.table["k"]):
        model = vantor.SimilarityKMeans(int(k), n_init=4, max_iter=5, two_sided=two_sided,
                                        random_state=21).fit(X)
        assert bits(found.table["total_similarity"][r]) == bits(model.total_similarity_)
        assert found.table["passes"][r] == model.n_iter_
        assert found.table["converged"][r] == model.converged_
        assert found.table["winning_start"][r] == model.best_start_
        values, mean, means = literal_silhouettes(X, model.labels_, model.cluster_centers_, 0.0,
                                                  two_sided)
        assert bits(found.table["mean_silhouette"][r]) == bits(mean)
        assert array_bits(found.cluster_silhouettes[int(k)]) == array_bits(means)
        assert found.table["silhouettes_counted"][r] == np.count_nonzero(~np.isnan(values))


def test_every_n_jobs_gives_the_same_table():
    X = groups(5, seed=2)
    one = vantor.choose_k(X, range(2, 9), random_state=5, n_jobs=1)
    for n_jobs in (2, 3, None, -1):
        other = vantor.choose_k(X, range(2, 9), random_state=5, n_jobs=n_jobs)
        for name, column in one.table.items():
            assert other.table[name].tobytes() == column.tobytes(), (n_jobs, name)
        assert other.suggested_k == one.suggested_k


@pytest.mark.parametrize("g, two_sided, want", [(3, False, 3), (7, False, 7), (12, False, 12),
                                                 (4, True, 8)])
def test_suggests_the_number_of_separated_groups(g, two_sided, want):
    X = groups(g, m=24, signed=two_sided, seed=g)
    found = vantor.choose_k(X, range(2, 17), random_state=7, two_sided=two_sided)
    assert found.suggested_k == want
    assert "largest mean silhouette" in found.rule


def test_stretches_of_ks_are_scanned_as_one_range_would_be():
    X = groups(4, seed=3)
    whole = vantor.choose_k(X, range(2, 8), random_state=9)
    some = vantor.choose_k(X, [2, 3, 6, 7], random_state=9)
    rows = [0, 1, 4, 5]
    for name, column in some.table.items():
        assert column.tobytes() == whole.table[name][rows].tobytes(), name


def test_score_is_the_total_similarity_and_serves_grid_search():
    X = groups(3, seed=4)
    model = vantor.SimilarityKMeans(3, random_state=1).fit(X)
    assert model.converged_
    # A converged run's rows are each at a most similar prototype already.
    assert bits(model.score(X)) == bits(model.total_similarity_)
    search = pytest.importorskip("sklearn.model_selection")
    grid = search.GridSearchCV(vantor.SimilarityKMeans(random_state=1), {"n_clusters": [2, 3]},
                               cv=3).fit(X)
    assert grid.best_params_ == {"n_clusters": 3}


@pytest.mark.parametrize("ks, message", [
    ([], "ks is empty"),
    (range(5, 3), "ks is empty"),
    ([1, 2], "from 2"),
    ([3, 2], "must increase"),
    ([2, 37], "only 36 rows"),
    ("2:5", "sequence of whole numbers"),
])
def test_bad_ranges_are_refused(ks, message):
    X = groups(3, seed=5)
    with pytest.raises(ValueError, match=message):
        vantor.choose_k(X, ks)


@pytest.mark.parametrize("labels, prototypes, message", [
    (np.zeros(4, int), np.ones((1, 2)), "at least 2 prototypes"),
    (np.array([0, 1, 2, 0]), np.ones((2, 2)), "from 0 to 1"),
    (np.array([0, 1, -2, 0]), np.ones((2, 2)), "from 0 to 1"),
    (np.zeros(3, int), np.ones((2, 2)), "one whole number per row"),
    (np.zeros(4), np.ones((2, 2)), "one whole number per row"),
])
def test_bad_silhouette_arguments_are_refused(labels, prototypes, message):
    with pytest.raises(ValueError, match=message):
        vantor.silhouette_samples(np.ones((4, 2)), labels, prototypes)


@pytest.mark.parametrize("call", [
    lambda X: vantor.choose_k(X, [2, 3]),
    lambda X: vantor.silhouette_samples(X, np.zeros(len(X), int), X[:2] * 0 + 0.5),
])
def test_infinite_items_are_refused_as_clustering_refuses_them(call):
    X = groups(2, seed=6)
    X[3, 1] = np.inf
    with pytest.raises(ValueError, match=r"^X: infinite value inf at row 3, column 1"):
        call(X)


def test_plot_draws_the_elbow_and_the_silhouettes(tmp_path):
    matplotlib = pytest.importorskip("matplotlib")
    matplotlib.use("Agg")
    found = vantor.choose_k(groups(3, seed=6), range(2, 6), random_state=1)
    elbow, silhouette = found.plot()
    assert elbow.lines[0].get_ydata().tolist() == found.table["total_similarity"].tolist()
    assert silhouette.lines[0].get_ydata().tolist() == found.table["mean_silhouette"].tolist()
    path = tmp_path / "k.png"
    elbow.figure.savefig(path)
    assert path.read_bytes()[:8] == b"\x89PNG\r\n\x1a\n"
