# Every call makes its own library instance and releases the GIL while it
# computes: threads running at once must each see only their own settings
# and get exactly the results of lone calls.
import threading
from concurrent.futures import ThreadPoolExecutor

import numpy as np

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
