"""Reads the Python package's docstrings in the package's own layout and hands
them to numpydoc as numpydoc sections.

The package documents arguments as aligned "name: text" entries and, for the
estimator, fitted attributes as "name_  text" entries after "After fit:";
that reads well in help() and in an editor, and it is the one source. On the
site they become numpydoc's Parameters and Attributes sections; the rest of a
docstring passes through unchanged, with words ending in "_" set as code (in
reStructuredText they would be link targets).
"""

import re

PARAMETER = re.compile(r"^([A-Za-z_]\w*(?:, [A-Za-z_]\w*)*):\s+(\S.*)$")
ATTRIBUTE = re.compile(r"^([A-Za-z_]\w*_(?:, [A-Za-z_]\w*_)*)\s{2,}(\S.*)$")
TRAILING_UNDERSCORE = re.compile(r"(?<![`\w])([A-Za-z]\w*_)(?![\w`])")


def _entries(lines, start, pattern):
    """Reads entries from lines[start:]; returns (entries, next index)."""
    entries = []
    i = start
    while i < len(lines):
        match = pattern.match(lines[i])
        if match:
            entries.append([match.group(1), [match.group(2)]])
            i += 1
        elif entries and lines[i].startswith(" ") and lines[i].strip():
            entries[-1][1].append(lines[i].strip())
            i += 1
        else:
            break
    return entries, i


def _section(title, entries):
    out = [title, "-" * len(title)]
    for name, text in entries:
        out.append(name)
        out.extend("    " + _code_words(t) for t in text)
    out.append("")
    return out


def _code_words(text):
    return TRAILING_UNDERSCORE.sub(r"``\1``", text)


def convert(lines):
    out = []
    i = 0
    while i < len(lines):
        line = lines[i]
        if line.strip() == "After fit:":
            entries, i = _entries(lines, i + 1, ATTRIBUTE)
            out.extend(_section("Attributes", entries))
            continue
        if PARAMETER.match(line) and (i == 0 or not lines[i - 1].strip()):
            entries, end = _entries(lines, i, PARAMETER)
            if end == len(lines) or not lines[end].strip():
                out.extend(_section("Parameters", entries))
                i = end
                continue
        out.append(_code_words(line))
        i += 1
    return out


def _process(app, what, name, obj, options, lines):
    lines[:] = convert(lines)


def setup(app):
    # Before numpydoc, which reads the sections this writes.
    app.connect("autodoc-process-docstring", _process, priority=100)
    return {"parallel_read_safe": True, "parallel_write_safe": True}
