#!/usr/bin/env python3
"""The shell examples of a page run as shown, and print what the page says.

Every ```sh block of the page is run line by line with bash from the
repository's root, with the built tool first on PATH; each line must exit 0.
When a ```text block follows right after, it is what the lines print.

    run_cli_examples.py PAGE REPO TOOL_FOLDER
"""

import os
import re
import subprocess
import sys
import textwrap
from pathlib import Path

BLOCK = re.compile(r"(?ms)^( *)```sh\n(.*?)^ *```\n(?:\1```text\n(.*?)^ *```\n)?")


def main():
    page, root, tools = Path(sys.argv[1]), Path(sys.argv[2]), sys.argv[3]
    env = dict(os.environ, PATH=tools + os.pathsep + os.environ.get("PATH", ""))
    failures, ran = [], 0
    for _, script, expected in BLOCK.findall(page.read_text()):
        printed = ""
        for line in textwrap.dedent(script).splitlines():
            if not line.strip():
                continue
            done = subprocess.run(["bash", "-c", "set -o pipefail; " + line], cwd=root, env=env,
                                  capture_output=True, text=True, timeout=120)
            ran += 1
            printed += done.stdout
            if done.returncode != 0:
                failures.append(f"{line}\n  exited with {done.returncode}: {done.stderr.strip()}")
        if expected and printed != textwrap.dedent(expected):
            failures.append(f"{script.strip()}\n  printed:\n{printed}  the page says:\n"
                            f"{textwrap.dedent(expected)}")
    for failure in failures:
        print(failure, file=sys.stderr)
    print(f"{ran} example lines of {page.name} run, {len(failures)} wrong")
    return 1 if failures or ran == 0 else 0


if __name__ == "__main__":
    sys.exit(main())
