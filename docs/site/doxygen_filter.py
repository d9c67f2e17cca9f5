#!/usr/bin/env python3
"""Doxygen input filter for the public headers.

The headers are commented as ordinary C and C++ (// and /* */), which is
what their readers see; Doxygen only reads its own comment forms. This turns
each comment into the Doxygen form for where it stands, so the site shows
exactly the words of the header:

- the comment that opens the file describes the file (\\file);
- a comment on lines of its own describes the declaration that follows;
- a comment after code on the same line describes that member (///<).

The file's own comment gains a \\file line, so Doxygen's line numbers are
one off in that file; the site shows no line numbers.
"""

import re
import sys

CODE_THEN_COMMENT = re.compile(r"^(\s*\S.*?[;,{]\s*)//(.*)$")


def convert(lines):
    out = []
    seen_code = False
    in_block = False
    for line in lines:
        stripped = line.lstrip()
        indent = line[: len(line) - len(stripped)]
        if in_block:
            out.append(line)
            if "*/" in line:
                in_block = False
            continue
        if stripped.startswith("/*") and not stripped.startswith("/**"):
            body = stripped[2:]
            if not seen_code:
                out.append(indent + "/** \\file\n")
                out.append(indent + body)
            else:
                out.append(indent + "/**" + body)
            in_block = "*/" not in body
            continue
        if stripped.startswith("//") and not stripped.startswith("///"):
            if not seen_code and (not out or not out[-1].lstrip().startswith("///")):
                out.append(indent + "/// \\file\n")
            out.append(indent + "///" + stripped[2:])
            continue
        match = CODE_THEN_COMMENT.match(line.rstrip("\n"))
        if match and not stripped.startswith("#"):
            out.append(match.group(1) + "///<" + match.group(2) + "\n")
            seen_code = True
            continue
        if stripped and not stripped.startswith("#"):
            seen_code = True
        out.append(line)
    return out


if __name__ == "__main__":
    with open(sys.argv[1], encoding="utf-8") as handle:
        sys.stdout.write("".join(convert(handle.readlines())))
