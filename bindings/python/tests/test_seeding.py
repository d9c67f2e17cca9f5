# seed() and SimilarityKMeans' restarts are the library's seeding: the same
# arguments give the bits of the C++ functions, called here through ctypes.
import ctypes
import itertools

import numpy as np
import pytest

import vantor
from conftest import array_bits

RNG = np.random.default_rng(17)
ITEMS = np.where(RNG.random((80, 5)) < 0.3, 0.5, RNG.random((80, 5)))  # ties
SIGNED = ITEMS * RNG.choice([-1.0, 1.0], ITEMS.shape)
SIGNED[3] = -0.0  # a row that is no candidate on either side


class Clustions(ctypes.Structure):
    _fields_ = [("threshold", ctypes.c_double), ("iterationLimit", ctypes.c_int)]


P = ctypes.c_void_p


@pytest.fixture(scope="module")
def cpp(c_library):
    lib = c_library.lib
    choose = lib._ZN6Vantor11chooseSeedsERNS_9ClustionsEiiPKdiibmPdPiS5_
    choose.argtypes = [ctypes.POINTER(Clustions), ctypes.c_int, ctypes.c_int, P, ctypes.c_int,
                       ctypes.c_int, ctypes.c_bool, ctypes.c_uint64, P, P, P]
    choose.restype = ctypes.c_bool
    starts = lib._ZN6Vantor17clusterFromStartsERNS_9ClustionsEiimPKdPKibPdPiS6_S7_S6_S7_S7_S6_
    starts.argtypes = [ctypes.POINTER(Clustions), ctypes.c_int, ctypes.c_int, ctypes.c_uint64,
                       P, P, ctypes.c_bool, P, P, P, P, P, P, P, P]
    starts.restype = ctypes.c_bool
    return choose, starts


def pointer(a):
    return a.ctypes.data_as(P) if a is not None else None


@pytest.mark.parametrize("rule, two_sided, threshold, random_seed", list(itertools.product(
    ["farthest", "kmeans++", "first"], [False, True], [0.0, 0.3], [0, 12345, 2**64 - 1])))
def test_seeds_are_the_libraries(cpp, rule, two_sided, threshold, random_seed):
    items = SIGNED if two_sided else ITEMS
    got = vantor.seed(items, 6, rule, random_state=random_seed, threshold=threshold,
                      two_sided=two_sided)
    seeds, rows, parts = np.zeros((6, 5)), np.zeros(6, np.intc), np.zeros(6, np.intc)
    assert cpp[0](Clustions(threshold, 40), vantor._vantor.SEEDING_NAMES.index(rule), 6,
                  pointer(items), 80, 5, two_sided, random_seed, pointer(seeds), pointer(rows),
                  pointer(parts))
    assert array_bits(got.prototypes) == array_bits(seeds)
    assert got.rows.tolist() == rows.tolist() and got.parts.tolist() == parts.tolist()


@pytest.mark.parametrize("init, two_sided", [("kmeans++", False), ("kmeans++", True),
                                             ("farthest", False)])
def test_restarts_keep_the_libraries_best_run(cpp, init, two_sided):
    items = SIGNED if two_sided else ITEMS
    model = vantor.SimilarityKMeans(n_clusters=4, init=init, n_init=5, threshold=0.1,
                                    max_iter=9, two_sided=two_sided, random_state=99).fit(items)
    n = items.shape[0]
    prototypes, labels, sims = np.zeros((4, 5)), np.zeros((2, n), np.intc), np.zeros((2, n))
    info, winner, total = np.zeros(2, np.intc), np.zeros(1, np.intc), np.zeros(1)
    assert cpp[1](Clustions(0.1, 9), vantor._vantor.SEEDING_NAMES.index(init), 5, 99,
                  pointer(items), pointer(np.array([4, n, 5], np.intc)), two_sided,
                  pointer(prototypes), pointer(labels[0]), pointer(sims[0]),
                  pointer(labels[1]) if two_sided else None,
                  pointer(sims[1]) if two_sided else None, pointer(info), pointer(winner),
                  pointer(total))
    sides = 2 if two_sided else 1
    assert array_bits(model.cluster_centers_) == array_bits(prototypes)
    assert model.labels_.T.reshape(sides, n).tolist() == labels[:sides].tolist()
    assert array_bits(model.similarities_.T.reshape(sides, n)) == array_bits(sims[:sides])
    assert (model.converged_, model.n_iter_) == (bool(info[0]), int(info[1]))
    assert (model.best_start_, model.total_similarity_) == (int(winner[0]), total[0])


def test_random_state_is_read_as_scikit_learn_reads_it():
    def centers(random_state):
        return vantor.SimilarityKMeans(n_clusters=3, n_init=2, random_state=random_state).fit(
            ITEMS).cluster_centers_.tobytes()
    assert centers(7) == centers(7)
    assert centers(np.random.RandomState(3)) == centers(np.random.RandomState(3))
    assert centers(np.random.default_rng(3)) == centers(np.random.default_rng(3))
    assert vantor.seed(ITEMS, 3, "kmeans++", random_state=7).rows.tolist() == \
        vantor.seed(ITEMS, 3, "kmeans++", random_state=7).rows.tolist()


@pytest.mark.parametrize("call, error, message", [
    (lambda: vantor.seed(ITEMS[:2], 3), ValueError,
     "k = 3 is more than the 2 items with a value above 0, the candidates for seeds"),
    (lambda: vantor.seed(-ITEMS[:2], 3, two_sided=True), ValueError,
     "k = 3 is more than the 2 item parts with a value other than 0"),
    (lambda: vantor.seed(ITEMS, 3, method="random"), ValueError,
     "method must be one of farthest, kmeans\\+\\+, first"),
    (lambda: vantor.seed(ITEMS, 0), ValueError, "k must be a whole number from 1"),
    (lambda: vantor.seed(ITEMS, 2, random_state=-1), ValueError,
     r"random_state must be a whole number in \[0, 2\^64\), got -1"),
    (lambda: vantor.seed(ITEMS, 2, random_state="7"), TypeError, "random_state must be None"),
    (lambda: vantor.seed([[0.5, np.nan]], 1), ValueError, "items: NaN at row 0, column 1"),
])
def test_refusals(call, error, message):
    with pytest.raises(error, match=message):
        call()
