#!/usr/bin/env python3
"""Renders every page of a folder of real HTML pages and looks for UTF-8
that reached the output undecoded.

  real_pages_check.py ORBISLINE FOLDER

Each page goes through `ORBISLINE --dump --raw` in the default code page
(Windows-1252): the rendered bytes as the viewer shows them, which --dump
alone would make safe for a terminal (in the C locale 0x80 to 0x9F become
"?", which would hide the "€" of "â€"). The output is read in that page.
UTF-8 read byte by byte shows up as "Ã" or "Â" followed by another
character, or as "â€": a page passes when its output holds no more of these
than the page's own text (its bytes read as UTF-8, references decoded).
Exit status 0 when every page passes, 1 when one fails, 77 (skipped) when
FOLDER does not exist.
Standard library only.
"""

import concurrent.futures
import html
import os
import subprocess
import sys
import tempfile

SIGNS = ("\u00c3", "\u00c2", "\u00e2\u20ac")
WORKERS = 2


def pages_under(folder):
    found = []
    for directory, _, names in os.walk(folder):
        found.extend(os.path.join(directory, n) for n in names if n.endswith(".html"))
    return sorted(found)


def counts(text):
    return [text.count(sign) for sign in SIGNS]


def check(binary, page, environment):
    """None when the page passes, else a one-line reason."""
    result = subprocess.run([binary, "--dump", "--raw", "--width", "80", "--height", "25", page],
                            capture_output=True, env=environment, timeout=120)
    if result.returncode != 0:
        return "exit status %d: %s" % (result.returncode, result.stderr.decode(errors="replace").strip())
    shown = counts(result.stdout.decode("cp1252", errors="replace"))
    with open(page, "rb") as source:
        own = counts(html.unescape(source.read().decode("utf-8", errors="replace")))
    if any(s > o for s, o in zip(shown, own)):
        return "shows %s where its text holds %s (%s)" % (shown, own, " ".join(SIGNS))
    return None


def main(argv):
    if len(argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    binary, folder = argv
    if not os.path.isdir(folder):
        print("real_pages_check: %s is missing; skipped" % folder)
        return 77
    pages = pages_under(folder)
    with tempfile.TemporaryDirectory() as scratch:
        environment = {key: value for key, value in os.environ.items() if key != "ORBISLINE_CODEPAGE"}
        environment.update(TMPDIR=scratch, ORBISLINE_REGISTRY=scratch, LC_ALL="C")
        with concurrent.futures.ThreadPoolExecutor(WORKERS) as pool:
            reasons = list(pool.map(lambda page: check(binary, page, environment), pages))
    failed = [(page, reason) for page, reason in zip(pages, reasons) if reason]
    for page, reason in failed:
        print("%s: %s" % (os.path.relpath(page, folder), reason))
    print("%d pages, %d passed, %d failed" % (len(pages), len(pages) - len(failed), len(failed)))
    return 1 if failed or not pages else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
