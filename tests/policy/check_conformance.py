#!/usr/bin/env python3
"""Every host refuses the same bad input in the same words, and gives the
same bits for the same good input; Python and R also give the same bits for
the silhouettes of each good run.

The inputs are the table tests/policy/bad_inputs.json; the words are the
message texts of include/vantor/input_policy.h (read by policy_header.py),
filled in with each host's own argument names and row numbering. Hosts:
the command-line tool, the Python package and its Dask backend (run in this
interpreter, so run it with the interpreter that imports the built
package), and the R package. A host that is not built here is skipped with
a message; any difference fails, naming the row and the host.

    check_conformance.py --root REPO [--tool VANTOR] [--r-library DIR]
"""

import argparse
import json
import math
import os
import shutil
import subprocess
import sys
import tempfile
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import policy_header  # noqa: E402

FIRST_INDEX = {"tool": 1, "python": 0, "dask": 0, "r": 1}


class Skip(Exception):
    """The host cannot be run here; the reason is printed."""


def number(value):
    return float(value) if isinstance(value, str) else value


def hex_or_none(value):
    return None if value is None or math.isnan(value) else float(value).hex()


def normalised(prototypes, assignments, similarities):
    """Prototypes, and per side each item's prototype (-1: none) and the
    bits of its similarity (None where unassigned)."""
    return {
        "prototypes": [[float(v).hex() for v in row] for row in prototypes],
        "assignments": [[int(a) for a in side] for side in assignments],
        "similarities": [[hex_or_none(s) if a >= 0 else None for a, s in zip(sa, ss)]
                         for sa, ss in zip(assignments, similarities)],
    }


# ---- the tool ---------------------------------------------------------------

def tool_rows(args, rows):
    if not args.tool or not Path(args.tool).exists():
        raise Skip("the tool is not built (--tool)")
    out = {}
    with tempfile.TemporaryDirectory() as scratch:
        for row in rows:
            items = Path(scratch, "items.csv")
            items.write_text(csv(row["items"]))
            command = [args.tool, "cluster"]
            if row["call"] == "cluster":
                seeds = Path(scratch, "seeds.csv")
                seeds.write_text(csv(row["prototypes"]))
                command += ["--seeds", str(seeds)]
            else:
                command += ["-k", str(row["k"]), "--seeding", row["seeding"]]
                if "seed" in row:
                    command += ["--random-seed", row["seed"]]
                if "restarts" in row:
                    command += ["--restarts", str(row["restarts"])]
            if "threshold" in row:
                command += ["--threshold", repr(row["threshold"])]
            if "passes" in row:
                command += ["--max-passes", str(row["passes"])]
            if row.get("two_sided"):
                command.append("--two-sided")
            done = subprocess.run(command + [str(items)], capture_output=True, text=True,
                                  timeout=120)
            if done.returncode != 0:
                out[row["id"]] = ("refused", done.stderr.strip())
            else:
                out[row["id"]] = ("result", tool_result(done.stdout, row.get("two_sided")))
    return out


def csv(table):
    return "".join(",".join(str(v) for v in line) + "\n" for line in table)


def tool_result(text, two_sided):
    blocks = [block.splitlines() for block in text.strip().split("\n\n")]
    items, prototypes = blocks[1][1:], blocks[2][1:]
    fields = [line.split(",") for line in items]
    sides = [(1, 2), (3, 4)] if two_sided else [(1, 2)]
    assignments = [[int(f[a]) for f in fields] for a, _ in sides]
    similarities = [[float(f[s]) if f[s] else math.nan for f in fields] for _, s in sides]
    centres = [[float(v) for v in line.split(",")[1:]] for line in prototypes]
    return normalised(centres, assignments, similarities)


# ---- Python and Dask, in this interpreter ----------------------------------

