"""Throughput and peak memory of vantor.dask.cluster on a local process
cluster against vantor.cluster in memory, on the same data.

    python3 bindings/python/bench/dask_run.py            # n = 4,000,000, m = 32, k = 16
    python3 bindings/python/bench/dask_run.py --n 400000 --chunks 50000,200000

The items are generated chunk by chunk on the workers (a PCG64 stream per
chunk, so the whole array never exists in the client during the Dask runs);
the in-memory run computes the same chunks into one array first, then clusters
it in this process. Every Dask run is checked to give the in-memory bits.
Throughput is item-passes per second (n x passes / seconds); peak memory is
each process's maximum resident set (a worker's is read after its run, from a
worker started fresh for that run). The last row keeps the generated items
in the workers' memory (persist) instead of making each chunk again in every
pass: faster, but then a worker's memory grows with n.
"""

import argparse
import time

import numpy as np


# Rows come in fixed tiles of TILE rows, so the values do not depend on how
# the rows are cut into chunks. Each tile is one random base tile with its
# rows rotated by an amount of its own: one copy, where drawing fresh
# numbers would cost as much as a clustering pass and hide what is measured.
TILE = 25_000


def base_tile(m, seed):
    global _BASE
    if _BASE is None or _BASE[0] != (m, seed):
        _BASE = ((m, seed), np.random.Generator(np.random.PCG64(seed)).random((TILE, m)))
    return _BASE[1]


_BASE = None


def tile_of(index, m, seed):
    return np.roll(base_tile(m, seed), (index * 7919) % TILE, axis=0)


def generate(block, m, seed, block_info=None):
    if block_info is None or block.shape[0] == 0:
        return np.empty(block.shape)
    first, last = block_info[None]["array-location"][0]
    tiles = [tile_of(tile, m, seed) for tile in range(first // TILE, (last - 1) // TILE + 1)]
    start = first - (first // TILE) * TILE
    whole = tiles[0] if len(tiles) == 1 else np.concatenate(tiles)
    return whole[start:start + last - first]


def items_of(dask_array, n, m, chunk, seed):
    # A placeholder array of the right chunks, replaced by generated values
    # inside each task: nothing of size n is built in the client.
    shape = dask_array.empty((n, m), chunks=(chunk, m), dtype=np.float64)
    return shape.map_blocks(generate, m, seed, dtype=np.float64)


def peak_mib():
    """The process's peak resident set (VmHWM), in MiB."""
    with open("/proc/self/status") as status:
        for line in status:
            if line.startswith("VmHWM:"):
                return int(line.split()[1]) / 1024.0
    return float("nan")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--n", type=int, default=4_000_000)
    parser.add_argument("--m", type=int, default=32)
    parser.add_argument("--k", type=int, default=16)
    parser.add_argument("--passes", type=int, default=5)
    parser.add_argument("--threshold", type=float, default=0.25)
    parser.add_argument("--chunks", default="125000,500000",
                        help="rows per chunk, comma-separated; one Dask run each")
    parser.add_argument("--seed", type=int, default=15)
    args = parser.parse_args()

    import dask.array as da
    import distributed

    import vantor
    import vantor.dask

    n, m, k = args.n, args.m, args.k
    chunk_sizes = [int(c) for c in args.chunks.split(",")]
    seeds_source = items_of(da, n, m, chunk_sizes[0], args.seed)
    data = seeds_source.compute(scheduler="synchronous")
    seeds = np.array(data[:k])

    # The baseline is one thread in memory (the engine's similarity cache
    # on, as every in-memory fit has it); the same call on every core is
    # shown beside it.
    start = time.perf_counter()
    want = vantor.cluster(data, seeds, args.threshold, args.passes, n_jobs=1)
    memory_seconds = time.perf_counter() - start
    memory_rate = n * want.passes / memory_seconds
    start = time.perf_counter()
    vantor.cluster(data, seeds, args.threshold, args.passes, n_jobs=-1)
    cores_seconds = time.perf_counter() - start
    cores_rate = n * want.passes / cores_seconds
    print(f"n={n} m={m} k={k} passes={want.passes} threshold={args.threshold}")
    print()
    print("| Run | Chunk rows | Seconds | Item-passes/s | vs in memory, one thread | Peak MiB per process |")
    print("|---|---|---|---|---|---|")
    print(f"| in memory, one process, one thread | - | {memory_seconds:.2f} | {memory_rate:,.0f} | 1.00x "
          f"| {peak_mib():.0f} |")
    print(f"| in memory, one process, every core | - | {cores_seconds:.2f} | {cores_rate:,.0f} | "
          f"{cores_rate / memory_rate:.2f}x | |")
    del data

    runs = [(chunk, False) for chunk in chunk_sizes] + [(chunk_sizes[-1], True)]
    for chunk, persisted in runs:
        # A fresh cluster per run, so each worker's peak belongs to this run.
        with distributed.LocalCluster(n_workers=2, threads_per_worker=1, processes=True,
                                      host="127.0.0.1", dashboard_address="127.0.0.1:0",
                                      silence_logs=40) as cluster, \
                distributed.Client(cluster) as client:
            client.wait_for_workers(2)
            items = items_of(da, n, m, chunk, args.seed)
            if persisted:
                # Generated once and kept in the workers' memory, outside the
                # timing: no chunk is made again in later passes.
                items = items.persist()
                distributed.wait(items)
            start = time.perf_counter()
            got = vantor.dask.cluster(items, seeds, args.threshold, args.passes)
            seconds = time.perf_counter() - start
            peaks = client.run(peak_mib)
            same = (got.prototypes.tobytes() == want.prototypes.tobytes()
                    and np.array_equal(got.assignments, want.assignments)
                    and got.similarities.tobytes() == want.similarities.tobytes()
                    and got.passes == want.passes)
            rate = n * got.passes / seconds
            worker_peaks = ", ".join(f"{peak:.0f}" for peak in sorted(peaks.values()))
            how = "items kept on the workers" if persisted else "chunks made in every pass"
            print(f"| Dask, 2 process workers x 1 thread, {how} | {chunk:,} | {seconds:.2f} | "
                  f"{rate:,.0f} | {rate / memory_rate:.2f}x | workers {worker_peaks} |"
                  + ("" if same else " BITS DIFFER"))
            if not same:
                raise SystemExit("the Dask run did not give the in-memory bits")


if __name__ == "__main__":
    main()
