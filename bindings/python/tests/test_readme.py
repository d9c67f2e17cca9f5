# The README's Python example must run and print what the README says.
import contextlib
import io
import re

from conftest import REPOSITORY


def python_example():
    readme = (REPOSITORY / "README.md").read_text(encoding="utf-8")
    section = readme.split("\n## From Python\n", 1)[1].split("\n## ", 1)[0]
    match = re.search(r"```python\n(.*?)```\s*prints\s*```text\n(.*?)```", section, re.S)
    assert match, "the From Python section needs a python block followed by its output"
    return match.group(1), match.group(2)


def test_readme_python_example_prints_what_it_says():
    code, expected = python_example()
    printed = io.StringIO()
    with contextlib.redirect_stdout(printed):
        exec(compile(code, "README.md", "exec"), {})
    assert printed.getvalue() == expected