def python_rows(args, rows, spread=False):
    try:
        import numpy as np
        import vantor
        if spread:
            import dask.array as da
            import vantor.dask as vantor_dask
    except ImportError as missing:
        raise Skip(f"cannot import {missing.name}") from None
    out = {}
    for row in rows:
        if spread and row["call"] != "cluster":
            continue
        items = np.array([[number(v) for v in line] for line in row["items"]])
        try:
            if row["call"] == "cluster":
                prototypes = np.array([[number(v) for v in line] for line in row["prototypes"]])
                options = dict(threshold=row.get("threshold", 0.0),
                               max_passes=row.get("passes", 40),
                               two_sided=row.get("two_sided", False))
                if spread:
                    run = vantor_dask.cluster(da.from_array(items, chunks=(2, -1)), prototypes,
                                              **options)
                else:
                    run = vantor.cluster(items, prototypes, **options)
                sides = np.atleast_2d(run.assignments), np.atleast_2d(run.similarities)
                out[row["id"]] = ("result", normalised(run.prototypes, *sides))
                centres, labels = run.prototypes, run.assignments
            else:
                model = vantor.SimilarityKMeans(
                    n_clusters=row["k"], init=row["seeding"], n_init=row.get("restarts", 10),
                    random_state=int(row["seed"]) if "seed" in row else None,
                    threshold=row.get("threshold", 0.0), max_iter=row.get("passes", 40),
                    two_sided=row.get("two_sided", False)).fit(items)
                labels = np.atleast_2d(model.labels_.T)
                degrees = np.atleast_2d(model.similarities_.T)
                out[row["id"]] = ("result", normalised(model.cluster_centers_, labels, degrees))
                centres, labels = model.cluster_centers_, model.labels_
            if not spread:
                # Labels as the run gave them: (sides, n) from cluster,
                # (n, sides) from the estimator; the silhouettes want (n, sides).
                labels = labels.T if row["call"] == "cluster" else labels
                found = vantor.silhouette_samples(items, labels, centres,
                                                  threshold=row.get("threshold", 0.0),
                                                  two_sided=row.get("two_sided", False))
                out[silhouettes_of(row)] = ("silhouettes", hexes(np.ravel(found)))
        except (ValueError, TypeError) as error:
            out[row["id"]] = ("refused", str(error))
    return out


def silhouettes_of(row):
    return row["id"] + " silhouettes"


def hexes(values):
    """Each value's bits as text, NaN as R shows it."""
    return ["NA" if math.isnan(v) else float(v).hex() for v in values]


def dask_rows(args, rows):
    return python_rows(args, rows, spread=True)


# ---- R ------------------------------------------------------------------------

def r_value(value):
    return {"inf": "Inf", "-inf": "-Inf", "nan": "NaN"}.get(value, repr(float(value)))


def r_matrix(table):
    values = ", ".join(r_value(v) for line in table for v in line)
    return f"matrix(c({values}), nrow = {len(table)}, byrow = TRUE)"


R_PRELUDE = r"""
hexes <- function(v) ifelse(is.na(v), "NA", sprintf("%a", v))
show <- function(id, fit) {
  cl <- as.matrix(fit$cluster); sim <- as.matrix(fit$similarity)
  cat(id, "\tRESULT\t", paste(apply(fit$centers, 1, function(r) paste(hexes(r), collapse = ",")),
      collapse = ";"), "\t",
      paste(apply(cl, 2, function(c) paste(ifelse(is.na(c), -1L, c - 1L), collapse = ",")),
            collapse = ";"), "\t",
      paste(apply(sim, 2, function(s) paste(hexes(s), collapse = ",")), collapse = ";"),
      "\n", sep = "")
}
silhouettes <- function(id, fit, x) {
  s <- simkmeans_silhouette(fit, x)
  values <- if (is.matrix(s)) as.vector(t(unclass(s))) else as.vector(s)
  cat(id, " silhouettes\tSILHOUETTES\t", paste(hexes(values), collapse = ","), "\n", sep = "")
}
one <- function(id, expr, x) {
  tryCatch({ fit <- expr; show(id, fit); silhouettes(id, fit, x) }, error = function(e) {
    cat(id, "\tREFUSED\t", gsub("\n", " ", conditionMessage(e)), "\n", sep = "")
  })
}
"""


def r_rows(args, rows):
    rscript = shutil.which("Rscript")
    if not rscript:
        raise Skip("Rscript is not installed")
    lines = ['if (!requireNamespace("vantor", quietly = TRUE)) quit(status = 3)',
             "library(vantor)", R_PRELUDE]
    for row in rows:
        options = [f"threshold = {r_value(row.get('threshold', 0.0))}",
                   f"iter.max = {row.get('passes', 40)}",
                   f"two.sided = {'TRUE' if row.get('two_sided') else 'FALSE'}"]
        if row["call"] == "cluster":
            centres = r_matrix(row["prototypes"])
        else:
            centres = str(row["k"])
            options.append(f'seeding = "{row["seeding"]}"')
            if "seed" in row:
                options.append(f'seed = "{row["seed"]}"')
            if "restarts" in row:
                options.append(f"nstart = {row['restarts']}")
        items = r_matrix(row["items"])
        lines.append(f'one("{row["id"]}", simkmeans({items}, {centres}, '
                     f'{", ".join(options)}), {items})')
    env = dict(os.environ)
    if args.r_library:
        env["R_LIBS"] = args.r_library
    with tempfile.NamedTemporaryFile("w", suffix=".R", delete=False) as script:
        script.write("\n".join(lines) + "\n")
    try:
        done = subprocess.run([rscript, script.name], capture_output=True, text=True, env=env,
                              timeout=300)
    finally:
        os.unlink(script.name)
    if done.returncode == 3:
        raise Skip("the R package vantor is not installed")
    if done.returncode != 0:
        raise SystemExit(f"Rscript exited with {done.returncode}:\n{done.stderr}")
    out = {}
    for line in done.stdout.splitlines():
        fields = line.split("\t")
        if len(fields) >= 3 and fields[1] == "REFUSED":
            out[fields[0]] = ("refused", fields[2])
        elif len(fields) == 3 and fields[1] == "SILHOUETTES":
            out[fields[0]] = ("silhouettes", [v if v == "NA" else float.fromhex(v).hex()
                                              for v in fields[2].split(",")])
        elif len(fields) == 5 and fields[1] == "RESULT":
            def table(text, parse):
                return [[parse(v) for v in part.split(",")] for part in text.split(";")]
            fromhex = lambda v: math.nan if v == "NA" else float.fromhex(v)  # noqa: E731
            out[fields[0]] = ("result", normalised(table(fields[2], fromhex),
                                                   table(fields[3], int),
                                                   table(fields[4], fromhex)))
    return out


