# Every call makes its own library instance and releases the GIL while it
# computes: threads running at once must each see only their own settings
# and get exactly the results of lone calls.
import threading
from concurrent.futures import ThreadPoolExecutor

import numpy as np
import pytest

import vantor
from vantor._modes import AGGREGATIONS as AGG, COMBINATIONS as CMB, CONTIFIER_KERNELS as KER
from vantor._modes import RELATIONS as REL

RNG = np.random.default_rng(7)
FIRST = RNG.random(64)
SECOND = RNG.random(64)
SIGNED = RNG.uniform(-1.0, 1.0, 64)
ITEMS = RNG.random((20, 4))
SEEDS = RNG.random((3, 4))

CASES = [
    lambda i: vantor.contify(FIRST, SECOND, relation=REL[i % 3], kernel=KER[(i // 3) % 3],
                             threshold=(i % 5) / 5),
    lambda i: vantor.dinorm(SIGNED, aggregation=AGG[i % 3], combination=CMB[i % 4],
                            threshold=(i % 4) / 4, neutral_band=(i % 3) / 10),
    lambda i: vantor.cluster(ITEMS, SEEDS, threshold=(i % 4) / 4, limit=1 + i % 3).prototypes
    .tobytes(),
]


def test_concurrent_calls_see_their_own_settings():
    expected = [[case(i) for i in range(30)] for case in CASES]
    failures = []

    def worker(case_index, offset):
        case = CASES[case_index]
        for repeat in range(150):
            i = (offset + repeat) % 30
            if case(i) != expected[case_index][i]:
                failures.append((case_index, i))

    threads = [threading.Thread(target=worker, args=(c, t)) for c in range(3) for t in range(3)]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join()
    assert failures == []


def test_eight_threads_on_tables_give_the_serial_results():
    rng = np.random.default_rng(11)
    a, b = rng.random((2000, 20)), rng.random((2000, 20))
    signed = rng.uniform(-1.0, 1.0, (2000, 20))

    def work(i):
        return (vantor.contify(a, b, relation=REL[i % 3], kernel=KER[i % 3], threshold=(i % 4) / 4)
                .tobytes(),
                np.column_stack(vantor.dinorm(signed, aggregation=AGG[i % 3],
                                              combination=CMB[i % 4]))
                .tobytes(),
                vantor.cluster(a[:500], a[:4], threshold=(i % 2) / 2).prototypes.tobytes())

    serial = [work(i) for i in range(16)]
    with ThreadPoolExecutor(max_workers=8) as pool:
        parallel = list(pool.map(work, range(16)))
    assert parallel == serial


# n_jobs: every thread count gives the bits of one thread (which the other
# tests hold to the C entries), for runs that converge and runs cut at the
# pass limit, one- and two-sided, with NaN allowed.
def _clustered(rng, n, m, signed):
    centres = rng.uniform(-1.0 if signed else 0.0, 1.0, (5, m))
    return centres[np.arange(n) % 5] + rng.uniform(-0.3, 0.3, (n, m))


def _fitted_bits(model):
    return (model.cluster_centers_.tobytes(), model.labels_.tobytes(),
            model.similarities_.tobytes(), model.n_iter_, model.converged_, model.best_start_,
            np.float64(model.total_similarity_).tobytes())


def test_n_jobs_give_the_bits_of_one_thread():
    rng = np.random.default_rng(23)
    for signed in (False, True):
        data = _clustered(rng, 600, 7, signed)
        data[5, 2] = np.nan
        seeds = data[:6].copy()
        seeds[0, 2] = 0.5
        for max_iter in (3, 40):
            fits = [vantor.SimilarityKMeans(6, n_init=4, max_iter=max_iter, two_sided=signed,
                                            random_state=3, allow_nan=True, n_jobs=jobs).fit(data)
                    for jobs in (1, 2, 3, 8, None, -1)]
            assert all(_fitted_bits(f) == _fitted_bits(fits[0]) for f in fits)
            runs = [vantor.cluster(data, seeds, max_passes=max_iter, two_sided=signed,
                                   allow_nan=True, n_jobs=jobs) for jobs in (1, 2, 8, None)]
            assert all(r.prototypes.tobytes() == runs[0].prototypes.tobytes() and
                       r.assignments.tobytes() == runs[0].assignments.tobytes() and
                       r.similarities.tobytes() == runs[0].similarities.tobytes() and
                       r.passes == runs[0].passes for r in runs)
        picks = [vantor.seed(data, 6, "kmeans++", random_state=9, two_sided=signed,
                             allow_nan=True, n_jobs=jobs) for jobs in (1, 2, 3, None)]
        assert all(p.prototypes.tobytes() == picks[0].prototypes.tobytes() and
                   list(p.rows) == list(picks[0].rows) for p in picks)


def test_n_jobs_refusals():
    data = np.random.default_rng(1).random((20, 3))
    for bad in (0, 1.5, "2", True):
        with pytest.raises(ValueError):
            vantor.SimilarityKMeans(2, n_jobs=bad).fit(data)
