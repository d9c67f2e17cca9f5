# The input policy every host shares, as Python holds it: what clustering
# refuses on every path (cluster, seed, the estimator, Dask), the seed range,
# totals that do not depend on how a run was started, numpy's random streams
# left alone, and scikit-learn's own estimator checks.
import math

import numpy as np
import pytest

import vantor
from conftest import bits

ITEMS = np.array([[0.5, 0.25], [0.75, 0.0], [0.0, 1.0], [0.25, 0.5]])
SEEDS = ITEMS[[0, 2]]
INF = ITEMS.copy()
INF[2, 1] = math.inf
NEG_INF = ITEMS.copy()
NEG_INF[1, 0] = -math.inf
FITTED = vantor.SimilarityKMeans(n_clusters=2, init=SEEDS).fit(ITEMS)

INFINITE = r"^{}: infinite value {} at row {}, column {}$"

# (call, the message it must raise), one row per path into clustering.
INFINITIES = [
    (lambda: vantor.cluster(INF, SEEDS), INFINITE.format("items", "inf", 2, 1)),
    (lambda: vantor.cluster(ITEMS, NEG_INF[:2]), INFINITE.format("prototypes", "-inf", 1, 0)),
    (lambda: vantor.cluster(NEG_INF, SEEDS, allow_nan=True),
     INFINITE.format("items", "-inf", 1, 0)),
    (lambda: vantor.assign(INF, SEEDS), INFINITE.format("items", "inf", 2, 1)),
    (lambda: vantor.seed(INF, 2), INFINITE.format("items", "inf", 2, 1)),
    (lambda: vantor.SimilarityKMeans(2, init="farthest").fit(INF),
     INFINITE.format("X", "inf", 2, 1)),
    (lambda: vantor.SimilarityKMeans(2, init=NEG_INF[:2]).fit(ITEMS),
     INFINITE.format("init", "-inf", 1, 0)),
    (lambda: FITTED.predict(INF), INFINITE.format("X", "inf", 2, 1)),
    (lambda: FITTED.transform(INF), INFINITE.format("X", "inf", 2, 1)),
    (lambda: FITTED.score(INF), INFINITE.format("X", "inf", 2, 1)),
]


@pytest.mark.parametrize("call, message", INFINITIES)
def test_infinities_are_refused_on_every_clustering_path(call, message):
    with pytest.raises(ValueError, match=message):
        call()


# (call, exception, message) for the arguments' edges.
ARGUMENTS = [
    (lambda: vantor.seed(ITEMS, 2, "kmeans++", random_state=2**64), ValueError,
     r"^random_state must be a whole number in \[0, 2\^64\), got 18446744073709551616$"),
    (lambda: vantor.seed(ITEMS, 2, "kmeans++", random_state=-1), ValueError,
     r"^random_state must be a whole number in \[0, 2\^64\), got -1$"),
    (lambda: vantor.seed(ITEMS, 2**31 - 1), ValueError,
     r"^k = 2147483647 is more than the 4 items with a value above 0, the candidates for "
     r"seeds$"),
    (lambda: vantor.SimilarityKMeans(9, init="first").fit(ITEMS), ValueError,
     r"^n_clusters = 9 is more than the 4 items"),
    (lambda: vantor.cluster(ITEMS, SEEDS, threshold=2**2000), ValueError,
     r"^threshold must be a number in \[0, 1\], got an integer of 603 digits$"),
    (lambda: vantor.cluster(ITEMS, SEEDS, threshold=np.nextafter(np.longdouble(1), 2)),
     ValueError, r"^threshold must be a number in \[0, 1\], got 1.0000000000000000001"),
    (lambda: vantor.cluster(ITEMS, SEEDS, threshold=np.nextafter(np.longdouble(0.5), 0)),
     ValueError, r"^threshold must be a number that a double holds exactly"),
    (lambda: vantor.SimilarityKMeans(2, init=SEEDS).fit(ITEMS[0]), ValueError,
     r"^X must be two-dimensional \(one sample per row\), got shape \(2,\); Reshape"),
    (lambda: vantor.seed(ITEMS.astype(complex), 2), TypeError,
     r"^items must hold real numbers, got complex \(Complex data not supported\)$"),
    (lambda: vantor.seed(ITEMS.astype(str), 2), TypeError,
     r"^items must hold real numbers, got string$"),
    (lambda: vantor.seed(np.array([[0.5, "0.5"]], dtype=object), 1), TypeError,
     r"^items must hold real numbers, got object \(str '0.5'\)$"),
    (lambda: vantor.seed(np.ma.masked_array(ITEMS, mask=ITEMS == 0.0), 1), ValueError,
     r"^items: masked value at row 1, column 1$"),
    (lambda: vantor.SimilarityKMeans(2, init=SEEDS).fit(np.empty((0, 2))), ValueError,
     r"^X is empty: it needs at least one row and one column \(found 0 sample"),
    (lambda: vantor.SimilarityKMeans(2, init="type0").fit(ITEMS), ValueError,
     r'^init must be one of farthest, kmeans\+\+, first; got "type0"$'),
    (lambda: vantor.SimilarityKMeans(2, init=SEEDS).fit(ITEMS)
     .set_params(two_sided="banana").transform(ITEMS), TypeError,
     "^two_sided must be True or False, got 'banana'$"),
]