HOSTS = [("tool", tool_rows), ("python", python_rows), ("dask", dask_rows), ("r", r_rows)]


def expected_text(refusal, host, row, table, texts, vocabularies):
    names = dict(table["names"][refusal["name"]])
    if row["call"] == "kmeans" and refusal["name"] in table["kmeans_names"]:
        names["python"] = table["kmeans_names"][refusal["name"]]
    first = FIRST_INDEX[host]
    fields = dict(name=names[host], value=refusal.get("value", ""),
                  row=refusal.get("row", 0) + first, column=refusal.get("column", 0) + first,
                  found=refusal.get("found", 0), low=refusal.get("low", 0),
                  high=refusal.get("high", 0),
                  names=", ".join(vocabularies.get(refusal.get("names"), [])))
    return policy_header.fill(texts[refusal["message"]], **fields)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--root", type=Path, required=True)
    parser.add_argument("--tool")
    parser.add_argument("--r-library", help="folder the R package is installed in")
    args = parser.parse_args()

    table = json.loads((args.root / "tests/policy/bad_inputs.json").read_text())
    texts = policy_header.messages(args.root)
    vocabularies = policy_header.names(args.root)
    rows = table["bad"] + table["good"]
    answers, failures = {}, []
    for host, run in HOSTS:
        try:
            answers[host] = run(args, rows)
        except Skip as why:
            print(f"skipped {host}: {why}")
            continue
        print(f"ran {host}: {len(answers[host])} rows")

    for row in table["bad"]:
        for host, got in answers.items():
            if row["id"] not in got and host == "dask":
                continue  # Dask takes given prototypes only
            want = expected_text(row["refusal"], host, row, table, texts, vocabularies)
            kind, text = got.get(row["id"], ("missing", ""))
            if kind != "refused":
                failures.append(f"{row['id']}: {host} accepted it; want: {want}")
            elif want not in text:
                failures.append(f"{row['id']}: {host} said: {text}\n    want: {want}")
    for row in table["good"]:
        results = {host: got.get(row["id"]) for host, got in answers.items() if row["id"] in got}
        for host, (kind, value) in results.items():
            if kind != "result":
                failures.append(f"{row['id']}: {host} refused a good input: {value}")
        bits = {host: json.dumps(value, sort_keys=True) for host, (kind, value) in results.items()
                if kind == "result"}
        if len(set(bits.values())) > 1:
            first = next(iter(bits))
            differing = [host for host in bits if bits[host] != bits[first]]
            failures.append(f"{row['id']}: {', '.join(differing)} differ from {first}: "
                            + "; ".join(f"{h}={bits[h]}" for h in [first] + differing))

        # The silhouettes of the run, from the hosts that offer them.
        found = {host: got[silhouettes_of(row)][1] for host, got in answers.items()
                 if silhouettes_of(row) in got}
        if len({json.dumps(values) for values in found.values()}) > 1:
            failures.append(f"{row['id']}: the silhouettes differ: "
                            + "; ".join(f"{h}={v}" for h, v in found.items()))
        elif {"python", "r"} <= answers.keys() and len(found) < 2:
            failures.append(f"{row['id']}: silhouettes missing, got them from {sorted(found)}")

    for failure in failures:
        print(failure, file=sys.stderr)
    print(f"{len(answers)} host(s), {len(table['bad'])} bad and {len(table['good'])} good "
          f"inputs, {len(failures)} difference(s)")
    return 1 if failures or not answers else 0


if __name__ == "__main__":
    sys.exit(main())
