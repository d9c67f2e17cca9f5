#!/usr/bin/env python3
"""Benchmark of the Python package, one command, one run:

    python3 bindings/python/bench/run.py        (with vantor importable)

prints a Markdown table of medians and ratios:
  - contify and dinorm per row on 200,000 rows of 20 values, threshold 0.3
    (contify first in second, Type1; dinorm extreme values, dominant side):
    the package's table call, the numpy code a user would write for the same
    kernel, and a Python loop of single calls (timed on a slice, given per
    row);
  - cluster from Python against the same call from C++ (n = 100,000,
    m = 32, k = 16), the C++ timer compiled with the extension's flags;
  - the table contify in 1 and 2 Python threads (throughput ratio).
The machine may be shared and noisy: read ratios, not absolute times.
"""

import argparse
import os
import statistics
import subprocess
import sys
import tempfile
import time
from concurrent.futures import ThreadPoolExecutor
from pathlib import Path

import numpy as np

import vantor

HERE = Path(__file__).resolve().parent
THRESHOLD = 0.3  # the tables' shape: about 70 % of the positions take part
REPOSITORY = HERE.parents[2]


def median_seconds(call, repeats):
    """Median wall time and median CPU time of the process, in seconds. On a
    shared machine the CPU time is the steadier of the two."""
    walls, cpus = [], []
    for _ in range(repeats):
        wall, cpu = time.perf_counter(), time.process_time()
        call()
        walls.append(time.perf_counter() - wall)
        cpus.append(time.process_time() - cpu)
    return np.array([statistics.median(walls), statistics.median(cpus)])


def numpy_contify(a, b, threshold=0.0):
    """First in second, Type1 (the default), written as a numpy user would."""
    gate = a >= threshold
    term = np.where(b >= a, a, b)
    numerator = np.where(gate, term, 0.0).sum(axis=1)
    denominator = np.where(gate, a, 0.0).sum(axis=1)
    out = np.zeros_like(numerator)
    np.divide(numerator, denominator, out=out, where=denominator > 0.0)
    return out


def numpy_dinorm(v, threshold=0.0):
    """Extreme value on each side, dominant combination (the defaults)."""
    negative = np.where(v <= -threshold, v, 0.0).min(axis=1)
    positive = np.where(v >= threshold, v, 0.0).max(axis=1)
    d = positive + negative
    combined = np.where(d > 0.0, positive, np.where(d < 0.0, negative, 0.0))
    return negative, positive, combined


