#!/usr/bin/env python3
"""The built documentation site works from disk, in a real browser.

    check_site.py HTML_DIR WORK_DIR

1. Every relative link and picture of every page (the R help pages and raw
   HTML included, which Sphinx does not check) names a file of the site.
2. Headless Chromium opens the front page: it renders the README's title and
   the navigation to the reference pages.
3. The search page, whose search runs in the browser's JavaScript, finds
   SimilarityKMeans (Python) and clusterFromStarts (C++ header) and links
   the pages that document them.
4. The reference pages carry the words of their sources: a header's own
   comment on its member, a Python argument list read as parameters.
5. A screenshot of the front page is left in WORK_DIR/front-page.png.
"""

import html.parser
import shutil
import subprocess
import sys
import tempfile
from pathlib import Path
from urllib.parse import unquote, urlsplit

CHROMIUM_FLAGS = ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                  "--disable-background-networking", "--disable-component-update",
                  "--disable-sync", "--hide-scrollbars"]
SEARCHES = {"SimilarityKMeans": "api/python.html", "clusterFromStarts": "api/seeding.html"}
# (page, text it must show): a trailing member comment of contifiers.h, the
# file comment of vantor.h, and contify's "name: text" arguments as numpydoc
# parameters (a name in its own <dt>, its text after it).
REFERENCE_TEXT = [
    ("api/contifiers.html", "gate: a position takes part when its weight &gt;= threshold"),
    ("api/vantor.html", "Bad input, common to all sixteen"),
    ("api/python.html", '<dt class="field-odd">Parameters<span class="colon">:</span></dt>'),
    ("api/python.html", "<strong>allow_nan</strong>"),
]


class Links(html.parser.HTMLParser):
    def __init__(self):
        super().__init__()
        self.targets = []
        self.search_hits = []
        self._in_search = 0

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        for name in ("href", "src"):
            if attrs.get(name):
                self.targets.append(attrs[name])
        if tag == "ul" and "search" in (attrs.get("class") or "").split():
            self._in_search += 1
        elif tag == "a" and self._in_search and attrs.get("href"):
            self.search_hits.append(attrs["href"])

    def handle_endtag(self, tag):
        if tag == "ul" and self._in_search:
            self._in_search -= 1


def parse(text):
    links = Links()
    links.feed(text)
    return links


def broken_links(site):
    broken = []
    for page in sorted(site.rglob("*.html")):
        for target in parse(page.read_text(encoding="utf-8", errors="replace")).targets:
            parts = urlsplit(target)
            if parts.scheme or parts.netloc or not parts.path:
                continue  # another site, mailto:, or a place on the same page
            if not (page.parent / unquote(parts.path)).resolve().exists():
                broken.append(f"{page.relative_to(site)}: {target}")
    return broken


def chromium(profile, *arguments):
    command = [shutil.which("chromium") or "chromium", *CHROMIUM_FLAGS,
               f"--user-data-dir={profile}", *arguments]
    done = subprocess.run(command, capture_output=True, text=True, timeout=120)
    if done.returncode != 0:
        raise SystemExit(f"chromium failed ({done.returncode}): {done.stderr[-2000:]}")
    return done.stdout


def main():
    site = Path(sys.argv[1]).resolve()
    work = Path(sys.argv[2]).resolve()
    work.mkdir(parents=True, exist_ok=True)
    failures = [f"broken link {b}" for b in broken_links(site)]
    for page, text in REFERENCE_TEXT:
        if text not in (site / page).read_text(encoding="utf-8"):
            failures.append(f"{page} does not show {text!r}")

    with tempfile.TemporaryDirectory(dir=work) as profile:
        front = chromium(profile, "--virtual-time-budget=5000", "--dump-dom",
                         (site / "index.html").as_uri())
        for expected in ("<h1>libvantor", 'href="api/vantor.html"', 'href="docs/cli.html"'):
            if expected not in front:
                failures.append(f"the front page as rendered lacks {expected}")

        for word, page in SEARCHES.items():
            dom = chromium(profile, "--virtual-time-budget=15000", "--dump-dom",
                           (site / "search.html").as_uri() + f"?q={word}")
            hits = [urlsplit(h).path for h in parse(dom).search_hits]
            if page not in hits:
                failures.append(f"searching {word} lists {hits or 'nothing'}, not {page}")
            else:
                print(f"search {word}: {len(hits)} pages, among them {page}")

        screenshot = work / "front-page.png"
        chromium(profile, "--window-size=1280,1100", f"--screenshot={screenshot}",
                 (site / "index.html").as_uri())
        if not screenshot.is_file() or screenshot.stat().st_size < 10000:
            failures.append("no screenshot of the front page")

    if failures:
        print("\n".join(failures), file=sys.stderr)
        return 1
    print(f"site checked in the browser; front page screenshot: {screenshot}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
