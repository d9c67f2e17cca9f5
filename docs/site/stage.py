#!/usr/bin/env python3
"""Lays out the documentation site's sources in a scratch folder.

Usage: stage.py REPOSITORY STAGE PYTHON_PACKAGE_DIR

Nothing here is written by hand twice: the Markdown pages of the repository
are copied as they are, in their own folders, so their relative links still
hold; the reference pages are generated from what they describe (one page
per public header through Doxygen's XML, one entry per Python module through
autodoc, the R help pages rendered by R itself), so an addition that brings
a header, a module or a help page appears on the site without an edit here.
"""

import os
import shutil
import subprocess
import sys
from pathlib import Path

REPOSITORY = Path(sys.argv[1]).resolve()
STAGE = Path(sys.argv[2]).resolve()
PYTHON_PACKAGE_DIR = Path(sys.argv[3]).resolve()
SITE = REPOSITORY / "docs" / "site"

# Folders whose Markdown pages and pictures belong on the site.
PAGE_ROOTS = ["docs", "bench", "bindings", "fuzz", "src"]
PAGE_FILES = ["README.md", "CHANGELOG.md", "LICENSE"]
PICTURES = (".png", ".svg", ".jpg")


def tracked_files():
    listing = subprocess.run(
        ["git", "ls-files", "-z", "--cached", "--others", "--exclude-standard"],
        cwd=REPOSITORY, check=True, capture_output=True).stdout.decode()
    return [Path(name) for name in listing.split("\0") if name]


def copy_pages():
    for name in tracked_files():
        if not (REPOSITORY / name).is_file():
            continue
        top = name.parts[0]
        wanted = str(name) in PAGE_FILES or (
            top in PAGE_ROOTS and name.parts[:2] != ("docs", "site")
            and "tests" not in name.parts
            and (name.suffix == ".md" or name.suffix in PICTURES))
        if wanted:
            target = STAGE / name
            target.parent.mkdir(parents=True, exist_ok=True)
            shutil.copy2(REPOSITORY / name, target)
    for name in ("conf.py", "index.md", "pictures.md", "vantor_links.py", "house_docstrings.py"):
        shutil.copy2(SITE / name, STAGE / name)


def public_headers():
    return sorted((REPOSITORY / "include" / "vantor").glob("*.h"))


def run_doxygen(xml_dir):
    headers = " ".join(str(h) for h in public_headers())
    config = f"""
PROJECT_NAME = libvantor
INPUT = {headers}
FULL_PATH_NAMES = YES
STRIP_FROM_PATH = {REPOSITORY / "include"}
STRIP_FROM_INC_PATH = {REPOSITORY / "include"}
OUTPUT_DIRECTORY = {xml_dir.parent}
XML_OUTPUT = {xml_dir.name}
GENERATE_XML = YES
GENERATE_HTML = NO
GENERATE_LATEX = NO
INPUT_FILTER = "{sys.executable} {SITE / 'doxygen_filter.py'}"
FILTER_SOURCE_FILES = NO
EXTRACT_ALL = YES
ENABLE_PREPROCESSING = YES
MACRO_EXPANSION = YES
EXPAND_ONLY_PREDEF = YES
PREDEFINED = VANTOR_API= __cplusplus
MARKDOWN_SUPPORT = YES
AUTOLINK_SUPPORT = NO
QUIET = YES
WARNINGS = NO
"""
    xml_dir.parent.mkdir(parents=True, exist_ok=True)
    subprocess.run(["doxygen", "-"], input=config.encode(), check=True)


def write_header_pages():
    api = STAGE / "api"
    api.mkdir(exist_ok=True)
    for header in public_headers():
        name = header.name
        (api / f"{header.stem}.md").write_text(
            f"# `vantor/{name}`\n\n"
            f"```{{doxygenfile}} {name}\n:project: vantor\n```\n")


