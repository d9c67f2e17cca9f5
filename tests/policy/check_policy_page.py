#!/usr/bin/env python3
"""docs/input-policy.md lists every message text of include/vantor/input_policy.h
as the header spells it, and no text the header does not have.

    check_policy_page.py REPO
"""

import re
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import policy_header  # noqa: E402


def main():
    root = Path(sys.argv[1])
    header = policy_header.messages(root)
    page = (root / "docs/input-policy.md").read_text()
    listed = dict(re.findall(r"^\| `([A-Z_]+)` \| `(.*)` \|$", page, re.MULTILINE))
    problems = []
    for name, text in header.items():
        shown = listed.pop(name.upper(), None)
        if shown != text:
            problems.append(f"{name.upper()}: the header says {text!r}, the page {shown!r}")
    problems += [f"{name}: on the page, not in the header" for name in listed]
    for problem in problems:
        print(problem)
    if not problems:
        print(f"{len(header)} messages listed as the header spells them")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
