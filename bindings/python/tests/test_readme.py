# The example on the package's page must run and print what the page says.
import contextlib
import io
import re

from conftest import PACKAGE_ROOT


def python_example():
    page = (PACKAGE_ROOT / "README.md").read_text(encoding="utf-8")
    match = re.search(r"```python\n(.*?)```\s*prints\s*```text\n(.*?)```", page, re.S)
    assert match, "bindings/python/README.md needs a python block followed by its output"
    return match.group(1), match.group(2)


def test_readme_python_example_prints_what_it_says():
    code, expected = python_example()
    printed = io.StringIO()
    with contextlib.redirect_stdout(printed):
        exec(compile(code, "bindings/python/README.md", "exec"), {})
    assert printed.getvalue() == expected
