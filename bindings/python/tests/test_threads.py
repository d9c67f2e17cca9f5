# Each call stores its settings in the library's shared configuration and
# then computes. Without the binding's locks another thread could change
# the settings in between; with them every result matches a lone call.
import threading

import numpy as np

import vantor

RNG = np.random.default_rng(7)
FIRST = RNG.random(64)
SECOND = RNG.random(64)
SIGNED = RNG.uniform(-1.0, 1.0, 64)
ITEMS = RNG.random((20, 4))
SEEDS = RNG.random((3, 4))

CASES = [
    lambda i: vantor.contify(FIRST, SECOND, relation=i % 3, kernel=(i // 3) % 3,
                             threshold=(i % 5) / 5),
    lambda i: vantor.dinorm(SIGNED, aggregation=i % 3, combination=i % 4,
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