def write_python_page():
    package = PYTHON_PACKAGE_DIR / "vantor"
    modules = sorted(p.stem for p in package.glob("*.py") if not p.stem.startswith("_"))
    blocks = "\n".join(
        f"## `vantor.{m}`\n\n```{{eval-rst}}\n.. automodule:: vantor.{m}\n   :members:\n```\n"
        for m in modules)
    (STAGE / "api" / "python.md").write_text(
        "# Python package `vantor`\n\n"
        "Every public module of the package, from its docstrings. Install and "
        "examples: [the package's page](../bindings/python/README.md).\n\n" + blocks)


def write_r_pages(extra):
    rendered = extra / "r"
    rendered.mkdir(parents=True, exist_ok=True)
    man = REPOSITORY / "bindings" / "r" / "man"
    pages = sorted(man.glob("*.Rd"))
    version = next(line.split(":", 1)[1].strip()
                   for line in (man.parent / "DESCRIPTION").read_text().splitlines()
                   if line.startswith("Version:"))
    # R's own stylesheet, found where R keeps its documentation.
    script = (
        "args <- commandArgs(TRUE); out <- args[1]; version <- args[2]; rd <- args[-(1:2)]\n"
        "for (f in rd) tools::Rd2HTML(tools::parse_Rd(f), "
        "file.path(out, sub('[.]Rd$', '.html', basename(f))), "
        "package = c('vantor', version), stylesheet = 'R.css', Links = NULL)\n"
        "file.copy(file.path(R.home('doc'), 'html', 'R.css'), out, overwrite = TRUE)\n")
    # Rd2HTML also writes a redirect page per alias into ../help; the site
    # links the pages themselves, so those are made in a scratch folder.
    redirects = rendered.parent / "help"
    redirects.mkdir(exist_ok=True)
    subprocess.run(["Rscript", "-e", script, str(rendered), version] + [str(p) for p in pages],
                   check=True, stdout=subprocess.DEVNULL)
    shutil.rmtree(redirects)
    figures = man / "figures"
    if figures.is_dir():
        shutil.copytree(figures, rendered / "figures", dirs_exist_ok=True)
    items = "\n".join(
        f'<li><a href="../r/{p.stem}.html"><code>{p.stem}</code></a></li>' for p in pages)
    (STAGE / "api" / "r.md").write_text(
        "# R package `vantor`\n\n"
        "The package's help pages, rendered by R from `bindings/r/man` (what "
        "`?simkmeans` shows). Install and examples: "
        "[the package's page](../bindings/r/README.md).\n\n"
        f"```{{raw}} html\n<ul class=\"r-help-pages\">\n{items}\n</ul>\n```\n")


def draw_python_picture():
    # The picture SimilarityKMeans.plot draws, made by the package itself.
    script = (
        "import sys, numpy as np, matplotlib\n"
        "matplotlib.use('Agg')\n"
        "import matplotlib.pyplot as plt, vantor\n"
        "rng = np.random.default_rng(7)\n"
        "x = np.vstack([rng.uniform(0.6, 1, (20, 4)), rng.uniform(0, 0.4, (20, 4)),\n"
        "               np.hstack([rng.uniform(0.6, 1, (20, 2)), rng.uniform(0, 0.4, (20, 2))])])\n"
        "model = vantor.SimilarityKMeans(n_clusters=3, random_state=0).fit(x)\n"
        "model.plot()\n"
        "plt.gcf().set_size_inches(8, 3.5)\n"
        "plt.tight_layout()\n"
        "plt.savefig(sys.argv[1], dpi=80)\n")
    target = STAGE / "_generated" / "similarity-kmeans-plot.png"
    target.parent.mkdir(exist_ok=True)
    env = dict(os.environ, PYTHONPATH=str(PYTHON_PACKAGE_DIR), MPLBACKEND="Agg")
    subprocess.run([sys.executable, "-c", script, str(target)], check=True, env=env)


def main():
    if STAGE.exists():
        shutil.rmtree(STAGE)
    STAGE.mkdir(parents=True)
    copy_pages()
    run_doxygen(STAGE.parent / "doxygen" / "xml")
    write_header_pages()
    write_python_page()
    write_r_pages(STAGE.parent / "extra")
    draw_python_picture()


if __name__ == "__main__":
    main()
