# The READMEs' Python examples must run and print what they say.
import contextlib
import io
import re

import pytest

from conftest import PACKAGE_ROOT

# The root README points here; the examples live on the package's page.
PAGE = PACKAGE_ROOT / "README.md"
EXAMPLES = [(PAGE, "Example"), (PAGE, "Seeds of your own")]


def python_example(readme, heading):
    text = readme.read_text(encoding="utf-8")
    section = text.split(f"\n## {heading}\n", 1)[1].split("\n## ", 1)[0]
    match = re.search(r"```python\n(.*?)```\s*prints\s*```text\n(.*?)```", section, re.S)
    assert match, f"the {heading} section needs a python block followed by its output"
    return match.group(1), match.group(2)


@pytest.mark.parametrize("readme, heading", EXAMPLES, ids=["example", "own_seeds"])
def test_readme_python_example_prints_what_it_says(readme, heading):
    code, expected = python_example(readme, heading)
    printed = io.StringIO()
    with contextlib.redirect_stdout(printed):
        exec(compile(code, str(readme), "exec"), {})
    assert printed.getvalue() == expected
