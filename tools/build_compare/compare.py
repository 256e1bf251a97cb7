"""Compares what two builds wrote for one case, and shows where they part.

Outputs are files that may be far larger than memory allows twice; they are
compared by their hashes and read line by line only when they differ.

Two parts of the headless host's trace depend on timing, not on the
program: how often the load's progress box is redrawn while the parse
runs (the host polls the worker), and the time-out question on a slow
machine. In each run of progress boxes only the first (the empty bar) and
the last two (the parse done, the layout done) are kept, and the time-out
question is dropped.
"""

import hashlib
import itertools
import os
import re

PROGRESS_BOX = re.compile(rb'^MESSAGE "Orbisline" "(?:\\xB1|\\xDB)+" -> -?\d+\n?$')
TIME_OUT_QUESTION = re.compile(rb'^MESSAGE "Warning" "Oops! Time Out')
ANCHOR_LINE = b"anchor "
SHOWN_BEFORE = 40
SHOWN_AFTER = 80


def _normalised_trace_lines(lines):
    boxes = []
    for line in lines:
        if TIME_OUT_QUESTION.match(line):
            continue
        if PROGRESS_BOX.match(line):
            boxes.append(line)
            continue
        yield from _kept_boxes(boxes)
        boxes = []
        yield line
    yield from _kept_boxes(boxes)


def _kept_boxes(boxes):
    return boxes if len(boxes) <= 3 else [boxes[0]] + boxes[-2:]


def rewrite_lines(path, rewritten):
    """Rewrites the file at path as the generator rewritten(lines) makes it
    anew; returns the sha256 of the result."""
    digest = hashlib.sha256()
    temporary = path + ".normalised"
    with open(path, "rb") as source, open(temporary, "wb") as out:
        for line in rewritten(source):
            digest.update(line)
            out.write(line)
    os.replace(temporary, path)
    return digest.hexdigest()


def normalise_trace(path):
    """Rewrites the trace at path without its timing-dependent lines;
    returns the sha256 of what is left."""
    return rewrite_lines(path, _normalised_trace_lines)


def first_difference(old_path, new_path):
    """(line number from 1, old line, new line) of the first line that
    differs; a line is None past the end of its file. None when the files
    are the same."""
    with open(old_path, "rb") as old, open(new_path, "rb") as new:
        for number, (a, b) in enumerate(itertools.zip_longest(old, new), start=1):
            if a != b:
                return number, a, b
    return None


def only_new_anchors(old_path, new_path):
    """True when the new output is the old one with lines beginning with
    "anchor " added: every old line is there, in the same order. Taking
    each equal line as soon as it comes is never worse than skipping it:
    a skipped line equal to an old one is an anchor line as well."""
    with open(old_path, "rb") as old, open(new_path, "rb") as new:
        wanted = old.readline()
        for line in new:
            if line == wanted and wanted:
                wanted = old.readline()
            elif not line.startswith(ANCHOR_LINE):
                return False
        return not wanted


def printable(data):
    """The bytes as printable ASCII: other bytes as \\xNN, so that nothing
    from a page reaches the terminal as a control sequence."""
    out = []
    for byte in data:
        if byte == 0x5C:
            out.append("\\\\")
        elif 0x20 <= byte < 0x7F:
            out.append(chr(byte))
        else:
            out.append("\\x%02X" % byte)
    return "".join(out)


def _window(line, column):
    start = max(0, column - SHOWN_BEFORE)
    end = column + SHOWN_AFTER
    text = printable(line[start:end])
    return ("..." if start > 0 else "") + text + ("..." if end < len(line) else "")


def describe_lines(number, old, new):
    """Two or three lines showing the first differing line of both files,
    around the first byte that differs when the lines are long."""
    if old is None or new is None:
        missing = "old" if old is None else "new"
        other = new if old is None else old
        shown = _window(other.rstrip(b"\n"), 0)
        return ["line %d: the %s output ends before it" % (number, missing),
                "  %s: %s" % ("new" if old is None else "old", shown)]
    a, b = old.rstrip(b"\n"), new.rstrip(b"\n")
    column = next((i for i, (x, y) in enumerate(zip(a, b)) if x != y), min(len(a), len(b)))
    return ["line %d, byte %d:" % (number, column + 1), "  old: " + _window(a, column),
            "  new: " + _window(b, column)]
