"""The input policy as data, read from include/vantor/input_policy.h.

Hosts' tests import this instead of copying the texts, so the header stays
the one source: messages() gives {"nan": "{name}: NaN at row ...", ...} keyed
by the constant's name (VANTOR_MESSAGE_NAN -> "nan"), fill() puts a host's
values into one of them, and names() gives the mode vocabularies of
include/vantor/modes.h.
"""

import re
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]


def _brace_lists(text):
    """{MACRO: [strings]} for every #define X {"a" "b", "c"} in a header,
    with adjacent string literals joined as the compiler joins them."""
    lists = {}
    for name, body in re.findall(r"#define (VANTOR_\w+)\s*\\?\s*\{((?:[^{}\"]|\"(?:[^\"\\]|\\.)*\")*)\}",
                                 text):
        items, current = [], None
        for token in re.finditer(r'"((?:[^"\\]|\\.)*)"|(,)', body):
            if token.group(2):
                items.append(current)
                current = None
            else:
                part = token.group(1).encode().decode("unicode_escape")
                current = part if current is None else current + part
        items.append(current)
        lists[name] = items
    return lists


def _constants(text, prefix):
    return {name.lower(): int(value)
            for name, value in re.findall(rf"\b{prefix}_(\w+)\s*=\s*(\d+)", text)}


def messages(root=ROOT):
    text = (root / "include/vantor/input_policy.h").read_text()
    texts = _brace_lists(text)["VANTOR_MESSAGE_TEXTS"]
    numbers = _constants(text, "VANTOR_MESSAGE")
    if sorted(numbers.values()) != list(range(len(texts))):
        raise SystemExit(f"input_policy.h: {len(texts)} message texts for constants {numbers}")
    return {name: texts[number] for name, number in numbers.items()}


def ranges(root=ROOT):
    text = (root / "include/vantor/input_policy.h").read_text()
    lists = _brace_lists(text)
    return dict(zip(lists["VANTOR_USE_NAMES"], lists["VANTOR_USE_RANGES"]))


def names(root=ROOT):
    lists = _brace_lists((root / "include/vantor/modes.h").read_text())
    return {macro[len("VANTOR_"):-len("_NAMES")].lower(): items
            for macro, items in lists.items() if macro.endswith("_NAMES")}


def fill(template, **fields):
    """The text a host prints: every {placeholder} replaced by its field."""
    def one(match):
        key = match.group(1)
        if key not in fields:
            raise KeyError(f"{template!r} needs {key}")
        return str(fields[key])
    return re.sub(r"\{(\w+)\}", one, template)
