#!/usr/bin/env python3
"""Every host shows the mode names of include/vantor/modes.h, spelt alike.

The header's VANTOR_*_NAMES brace lists are the one vocabulary; each host
(the command-line tool, the Python package, the R package) reads its table
from them or is held to them here. A host is one entry of HOSTS: the files
that mark it as present, and a reader that returns the names the host
actually offers, {vocabulary: [name, ...]}, by asking the built host itself.
A host whose files are absent, or that cannot be run on this machine, is
skipped with a message; any disagreement fails.

    check_mode_names.py --root REPO [--cli VANTOR] [--python PYTHON] [--r-library DIR]

With --drifted every list of the header is reversed first, and the run
succeeds only when at least one host was checked and every host checked
disagreed: proof that the check can see a difference.
"""

import argparse
import os
import re
import shutil
import subprocess
import sys
from pathlib import Path


def header_vocabulary(header_text):
    """{vocabulary: [names]} from the header, after checking the header itself.

    Each list must match its enum: as many constants as names, numbered
    0, 1, ... in the list's order. Names are lower case, unique, and contain
    no hyphen, because hosts read a hyphen as an underscore.
    """
    vocabulary = {}
    for prefix, body in re.findall(r"#define VANTOR_(\w+)_NAMES\s*\{([^}]*)\}", header_text):
        names = re.findall(r'"([^"]*)"', body)
        numbers = [int(n) for n in re.findall(rf"\bVANTOR_{prefix}_\w+\s*=\s*(\d+)", header_text)]
        if numbers != list(range(len(names))):
            raise SystemExit(f"modes.h: VANTOR_{prefix}_NAMES has {len(names)} names but the "
                             f"constants are numbered {numbers}")
        for name in names:
            if not name or name != name.lower() or "-" in name:
                raise SystemExit(f"modes.h: VANTOR_{prefix}_NAMES: {name!r} must be lower "
                                 "case and without hyphens")
        if len(set(names)) != len(names):
            raise SystemExit(f"modes.h: VANTOR_{prefix}_NAMES repeats a name: {names}")
        vocabulary[prefix.lower()] = names
    if not vocabulary:
        raise SystemExit("modes.h: no VANTOR_*_NAMES list found")
    return vocabulary


class Skip(Exception):
    """The host cannot be asked on this machine; the reason is printed."""


def run(command, env=None):
    done = subprocess.run(command, capture_output=True, text=True, env=env, timeout=120)
    if done.returncode != 0:
        raise SystemExit(f"{' '.join(command)} exited with {done.returncode}:\n{done.stderr}")
    return done.stdout


def cli_names(args):
    """The choices each mode option lists in the tool's --help."""
    if not args.cli:
        raise Skip("no tool given (--cli)")
    shown = {}
    for command, options in (("contify", ("relation", "kernel")),
                             ("dinorm", ("aggregation", "combination")),
                             ("cluster", ("seeding",))):
        text = run([args.cli, command, "--help"])
        for option in options:
            found = re.search(rf"--{option} (\S+)", text)
            if not found:
                raise SystemExit(f"vantor {command} --help lists no choices for --{option}")
            shown[option] = found.group(1).split("|")
    return shown


def python_names(args):
    """The package's own tables, imported the way a user imports them."""
    if not args.python:
        raise Skip("no interpreter given (--python)")
    # The built package when the caller names it in PYTHONPATH, else the source tree.
    env = dict(os.environ, PYTHONDONTWRITEBYTECODE="1")
    env.setdefault("PYTHONPATH", str(args.root / "bindings" / "python"))
    tables = {"relation": "RELATIONS", "kernel": "CONTIFIER_KERNELS",
              "aggregation": "AGGREGATIONS", "combination": "COMBINATIONS",
              "seeding": "SEEDINGS", "part": "PARTS"}
    script = ("import vantor._modes as m\n"
              f"for vocabulary, table in {tables!r}.items():\n"
              "    if hasattr(m, table):\n"
              "        print(vocabulary + ':', ' '.join(getattr(m, table)))\n")
    return parse_lines(run([args.python, "-c", script], env))


