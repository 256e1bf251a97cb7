"""The ways each page is run: the rendering modes, and key scripts for the
headless host.

A mode is a name, the arguments that come before the page's path, changes
to the environment, and whether its output is a headless trace. Large
pages get only the modes marked `heavy`.

Besides the fixed scripts, three are made for each page from where its
links are: the old build's `--runs` output (80 by 25) says on which line and
column the first link to an anchor, the first link to another file and the
first link on the opening screen begin; the script moves the cursor (or
the mouse) there and follows it. Both builds play the same script.
"""

import re

WIDE = (80, 25)
NARROW = (37, 12)
NEAR_LINES = 100  # links further down are not walked to: the script stays short
NEAR_COLUMNS = 200
LINK_KINDS = ("anchor", "file", "file-1.63", "mouse")
# The modes that also take a list of pages (--batch LIST) instead of one.
BATCH_MODES = ("runs", "tree", "raw-80x25", "raw-37x12", "dump-utf8", "dump-c")

MOVES = "Down Down Right Right PgDn PgDn End Home PgUp Up Ctrl+End Left Up PgUp Ctrl+Home Down"
ENTER_WALK = ("Enter Down Enter Down Enter Down Enter BS Down Down End Enter BS Right Right Enter BS "
              "PgDn Enter BS Ctrl+End Enter BS")
OTHER_KEYS = "F1 F2 F3 F7 Shift+F7 Tab Ins Del Alt+F11 Ctrl+PgDn Shift+Down x Space F12 q Esc"
MOUSE = "move:0,1 move:10,2 click:10,2 BS move:40,5 click:40,5 BS move:79,24 click:5,3 BS move:0,0"


class Mode:
    def __init__(self, name, args, env=None, trace=False, heavy=False):
        self.name = name
        self.args = args
        self.env = env or {}
        self.trace = trace
        self.heavy = heavy


def _size(size):
    return ["--width", str(size[0]), "--height", str(size[1])]


def headless(name, keys, size=WIDE, extra=(), heavy=False):
    args = ["--headless", "--trace", "-", "--keys", keys] + _size(size) + list(extra)
    return Mode("headless:" + name, args, trace=True, heavy=heavy)


def fixed_modes():
    """The modes every page gets; `runs` comes first, as the link scripts
    are made from its output."""
    return [
        Mode("runs", ["--runs"] + _size(WIDE), heavy=True),
        Mode("tree", ["--tree"], heavy=True),
        Mode("raw-80x25", ["--dump", "--raw"] + _size(WIDE), heavy=True),
        Mode("raw-37x12", ["--dump", "--raw"] + _size(NARROW)),
        Mode("dump-utf8", ["--dump"] + _size(WIDE), env={"LANG": "C.UTF-8"}),
        Mode("dump-c", ["--dump"] + _size(WIDE), env={"LC_ALL": "C"}),
        Mode("color", ["--dump", "--color"] + _size(WIDE)),
        headless("moves", MOVES, heavy=True),
        headless("moves-37x12", MOVES, NARROW),
        headless("enter-walk", ENTER_WALK),
        headless("menu-first", "F11 pick:0 pick:0 Down F11 pick:0 pick:0"),
        headless("menu-second", "F11 pick:0 pick:1 Down Ctrl+End"),
        headless("menu-escape", "F11 pick:0 pick:-1 Down F11 pick:-1 Down"),
        headless("mouse", MOUSE),
        headless("save-other", "save other Down save other PgDn other"),
        headless("other-keys", OTHER_KEYS),
        headless("host-1.62", "Down Enter", extra=["--host-version", "1.62"]),
        headless("host-1.70", "Down Enter BS", extra=["--host-version", "1.70"]),
        headless("edit", "F11 pick:0 Down Enter BS", extra=["--edit"]),
    ]


TOKEN = re.compile(rb'"(?:[^"\\]|\\.)*"|\S+')


def links_in_runs(path, limit_lines=NEAR_LINES):
    """(line, column, target) of the links that begin in the first
    limit_lines lines of a `--runs` output, in order; target is still
    quoted and escaped."""
    found = []
    line = -1
    with open(path, "rb") as runs:
        for text in runs:
            if text.startswith(b"line "):
                line = int(text.split()[1])
                if line >= limit_lines:
                    break
            elif text.startswith(b"  link ") and line >= 0:
                tokens = TOKEN.findall(text)
                if len(tokens) >= 9 and tokens[1].isdigit():
                    found.append((line, int(tokens[1]), tokens[8]))
    return found


def _walk_to(line, column):
    return " ".join(["Down"] * line + ["Home"] + ["Right"] * column)


def link_modes(links):
    """The scripts made from a page's links (see the file's comment)."""
    near = [link for link in links if link[1] < NEAR_COLUMNS]
    anchor = next((link for link in near if link[2].startswith(b'"#')), None)
    other = next((link for link in near if not link[2].startswith(b'"#')), None)
    shown = next((link for link in near if link[0] < WIDE[1] - 2 and link[1] < WIDE[0]), None)
    modes = []
    if anchor is not None:
        modes.append(headless("link-anchor", _walk_to(*anchor[:2]) + " Enter Down Enter BS"))
    if other is not None:
        walk = _walk_to(*other[:2])
        modes.append(headless("link-file", walk + " Enter Down BS Up Enter BS BS"))
        modes.append(headless("link-file-1.63", walk + " Enter BS",
                              extra=["--host-version", "1.63"]))
    if shown is not None:
        cell = "%d,%d" % (shown[1], shown[0] + 1)
        modes.append(headless("link-mouse", "move:%s click:%s BS Down" % (cell, cell)))
    return modes
