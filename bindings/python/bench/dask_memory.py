"""Peak memory per worker of vantor.dask.cluster against n, with the chunks
made by tasks in every pass (nothing persisted): the figure that should
depend on the chunk size and the number of workers, not on n.

    python3 bindings/python/bench/dask_memory.py --n 1000000,2000000,4000000

The items are those of dask_run.py (generated chunk by chunk on the
workers); each n gets a fresh two-worker process cluster, so a worker's
peak resident set belongs to that run alone. No in-memory run here.
"""

import argparse

import dask_run


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--n", default="1000000,2000000,4000000")
    parser.add_argument("--chunks", type=int, default=125_000)
    parser.add_argument("--passes", type=int, default=5)
    args = parser.parse_args()

    import dask.array as da
    import distributed

    import vantor.dask

    print("| n | Chunk rows | Passes | Peak MiB per worker |")
    print("|---:|---:|---:|---|")
    for n in (int(value) for value in args.n.split(",")):
        with distributed.LocalCluster(n_workers=2, threads_per_worker=1, processes=True,
                                      host="127.0.0.1", dashboard_address="127.0.0.1:0",
                                      silence_logs=40) as cluster, \
                distributed.Client(cluster) as client:
            client.wait_for_workers(2)
            items = dask_run.items_of(da, n, 32, args.chunks, 15)
            seeds = items[:16].compute()
            run = vantor.dask.cluster(items, seeds, 0.25, args.passes)
            peaks = sorted(client.run(dask_run.peak_mib).values())
            print(f"| {n:,} | {args.chunks:,} | {run.passes} | "
                  f"{', '.join(f'{peak:.0f}' for peak in peaks)} |")


if __name__ == "__main__":
    main()
