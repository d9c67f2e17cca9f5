#!/usr/bin/env python3
"""A whole fit against scikit-learn's, one command, one run:

    env -u OPENBLAS_CORETYPE -u OPENBLAS_L2_SIZE python3 bindings/python/bench/kmeans_fit.py

SimilarityKMeans.fit against sklearn.cluster.KMeans.fit (Lloyd) on the same
clustered table (k = 16, n = 50,000, m = 32, n_init = 10, max_iter = 40),
each with one thread and with every core, medians of --repeats fits. Also
the same fit with the similarity cache turned off, which does the work of
the package before the cache (every pass rescans every prototype). Prints a
Markdown table with passes and evaluations (similarities, or squared
distances for KMeans), the load of the machine and the BLAS that ran.

The OpenBLAS variables are unset for this command only (as above), so that
KMeans runs the kernel OpenBLAS picks for this processor.
"""

import argparse
import os
import statistics
import time

import numpy as np

import vantor
from vantor import _vantor

K, N, M, STARTS, PASSES = 16, 50_000, 32, 10, 40


def table(seed=2026):
    """N rows around K centres in [0, 1], noise of +-0.15 (non-negative data,
    so both methods see the same table)."""
    rng = np.random.default_rng(seed)
    centres = rng.random((K, M))
    rows = centres[rng.integers(0, K, N)] + rng.uniform(-0.15, 0.15, (N, M))
    return np.clip(rows, 0.0, None)


def median_fit(fit, repeats):
    """Median wall and process CPU seconds (every thread's) of `repeats` fits,
    and the last fit's facts. On a loaded machine the CPU time of a
    one-thread fit is the steadier figure."""
    walls, cpus = [], []
    result = None
    for _ in range(repeats):
        wall, cpu = time.perf_counter(), time.process_time()
        result = fit()
        walls.append(time.perf_counter() - wall)
        cpus.append(time.process_time() - cpu)
    return (statistics.median(walls), statistics.median(cpus)), result


def ours(x, jobs, cache=True):
    def fit():
        found = _vantor.cluster_from_starts(x, K, 1, STARTS, 7, 0.0, PASSES, False, False,
                                            jobs, -1 if cache else 0)
        return {"passes": found[4], "all_passes": found[7], "evaluations": found[8]}
    return fit


def theirs(x, jobs):
    from sklearn.cluster import KMeans
    from threadpoolctl import threadpool_limits

    def fit():
        with threadpool_limits(limits=jobs):
            model = KMeans(K, init="k-means++", n_init=STARTS, max_iter=PASSES,
                           algorithm="lloyd", random_state=7).fit(x)
        return {"passes": model.n_iter_}
    return fit


def kmeans_all_passes(x):
    """Passes of each of the ten starts, from ten single-start fits seeded as
    KMeans seeds its starts; each Lloyd pass makes n * k distance evaluations
    (k-means++ seeding adds about n * k * (2 + ln k) more per start)."""
    from sklearn.cluster import KMeans
    from sklearn.utils import check_random_state

    state = check_random_state(7)
    seeds = state.randint(np.iinfo(np.int32).max, size=STARTS)
    return sum(KMeans(K, n_init=1, max_iter=PASSES, algorithm="lloyd",
                      random_state=int(s)).fit(x).n_iter_ for s in seeds)


def blas():
    """The BLAS and OpenMP libraries KMeans ran with: threadpoolctl's view,
    and the BLAS shared objects actually mapped into this process (Debian's
    reference BLAS, for one, is not known to threadpoolctl)."""
    pools = []
    try:
        from threadpoolctl import threadpool_info
        pools = [f"{i.get('internal_api')} {i.get('version') or ''}".strip()
                 for i in threadpool_info()]
    except ImportError:
        pools = ["threadpoolctl missing"]
    mapped = set()
    try:
        with open("/proc/self/maps") as maps:
            for line in maps:
                path = line.split()[-1]
                if "blas" in os.path.basename(path).lower():
                    mapped.add(os.path.realpath(path))
    except OSError:
        pass
    return f"threadpoolctl: {', '.join(pools) or 'none'}; mapped: {', '.join(sorted(mapped)) or 'none'}"


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--repeats", type=int, default=3)
    args = parser.parse_args()
    x = table()
    cores = os.cpu_count() or 1
    load = os.getloadavg()
    rows = []
    for label, jobs in (("1 thread", 1), (f"{cores} threads", cores)):
        before, full = median_fit(ours(x, jobs, cache=False), args.repeats)
        mine, run = median_fit(ours(x, jobs), args.repeats)
        other, fitted = median_fit(theirs(x, jobs), args.repeats)
        rows.append((label, before, mine, other, run, fitted, full))
    lloyd_passes = kmeans_all_passes(x)
    print(f"k = {K}, n = {N}, m = {M}, n_init = {STARTS}, max_iter = {PASSES}; "
          f"medians of {args.repeats} fits; load average {load[0]:.1f} / {load[1]:.1f} / "
          f"{load[2]:.1f} on {cores} cores; BLAS: {blas()}; "
          f"OPENBLAS_CORETYPE={os.environ.get('OPENBLAS_CORETYPE', 'unset')}\n")
    print("Wall seconds, process CPU seconds in brackets.\n")
    print("| threads | SimilarityKMeans, no cache | SimilarityKMeans | KMeans (Lloyd) "
          "| no cache / SimilarityKMeans | KMeans / SimilarityKMeans |")
    print("|---|---:|---:|---:|---:|---:|")
    for label, before, mine, other, *_ in rows:
        print(f"| {label} | {before[0]:.2f} ({before[1]:.2f}) | {mine[0]:.2f} ({mine[1]:.2f}) "
              f"| {other[0]:.2f} ({other[1]:.2f}) | {before[0] / mine[0]:.2f}x "
              f"({before[1] / mine[1]:.2f}x) | {other[0] / mine[0]:.2f}x "
              f"({other[1] / mine[1]:.2f}x) |")
    single, multi = rows[0][2][0], rows[1][2][0]
    print(f"\nWall time, {cores} threads against 1: SimilarityKMeans {single / multi:.2f}x, "
          f"KMeans {rows[0][3][0] / rows[1][3][0]:.2f}x")
    run, fitted, full = rows[0][4], rows[0][5], rows[0][6]
    print(f"\nSimilarityKMeans: kept run {run['passes']} passes, all starts "
          f"{run['all_passes']} passes, {run['evaluations']:,} similarity evaluations, "
          f"seeding included (without the cache {full['evaluations']:,}).")
    print(f"KMeans: kept run {fitted['passes']} passes, all starts {lloyd_passes} passes, "
          f"{lloyd_passes * N * K:,} distance evaluations in its passes.")


if __name__ == "__main__":
    main()