def r_names(args):
    """The installed package's table (vantor:::mode_names(), a named list)."""
    rscript = shutil.which("Rscript")
    if not rscript:
        raise Skip("Rscript is not installed")
    script = ('if (!requireNamespace("vantor", quietly = TRUE)) quit(status = 3)\n'
              "x <- vantor:::mode_names()\n"
              'for (v in names(x)) cat(v, ": ", paste(x[[v]], collapse = " "), "\\n", sep = "")\n')
    env = dict(os.environ)
    if args.r_library:
        env["R_LIBS"] = args.r_library
    done = subprocess.run([rscript, "-e", script], capture_output=True, text=True, env=env,
                          timeout=120)
    if done.returncode == 3:
        raise Skip("the R package vantor is not installed")
    if done.returncode != 0:
        raise SystemExit(f"Rscript exited with {done.returncode}:\n{done.stderr}")
    return parse_lines(done.stdout)


def parse_lines(text):
    """'vocabulary: name name ...' lines into {vocabulary: [names]}."""
    shown = {}
    for line in text.splitlines():
        if ":" in line:
            vocabulary, names = line.split(":", 1)
            shown[vocabulary.strip()] = names.split()
    return shown


# Every host offers at least these in full.
REQUIRED = {"relation", "kernel", "aggregation", "combination"}

# name, files that mark the host as present, reader, vocabularies the host
# offers only in part (its names must still be the header's, in its order).
HOSTS = [
    ("command-line tool", ["tools/common_options.cpp"], cli_names, set()),
    ("Python package", ["bindings/python/vantor/_modes.py"], python_names, set()),
    ("R package", ["bindings/r/DESCRIPTION"], r_names, set()),
]


def disagreements(host, shown, header, partial):
    found = [f"{host}: offers no {v} names" for v in sorted(REQUIRED - shown.keys())]
    for vocabulary, names in sorted(shown.items()):
        want = header.get(vocabulary)
        if want is None:
            found.append(f"{host}: vocabulary '{vocabulary}' is not in modes.h")
        elif vocabulary in partial:
            if [n for n in want if n in names] != names:
                found.append(f"{host}: {vocabulary} shows {names}, not a part of {want}")
        elif names != want:
            found.append(f"{host}: {vocabulary} shows {names}, modes.h says {want}")
    return found


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--root", type=Path, required=True)
    parser.add_argument("--cli")
    parser.add_argument("--python")
    parser.add_argument("--r-library", help="folder the R package is installed in")
    parser.add_argument("--drifted", action="store_true")
    args = parser.parse_args()

    header = header_vocabulary((args.root / "include/vantor/modes.h").read_text())
    if args.drifted:
        header = {vocabulary: names[::-1] for vocabulary, names in header.items()}
    failures, checked, blind = [], 0, []
    for host, marks, reader, partial in HOSTS:
        missing = [m for m in marks if not (args.root / m).exists()]
        if missing:
            print(f"skipped {host}: {', '.join(missing)} not present")
            continue
        try:
            shown = reader(args)
        except Skip as why:
            print(f"skipped {host}: {why}")
            continue
        found = disagreements(host, shown, header, partial)
        failures += found
        checked += 1
        if not found:
            blind.append(host)
        print(f"checked {host}: {', '.join(sorted(shown))}")
    if args.drifted:
        print(f"{checked} host(s) checked against reversed lists; blind: {blind or 'none'}")
        return 0 if checked and not blind else 1
    for failure in failures:
        print(failure, file=sys.stderr)
    print(f"{checked} host(s) checked against {len(header)} vocabularies of modes.h")
    return 1 if failures else 0

if __name__ == "__main__":
    sys.exit(main())
