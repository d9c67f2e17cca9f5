"""Links of the repository's pages that lead somewhere else on the site.

The Markdown pages link to the public headers (include/vantor/x.h), which on
the site are the reference pages api/x, and to the README, which is the
front page; this resolves such links there instead of leaving them dangling.
A link to any other file or folder of the repository (a test, a data file)
has nothing on the site to lead to: its words stay, unlinked. A link to
something the repository does not have is still reported.

Breathe documents each header on a page of its own, so a namespace that
several headers open, or a C struct and the typedef of the same name, is
declared on more than one page; Sphinx's C++ domain reports each repeat.
Those reports, and only those, are dropped.
"""

import logging
import os
from pathlib import Path, PurePosixPath

from docutils import nodes


def _resolve(app, env, node, contnode):
    # MyST asks with reftype "any" and no domain for a Markdown link it
    # could not resolve itself.
    if node.get("reftype") != "any" or node.get("refdomain") is not None:
        return None
    target = PurePosixPath(node.get("reftarget", "").split("#")[0])
    source = PurePosixPath(node.get("refdoc", "")).parent
    parts = []
    for part in (source / target).parts:
        if part == "..":
            if parts:
                parts.pop()
        elif part != ".":
            parts.append(part)
    path = PurePosixPath(*parts) if parts else PurePosixPath(".")
    if str(path) == "README.md":
        return _reference(app, node, contnode, "index")
    if path.parent == PurePosixPath("include/vantor") and path.suffix == ".h":
        docname = f"api/{path.stem}"
        if docname in env.all_docs:
            return _reference(app, node, contnode, docname)
    if str(path) != "." and (Path(os.environ["VANTOR_REPOSITORY"]) / path).exists():
        return nodes.inline("", "", contnode)
    return None


def _reference(app, node, contnode, docname):
    uri = app.builder.get_relative_uri(node["refdoc"], docname)
    anchor = node.get("reftarget", "").partition("#")[2]
    reference = nodes.reference("", "", internal=True, refuri=uri + ("#" + anchor if anchor else ""))
    reference += contnode
    return reference


class _RepeatedDeclarations(logging.Filter):
    def filter(self, record):
        return not str(record.msg).startswith("Duplicate C++ declaration")


def setup(app):
    app.connect("missing-reference", _resolve)
    logging.getLogger("sphinx.sphinx.domains.cpp").addFilter(_RepeatedDeclarations())
    return {"parallel_read_safe": True, "parallel_write_safe": True}
