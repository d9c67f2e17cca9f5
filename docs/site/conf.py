# Sphinx configuration of the libvantor site. scripts/docs lays the sources
# out beside this file (docs/site/stage.py) and builds from there.
import os
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).parent))

project = "libvantor"
author = "The libvantor developers"
copyright = "2026, The libvantor developers (MIT licence)"


def _version():
    text = (Path(os.environ["VANTOR_REPOSITORY"]) / "include" / "vantor" / "version.h").read_text()
    parts = {}
    for line in text.splitlines():
        fields = line.split()
        if len(fields) == 3 and fields[0] == "#define" and fields[1].startswith("VANTOR_VERSION_"):
            parts[fields[1][len("VANTOR_VERSION_"):]] = fields[2]
    return f"{parts['MAJOR']}.{parts['MINOR']}.{parts['PATCH']}"


release = version = _version()

extensions = [
    "myst_parser",
    "breathe",
    "sphinx.ext.autodoc",
    "numpydoc",
    "house_docstrings",
    "vantor_links",
]
source_suffix = {".md": "markdown"}
root_doc = "index"
# The README is the front page's text: index.md includes it.
exclude_patterns = ["README.md", "_build"]

myst_heading_anchors = 3
myst_enable_extensions = ["colon_fence"]

breathe_projects = {"vantor": os.environ["VANTOR_DOXYGEN_XML"]}
breathe_default_project = "vantor"
breathe_domain_by_extension = {"h": "cpp"}

autodoc_member_order = "bysource"
numpydoc_show_class_members = False

html_theme = "alabaster"
html_title = f"libvantor {release}"
html_extra_path = [os.environ["VANTOR_SITE_EXTRA"]]
html_theme_options = {"description": "Threshold-gated operations on vectors of fuzzy degrees"}

# Only links inside the site are checked: the check must not need the network.
linkcheck_ignore = [r"https?://.*", r"mailto:.*"]
