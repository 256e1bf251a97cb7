#!/usr/bin/env python3
"""Writes the input files of the rendering and memory benchmarks.

  make_inputs.py adversarial DIR      adversarial shapes of a few MB each
  make_inputs.py pages FILE MB [SRC]  real HTML pages (default: the Python
                                      documentation) concatenated, the set
                                      repeated until the file holds MB MiB
  make_inputs.py realistic FILE MB    a generated page of MB MiB
  make_inputs.py longlink FILE LINES  a page whose one link wraps over about
                                      LINES lines of 80 columns
  make_inputs.py corpus DIR [SRC]     the comparison corpus: DIR/big.html, every
                                      page of the Python documentation in the
                                      order of their sizes, and nine hostile
                                      shapes in DIR/patho/

Files that already exist with the current generator version are kept, so a
second run costs nothing. Everything is deterministic (fixed seeds).
Standard library only.
"""

import os
import random
import sys

MIB = 1024 * 1024
VERSION = "2"
DEFAULT_PAGES = "/usr/share/doc/python3.11/html"

WORDS = ("console viewer text page the of and a to in is that for with as on file "
         "link table colour width markup line editor history anchor tree node "
         "parser chunk value list").split()


def repeat_to(piece, size):
    return piece * max(1, size // len(piece))


def word_5mb():
    return b"<p>" + b"w" * (5 * MIB) + b"</p>\n"


def unclosed_200k():
    parts = []
    for i in range(200000):
        tag = b"<p>" if i % 2 == 0 else b"<li>"
        parts.append(b"%sitem %d\n" % (tag, i))
    ends = (b"</div>", b"</td>", b"</font>", b"</span>")
    parts.extend(ends[i % len(ends)] for i in range(200000))
    return b"".join(parts)


def nesting_1m():
    return b"<div>" * 1000000 + b"x" + b"</div>" * 1000000


def textnodes_1m():
    return b"w <b></b>" * 1000000


def attribute_5mb():
    return b'<p title="' + b"a" * (5 * MIB) + b'">x</p>\n'


def comment_5mb():
    return b"<!--" + repeat_to(b"comment -- not closed - yet ", 5 * MIB) + b"-->x\n"


def references_3mb():
    piece = (b"&copy; &#65; &#x41;&#X42 &lt;&gt;&quot; &nbsp;&nbspx &bogus; &#0; &#; "
             b"&#99999999999; AT&T and more; &eacute;&#233;&#xe9; &amp;lt; & \n")
    return repeat_to(piece, 3 * MIB)


def pre_500k():
    lines = (b"line %d\tcolumn\t%d\n" % (i, i * 7 % 1000) for i in range(500000))
    return b"<pre>" + b"".join(lines) + b"</pre>\n"


def random_10mb():
    # Without Ctrl-Z, which ends a file read in text mode: all 10 MB count.
    return random.Random(12345).randbytes(10 * MIB).replace(b"\x1a", b"\x1b")


ADVERSARIAL = (
    ("word-5mb.html", word_5mb),
    ("unclosed-200k.html", unclosed_200k),
    ("nesting-1m.html", nesting_1m),
    ("textnodes-1m.html", textnodes_1m),
    ("attribute-5mb.html", attribute_5mb),
    ("comment-5mb.html", comment_5mb),
    ("references-3mb.html", references_3mb),
    ("pre-500k.html", pre_500k),
    ("random-10mb.html", random_10mb),
)


def realistic(size):
    rnd = random.Random(20240601)

    def words(n):
        return " ".join(rnd.choice(WORDS) for _ in range(n)) + " "

    def paragraph():
        out = ['<p class="body" align=left>']
        for _ in range(rnd.randint(5, 10)):
            out.append(words(rnd.randint(3, 10)))
            kind = rnd.randrange(5)
            if kind == 0:
                out.append('<a href="page%d.html#s%d" title=\'%s\'>%s</a> '
                           % (rnd.randrange(500), rnd.randrange(50), rnd.choice(WORDS), words(2)))
            elif kind == 1:
                out.append("<b>%s</b> " % words(1))
            elif kind == 2:
                out.append("<i>%s</i>\n" % words(2))
            elif kind == 3:
                out.append("&amp; &copy; ")
            else:
                out.append('<font color="#80ff00">%s</font> ' % words(1))
        out.append("</p>\n")
        return "".join(out)

    def section(index):
        out = ['<h2 id="s%d"><a name="s%d">Section %d</a></h2>\n' % (index, index, index)]
        out.extend(paragraph() for _ in range(rnd.randint(2, 4)))
        out.append('<ul class="list">\n')
        for _ in range(rnd.randint(3, 6)):
            out.append('  <li>%s<a href="#s%d">%s</a></li>\n'
                       % (words(rnd.randint(2, 6)), rnd.randrange(1000), rnd.choice(WORDS)))
        out.append("</ul>\n")
        out.append(paragraph())
        out.append('<table border=1 cellpadding="2" width="90%%">\n<tr><th>%s</th><th>%s</th></tr>\n'
                   % (rnd.choice(WORDS), rnd.choice(WORDS)))
        for _ in range(rnd.randint(2, 5)):
            out.append('<tr><td align=right>%d</td><td bgcolor="#ffeecc" nowrap>%s</td></tr>\n'
                       % (rnd.randrange(100000), words(3)))
        out.append("</table>\n")
        return "".join(out)

    parts = ['<!DOCTYPE html>\n<html><head><title>Generated page</title></head>\n'
             '<body bgcolor="#ffffff" text="#000000" link="#0000ff">\n']
    total = len(parts[0])
    index = 0
    while total < size:
        piece = section(index)
        parts.append(piece)
        total += len(piece)
        index += 1
    parts.append("</body></html>\n")
    return "".join(parts).encode("ascii")


def long_link(lines):
    # Sixteen five-byte words fill an 80-column line; the link leads to an
    # anchor after it, so following it moves within the page.
    words = b"word " * (16 * lines)
    return (b"<title>One long link</title><a href=\"#end\">" + words +
            b"</a><p><a name=end>The end.</a></p>\n")


# The comparison corpus. Its bytes must not change: figures measured on it
# are compared with figures measured before, and with other programs'.
CORPUS_HEAD = (b'<!DOCTYPE html><html><head><meta charset="utf-8"><title>patho</title>'
               b"</head><body>\n")
CORPUS_TAIL = b"\n</body></html>\n"


def shape(*middle):
    return CORPUS_HEAD + b"".join(middle) + CORPUS_TAIL


def entity_run():
    unit = b"&amp;&lt;&#169;&#x41;&gt;&quot;&nbsp;&eacute;&hellip;&#8212; "
    return unit * (3 * MIB // len(unit))


CORPUS_SHAPES = (
    ("a_longword.html", lambda: shape(b"<p>", b"x" * (5 * MIB), b"</p>")),
    ("b_unclosed.html", lambda: shape(b"<p>p<li>i\n" * 200000, b"</div></span>\n" * 200000)),
    ("c_deepnest.html", lambda: shape(b"<div>" * 100000, b"deep", b"</div>" * 100000)),
    ("d_textnodes.html", lambda: shape(b"<p>", b"t <b></b>" * 1000000, b"</p>")),
    ("e_bigattr.html", lambda: shape(b'<p>before <a href="http://example.com/', b"a" * (5 * MIB),
                                     b'">link text</a> after</p>')),
    ("f_bigcomment.html", lambda: shape(b"<p>before</p><!--", b"comment text " * (5 * MIB // 13),
                                        b"--><p>after</p>")),
    ("g_entities.html", lambda: shape(b"<p>", entity_run(), b"</p>")),
    ("h_prelines.html", lambda: shape(b"<pre>\n", b"".join(b"line %d\tx\n" % i for i in range(500000)),
                                      b"</pre>")),
    # Nothing around it: all of it random.
    ("i_random.html", lambda: random.Random(20240601).randbytes(10 * MIB)),
)


def pages_by_size(source):
    """Every page under source (symbolic links left out), smallest first,
    pages of one size by their paths' bytes."""
    found = []
    for folder, _, names in os.walk(source):
        for name in names:
            path = os.path.join(folder, name)
            if name.endswith(".html") and not os.path.islink(path):
                found.append((os.path.getsize(path), os.fsencode(os.path.relpath(path, source)), path))
    return [path for _, _, path in sorted(found)]


def concatenated(paths):
    parts = []
    for path in paths:
        with open(path, "rb") as f:
            parts.append(f.read())
    return b"".join(parts)


def corpus(folder, source):
    paths = pages_by_size(source)
    if not paths:
        raise SystemExit("make_inputs.py: no HTML pages under %s" % source)
    write(os.path.join(folder, "big.html"), "corpus %s %s %d" % (VERSION, source, len(paths)),
          lambda: concatenated(paths))
    for name, make in CORPUS_SHAPES:
        write(os.path.join(folder, "patho", name), "corpus " + VERSION, make)


def page_files(source):
    found = []
    for folder, _, names in os.walk(source):
        found.extend(os.path.join(folder, n) for n in names if n.endswith(".html"))
    return sorted(found)


def pages(size, source):
    files = page_files(source)
    if not files:
        raise SystemExit("make_inputs.py: no HTML pages under %s" % source)
    parts, total = [], 0
    while total < size:
        for path in files:
            with open(path, "rb") as f:
                data = f.read()
            parts.append(data)
            total += len(data)
            if total >= size:
                break
    return b"".join(parts)


def stamp_of(path):
    return path + ".stamp"


def up_to_date(path, key):
    try:
        with open(stamp_of(path)) as f:
            return os.path.exists(path) and f.read() == key
    except OSError:
        return False


def write(path, key, make):
    """Writes make() to path unless it is there already for the same key."""
    if up_to_date(path, key):
        return
    folder = os.path.dirname(path)
    if folder:
        os.makedirs(folder, exist_ok=True)
    data = make()
    temporary = path + ".part"
    with open(temporary, "wb") as f:
        f.write(data)
    os.replace(temporary, path)
    with open(stamp_of(path), "w") as f:
        f.write(key)
    print("wrote %s (%.1f MB)" % (path, len(data) / MIB), file=sys.stderr)


def main(argv):
    if len(argv) == 2 and argv[0] == "adversarial":
        for name, make in ADVERSARIAL:
            write(os.path.join(argv[1], name), VERSION, make)
    elif len(argv) in (3, 4) and argv[0] == "pages":
        size = int(float(argv[2]) * MIB)
        source = argv[3] if len(argv) == 4 else DEFAULT_PAGES
        write(argv[1], "%s %d %s" % (VERSION, size, source), lambda: pages(size, source))
    elif len(argv) == 3 and argv[0] == "longlink":
        lines = int(argv[2])
        write(argv[1], "%s %d" % (VERSION, lines), lambda: long_link(lines))
    elif len(argv) in (2, 3) and argv[0] == "corpus":
        corpus(argv[1], argv[2] if len(argv) == 3 else DEFAULT_PAGES)
    elif len(argv) == 3 and argv[0] == "realistic":
        size = int(float(argv[2]) * MIB)
        write(argv[1], "%s %d" % (VERSION, size), lambda: realistic(size))
    else:
        print(__doc__, file=sys.stderr)
        return 2
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