def table_rows(args):
    rng = np.random.default_rng(2026)
    rows, m = args.rows, 20
    # Ties: half the values from a coarse grid.
    grid = np.array([0.0, 0.25, 0.5, 0.75, 1.0])
    a = np.where(rng.random((rows, m)) < 0.5, rng.choice(grid, (rows, m)), rng.random((rows, m)))
    b = np.where(rng.random((rows, m)) < 0.5, rng.choice(grid, (rows, m)), rng.random((rows, m)))
    signed = a * rng.choice([-1.0, 1.0], (rows, m))
    loop_rows = max(1, rows // 10)
    out = []

    # Same results as the numpy code (to rounding), so the comparison is fair.
    t = THRESHOLD
    assert np.allclose(vantor.contify(a[:1000], b[:1000], threshold=t),
                       numpy_contify(a[:1000], b[:1000], t))
    assert np.allclose(np.column_stack(vantor.dinorm(signed[:1000], threshold=t)),
                       np.column_stack(numpy_dinorm(signed[:1000], t)))
    for name, table_call, numpy_call, loop_call in [
        ("contify", lambda: vantor.contify(a, b, threshold=t), lambda: numpy_contify(a, b, t),
         lambda: [vantor.contify(x, y, threshold=t) for x, y in zip(a[:loop_rows], b[:loop_rows])]),
        ("dinorm", lambda: vantor.dinorm(signed, threshold=t), lambda: numpy_dinorm(signed, t),
         lambda: [vantor.dinorm(x, threshold=t) for x in signed[:loop_rows]]),
    ]:
        package = median_seconds(table_call, args.repeats) / rows
        numpy_time = median_seconds(numpy_call, args.repeats) / rows
        loop = median_seconds(loop_call, 3) / loop_rows
        out.append((f"{name}, per row ({rows:,} x {m})", package, numpy_time, loop))
    return out, (a, b)


def alternating(calls, repeats):
    """Medians of several calls timed in turns, so that a change in the
    machine's load falls on all of them alike."""
    times = [[] for _ in calls]
    for _ in range(repeats):
        for spent, call in zip(times, calls):
            spent.append(call())
    return [statistics.median(spent) for spent in times]


def timed(call):
    def run():
        start = time.perf_counter()
        call()
        return time.perf_counter() - start
    return run


def threads(args, a, b):
    """Wall times of the table in one call and in two halves on two threads,
    and how many CPUs the two threads kept busy (CPU time over wall time):
    near 2 means the GIL was not held, whatever else the machine runs."""
    halves = np.array_split(np.arange(a.shape[0]), 2)
    parts = [(np.ascontiguousarray(a[h]), np.ascontiguousarray(b[h])) for h in halves]
    busy = []

    def both(pool):
        wall, cpu = time.perf_counter(), time.process_time()
        list(pool.map(lambda p: vantor.contify(*p), parts))
        busy.append((time.process_time() - cpu) / (time.perf_counter() - wall))

    with ThreadPoolExecutor(max_workers=2) as pool:
        one, two = alternating([timed(lambda: vantor.contify(a, b)), timed(lambda: both(pool))],
                               args.repeats)
    return one, two, statistics.median(busy)


def overhead(args):
    """Per row cost of the table loop itself: rows without values."""
    empty = np.zeros((args.rows, 0))
    return median_seconds(lambda: vantor.contify(empty, empty), args.repeats) / args.rows


def cluster_times(args):
    rng = np.random.default_rng(7)
    n, m, k = args.cluster_n, 32, 16
    items = rng.random((n, m))
    seeds = items[rng.choice(n, k, replace=False)].copy()
    with tempfile.TemporaryDirectory() as scratch:
        scratch = Path(scratch)
        timer = scratch / "cluster_timer"
        sources = sorted(str(p) for p in (REPOSITORY / "src").glob("*.cpp"))
        # The extension's flags (setup.py): the comparison is the binding, not the compiler.
        subprocess.run(["g++", "-std=c++17", "-O2", "-ffp-contract=off", "-fno-fast-math",
                        "-fwrapv", "-fvisibility=hidden", f"-I{REPOSITORY / 'include'}",
                        f"-I{REPOSITORY / 'src'}", str(HERE / "cluster_timer.cpp"), *sources,
                        "-o", str(timer)], check=True)
        items.tofile(scratch / "items")
        seeds.tofile(scratch / "seeds")
        command = [str(timer), str(scratch / "items"), str(scratch / "seeds"), str(k), str(n),
                   str(m), str(args.passes), "1"]

        def cpp():
            return float(subprocess.run(command, check=True, capture_output=True,
                                        text=True).stdout)
        return alternating([timed(lambda: vantor.cluster(items, seeds, max_passes=args.passes)),
                            cpp], args.repeats)


def ns(seconds):
    return f"{seconds[0] * 1e9:.0f} ns ({seconds[1] * 1e9:.0f})"


def ratio(numerator, denominator):
    wall, cpu = numerator / denominator
    return f"{wall:.1f}x ({cpu:.1f}x)"


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--rows", type=int, default=200_000)
    parser.add_argument("--cluster-n", type=int, default=100_000)
    parser.add_argument("--passes", type=int, default=10, help="max_passes of the cluster run")
    parser.add_argument("--repeats", type=int, default=9)
    args = parser.parse_args()

    print(f"vantor {vantor.__version__} from {Path(vantor.__file__).parent}, numpy "
          f"{np.__version__}, {os.cpu_count()} cores; medians of {args.repeats} runs\n")
    rows, (a, b) = table_rows(args)
    print("Per row, wall (CPU) medians:\n")
    print("| per row | vantor table call | numpy vectorised | Python loop of single calls "
          "| numpy / vantor | loop / vantor |")
    print("|---|---|---|---|---|---|")
    for name, package, numpy_time, loop in rows:
        print(f"| {name} | {ns(package)} | {ns(numpy_time)} | {ns(loop)} | "
              f"{ratio(numpy_time, package)} | {ratio(loop, package)} |")

    print(f"| contify, per row ({args.rows:,} x 0): the loop's own cost | "
          f"{ns(overhead(args))} | | | | |")
    python, cpp = cluster_times(args)
    one, two, busy = threads(args, a, b)
    print()
    print("| call | figure | ratio |")
    print("|---|---|---|")
    print(f"| cluster n={args.cluster_n:,} m=32 k=16, {args.passes} passes: Python / C++ | "
          f"{python * 1e3:.1f} ms / {cpp * 1e3:.1f} ms | {python / cpp:.3f} |")
    print(f"| contify table, {a.shape[0]:,} rows: 1 thread / 2 threads | "
          f"{one * 1e3:.1f} ms / {two * 1e3:.1f} ms | {one / two:.2f}x throughput; "
          f"{busy:.2f} CPUs busy with 2 threads |")
    return 0


if __name__ == "__main__":
    sys.exit(main())
