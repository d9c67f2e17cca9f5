#!/usr/bin/env python3
"""Every relative link of the documentation pages leads somewhere.

Checks README.md, docs/*.md and each page beside what it describes (any
README.md under the repository, build folders aside): a link's file or folder
must exist, and a #fragment must name a heading of the page it points to.
Links inside code blocks and links to other sites are not followed.

    check_links.py REPO
    check_links.py --self-test      a made-up tree with known faults must fail
"""

import re
import sys
from pathlib import Path

SKIPPED_FOLDERS = {"build", ".git", "node_modules"}
LINK = re.compile(r"!?\[[^\]]*\]\(([^)\s]+)(?:\s+\"[^\"]*\")?\)")


def pages(root):
    found = [root / "README.md", *sorted((root / "docs").glob("*.md"))]
    for page in sorted(root.rglob("README.md")):
        parts = set(page.relative_to(root).parts)
        if not parts & SKIPPED_FOLDERS and page not in found:
            found.append(page)
    return [page for page in found if page.exists()]


def without_code_blocks(text):
    return re.sub(r"(?ms)^\s*```.*?^\s*```", "", text)


def without_code(text):
    return re.sub(r"`[^`\n]*`", "", without_code_blocks(text))


def anchors(page):
    """GitHub's heading slugs: lower case, punctuation dropped, spaces to '-'."""
    slugs = set()
    for heading in re.findall(r"(?m)^#+\s+(.*?)\s*#*$", without_code_blocks(page.read_text())):
        slug = re.sub(r"[^\w\- ]", "", heading.lower()).replace(" ", "-")
        slugs.add(slug)
    return slugs


def broken_links(root, page):
    problems = []
    for target in LINK.findall(without_code(page.read_text())):
        if re.match(r"[a-z][a-z0-9+.-]*:", target):  # https:, mailto:, ...
            continue
        path, _, fragment = target.partition("#")
        resolved = (page.parent / path).resolve() if path else page
        where = f"{page.relative_to(root)}: {target}"
        try:
            relative = resolved.relative_to(root.resolve()).as_posix()
        except ValueError:
            problems.append(f"{where} leads outside the repository")
            continue
        if not resolved.exists():
            problems.append(f"{where} does not exist")
        elif fragment and resolved.suffix == ".md" and fragment not in anchors(resolved):
            problems.append(f"{where}: no heading '#{fragment}' in {relative}")
    return problems


def self_test():
    """The checker sees a missing file, a missing heading and a code-only link."""
    import tempfile
    with tempfile.TemporaryDirectory() as folder:
        root = Path(folder)
        (root / "docs").mkdir()
        (root / "docs" / "page.md").write_text("# A page\n\n## Second part\n")
        (root / "README.md").write_text(
            "[ok](docs/page.md#second-part) [gone](docs/gone.md) [bad](docs/page.md#third)\n"
            "`[in code](nowhere.md)`\n```\n[in a block](nowhere.md)\n```\n"
            "[site](https://example.org/x)\n")
        found = broken_links(root, root / "README.md")
    want = ["README.md: docs/gone.md does not exist",
            "README.md: docs/page.md#third: no heading '#third' in docs/page.md"]
    if found != want:
        print("the checker found", found, "instead of", want, file=sys.stderr)
        return 1
    return 0


def main():
    if sys.argv[1:] == ["--self-test"]:
        return self_test()
    root = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).resolve().parents[2]
    problems, checked = [], 0
    for page in pages(root):
        problems += broken_links(root, page)
        checked += 1
    for problem in problems:
        print(problem, file=sys.stderr)
    print(f"{checked} pages checked, {len(problems)} broken links")
    return 1 if problems or checked == 0 else 0


if __name__ == "__main__":
    sys.exit(main())