@pytest.mark.parametrize("call, error, message", ARGUMENTS)
def test_arguments_are_refused_at_their_edges(call, error, message):
    with pytest.raises(error, match=message):
        call()


def test_sparse_input_is_refused_with_a_way_out():
    sparse = pytest.importorskip("scipy.sparse")
    with pytest.raises(TypeError, match=r"^X must hold real numbers, got a sparse matrix "
                                        r"\(csr_matrix\); .* pass X.toarray\(\)$"):
        FITTED.predict(sparse.csr_matrix(ITEMS))


def test_an_object_array_of_numbers_is_read_as_its_numbers():
    as_objects = vantor.cluster(ITEMS.astype(object), SEEDS)
    assert as_objects.prototypes.tobytes() == vantor.cluster(ITEMS, SEEDS).prototypes.tobytes()


def test_the_total_does_not_depend_on_how_the_run_was_started():
    # Similarities 1, 2^-53 and 2^-105 to the one prototype: the exact sum
    # rounds up to 1 + 2^-52, the library's long double sum to 1.0, so any
    # other way of adding them shows.
    items = np.array([[1.0], [2.0**-53], [2.0**-105]])
    started = vantor.SimilarityKMeans(1, init="first", max_iter=1).fit(items)
    given = vantor.SimilarityKMeans(1, init=items[:1], max_iter=1).fit(items)
    assert bits(started.total_similarity_) == bits(1.0)
    assert bits(given.total_similarity_) == bits(started.total_similarity_)


@pytest.mark.parametrize("two_sided", [False, True])
def test_score_is_the_total_of_a_converged_fit(two_sided):
    data = np.random.default_rng(3).random((300, 3)) / 3 - (0.1 if two_sided else 0.0)
    model = vantor.SimilarityKMeans(3, init="first", two_sided=two_sided).fit(data)
    assert model.converged_
    assert bits(model.score(data)) == bits(model.total_similarity_)


def test_numpy_random_streams_are_left_alone():
    for call in (lambda: vantor.seed(ITEMS, 2, "farthest"), lambda: vantor.seed(ITEMS, 2, "first"),
                 lambda: vantor.seed(ITEMS, 2, "kmeans++", random_state=5),
                 lambda: vantor.SimilarityKMeans(2, init="farthest").fit(ITEMS),
                 lambda: vantor.SimilarityKMeans(2, n_init=2, random_state=5).fit(ITEMS)):
        np.random.seed(11)
        call()
        assert np.random.random() == np.random.RandomState(11).random_sample()


def test_scikit_learn_estimator_checks_pass():
    estimator_checks = pytest.importorskip("sklearn.utils.estimator_checks")
    estimator_checks.check_estimator(vantor.SimilarityKMeans(n_clusters=2, n_init=2,
                                                             random_state=0))
