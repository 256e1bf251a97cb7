#!/usr/bin/env python3
"""Turns a terminal screen captured with its escapes into an SVG picture.

  tmux capture-pane -p -e -N -t PANE > screen.txt
  tools/capture-to-svg.py [options] [INPUT [OUTPUT]]

INPUT is the capture (default: standard input), OUTPUT the SVG file
(default: standard output); -N keeps the blanks at the ends of the lines,
so that a coloured background reaches the picture's right edge. The
picture is a fixed grid of character cells: each character is placed at
its own cell, so the columns line up whatever monospace font the reader
has. Colours follow SGR: the sixteen standard colours (30-37, 90-97,
40-47, 100-107), 256-colour and direct colour forms, bold, underline,
reverse, 39/49 for the defaults and 0 for a reset. The default background
is dark. Other escape sequences (cursor moves, titles, hyperlinks) are
skipped; other control characters show as U+FFFD. The grid is as wide as
the longest line and as tall as the capture unless --columns and --rows
say otherwise.

Standard library only.
"""

import argparse
import sys
import unicodedata

# The sixteen colours in SGR order: black, red, green, yellow, blue,
# magenta, cyan, white, then the bright ones.
PALETTES = {
    "vga": ("#000000", "#aa0000", "#00aa00", "#aa5500", "#0000aa", "#aa00aa", "#00aaaa", "#aaaaaa",
            "#555555", "#ff5555", "#55ff55", "#ffff55", "#5555ff", "#ff55ff", "#55ffff", "#ffffff"),
    "xterm": ("#000000", "#cd0000", "#00cd00", "#cdcd00", "#0000ee", "#cd00cd", "#00cdcd", "#e5e5e5",
              "#7f7f7f", "#ff0000", "#00ff00", "#ffff00", "#5c5cff", "#ff00ff", "#00ffff", "#ffffff"),
}
DEFAULT_FOREGROUND = "#c0c0c0"
DEFAULT_BACKGROUND = "#1c1c1c"
FONT_FAMILY = "'DejaVu Sans Mono', 'Liberation Mono', Menlo, Consolas, monospace"
ESC = "\x1b"


class Style:
    """The SGR state of one cell. Colours are None (the default), an index
    0-255, or an '#rrggbb' text."""

    __slots__ = ("fg", "bg", "bold", "underline", "reverse")

    def __init__(self):
        self.reset()

    def reset(self):
        self.fg = None
        self.bg = None
        self.bold = False
        self.underline = False
        self.reverse = False

    def key(self):
        return (self.fg, self.bg, self.bold, self.underline, self.reverse)


def extended_colour(params, i):
    """Reads the colour of 38/48 ; 5 ; n or 38/48 ; 2 ; r ; g ; b from
    params[i:], params[i] being the 5 or the 2. Returns the colour (None
    when malformed) and the index of the next parameter."""
    if i < len(params) and params[i] == 5:
        if i + 1 < len(params) and 0 <= params[i + 1] <= 255:
            return params[i + 1], i + 2
        return None, i + 2
    if i < len(params) and params[i] == 2:
        rgb = params[i + 1:i + 4]
        if len(rgb) == 3 and all(0 <= c <= 255 for c in rgb):
            return "#%02x%02x%02x" % tuple(rgb), i + 4
        return None, i + 4
    return None, len(params)


def apply_sgr(style, text):
    """Applies the parameters of one SGR sequence (the text between "[" and
    "m") to style. Colon sub-parameters count like semicolons."""
    params = [int(p) if p.isdigit() else 0 for p in text.replace(":", ";").split(";")]
    i = 0
    while i < len(params):
        p = params[i]
        i += 1
        if p == 0:
            style.reset()
        elif p == 1:
            style.bold = True
        elif p == 22:
            style.bold = False
        elif p in (4, 21):
            style.underline = True
        elif p == 24:
            style.underline = False
        elif p == 7:
            style.reverse = True
        elif p == 27:
            style.reverse = False
        elif 30 <= p <= 37:
            style.fg = p - 30
        elif 90 <= p <= 97:
            style.fg = p - 90 + 8
        elif p == 39:
            style.fg = None
        elif 40 <= p <= 47:
            style.bg = p - 40
        elif 100 <= p <= 107:
            style.bg = p - 100 + 8
        elif p == 49:
            style.bg = None
        elif p in (38, 48):
            colour, i = extended_colour(params, i)
            if colour is not None:
                if p == 38:
                    style.fg = colour
                else:
                    style.bg = colour


def skip_escape(line, i):
    """Returns the index after the escape sequence that starts at line[i]
    (an ESC). CSI ends at its final byte, or just before a character that
    cannot belong to it (a terminal abandons the sequence there); OSC, DCS
    and the like end at BEL or ESC backslash; any other escape ends at its
    first byte that is not an intermediate."""
    if i + 1 >= len(line):
        return len(line)
    kind = line[i + 1]
    if kind == "[":
        j = i + 2
        while j < len(line) and "\x20" <= line[j] <= "\x3f":
            j += 1
        return j + 1 if j < len(line) and "\x40" <= line[j] <= "\x7e" else j
    if kind in "]PX^_":
        j = i + 2
        while j < len(line):
            if line[j] == "\x07":
                return j + 1
            if line[j] == ESC and j + 1 < len(line) and line[j + 1] == "\\":
                return j + 2
            j += 1
        return j
    if kind == ESC:
        return i + 1
    # ESC, intermediate bytes, one final byte (ESC ( B and the like).
    j = i + 1
    while j < len(line) and "\x20" <= line[j] <= "\x2f":
        j += 1
    return min(j + 1, len(line))


def cell_width(ch):
    if unicodedata.combining(ch):
        return 0
    return 2 if unicodedata.east_asian_width(ch) in ("W", "F") else 1


def printable(ch):
    """Characters that XML 1.0 cannot hold, and controls, become U+FFFD."""
    code = ord(ch)
    if code < 0x20 or 0x7F <= code < 0xA0 or 0xD800 <= code < 0xE000 or code in (0xFFFE, 0xFFFF):
        return "\ufffd"
    return ch


def parse_line(line, style):
    """Returns the cells of one captured line as [text, style key, width]
    lists. style carries over from line to line, as in a terminal."""
    cells = []
    column = 0
    i = 0
    while i < len(line):
        ch = line[i]
        if ch == ESC:
            end = skip_escape(line, i)
            params = line[i + 2:end - 1]
            if line.startswith("[", i + 1) and line[end - 1:end] == "m" and not params.strip("0123456789;:"):
                apply_sgr(style, params)
            i = end
            continue
        i += 1
        if ch == "\t":
            for _ in range(8 - column % 8):
                cells.append([" ", style.key(), 1])
            column += 8 - column % 8
            continue
        ch = printable(ch)
        width = cell_width(ch)
        if width == 0 and cells:
            cells[-1][0] += ch
        elif width > 0:
            cells.append([ch, style.key(), width])
            column += width
    return cells


def parse_capture(text):
    style = Style()
    lines = text.split("\n")
    if lines and lines[-1] == "":
        lines.pop()
    return [parse_line(unicodedata.normalize("NFC", line.rstrip("\r")), style) for line in lines]


class Painter:
    """Resolves style keys to the colours and weight actually drawn."""

    def __init__(self, palette, bold_is_bright):
        self.palette = palette
        self.bold_is_bright = bold_is_bright

    def colour(self, value, default):
        if value is None:
            return default
        if isinstance(value, str):
            return value
        if value < 16:
            return self.palette[value]
        if value < 232:
            value -= 16
            levels = [0 if v == 0 else 55 + 40 * v for v in (value // 36, value // 6 % 6, value % 6)]
            return "#%02x%02x%02x" % tuple(levels)
        grey = 8 + 10 * (value - 232)
        return "#%02x%02x%02x" % (grey, grey, grey)

    def resolve(self, key):
        """Returns (foreground, background, bold, underline) of a style key."""
        fg, bg, bold, underline, reverse = key
        if bold and self.bold_is_bright and isinstance(fg, int) and fg < 8:
            fg += 8
        fg_colour = self.colour(fg, DEFAULT_FOREGROUND)
        bg_colour = self.colour(bg, DEFAULT_BACKGROUND)
        if reverse:
            fg_colour, bg_colour = bg_colour, fg_colour
        return fg_colour, bg_colour, bold, underline


def escape_xml(text):
    return text.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;").replace('"', "&quot;")


def spans(cells, columns, painter, pick):
    """Groups the cells of a row that fit in the grid into runs of equal
    pick(resolved style). Yields (first column, the run's cells, value)."""
    column = 0
    run = []
    start = 0
    value = None
    for cell in cells:
        if column + cell[2] > columns:
            break
        current = pick(painter.resolve(cell[1]))
        if run and current != value:
            yield start, run, value
            run = []
        if not run:
            start = column
            value = current
        run.append((column, cell))
        column += cell[2]
    if run:
        yield start, run, value


def px(value):
    """A coordinate as SVG text: at most two decimals, no trailing zeros."""
    return f"{round(value, 2):g}"


class Grid:
    """Cell geometry: the font size sets the cell width and height."""

    def __init__(self, font_size, margin):
        self.font_size = font_size
        self.margin = margin
        self.cw = font_size * 0.6
        self.ch = font_size * 1.25

    def x(self, column):
        return px(self.margin + column * self.cw)

    def y(self, row):
        return px(self.margin + row * self.ch)


def background_rects(rows, columns, grid, painter):
    for y, cells in enumerate(rows):
        for start, run, bg in spans(cells, columns, painter, lambda r: r[1]):
            if bg != DEFAULT_BACKGROUND:
                cells_wide = sum(cell[2] for _, cell in run)
                yield (f'<rect x="{grid.x(start)}" y="{grid.y(y)}" width="{px(cells_wide * grid.cw)}" '
                       f'height="{px(grid.ch)}" fill="{bg}"/>')


def text_elements(rows, columns, grid, painter):
    """One text element per run of equal look, each character placed at
    its own cell so that the grid holds whatever the font's advance."""
    for y, cells in enumerate(rows):
        baseline = px(grid.margin + y * grid.ch + grid.font_size)
        for _, run, (fg, bold, underline) in spans(cells, columns, painter, lambda r: (r[0], r[2], r[3])):
            if all(cell[0] == " " for _, cell in run) and not underline:
                continue
            # A combining mark is placed on its base character's cell.
            xs = [grid.x(column) for column, cell in run for _ in cell[0]]
            text = "".join(cell[0] for _, cell in run)
            attributes = f'x="{" ".join(xs)}" y="{baseline}" fill="{fg}"'
            if bold:
                attributes += ' font-weight="bold"'
            if underline:
                attributes += ' text-decoration="underline"'
            yield f"<text {attributes}>{escape_xml(text)}</text>"


def render_svg(rows, columns, row_count, font_size, margin, painter):
    grid = Grid(font_size, margin)
    rows = rows[:row_count]
    width = px(2 * margin + columns * grid.cw)
    height = px(2 * margin + row_count * grid.ch)
    out = ['<?xml version="1.0" encoding="UTF-8"?>',
           f'<svg xmlns="http://www.w3.org/2000/svg" width="{width}" height="{height}" '
           f'viewBox="0 0 {width} {height}">',
           f'<rect width="100%" height="100%" fill="{DEFAULT_BACKGROUND}"/>',
           '<g shape-rendering="crispEdges">']
    out.extend(background_rects(rows, columns, grid, painter))
    out.append("</g>")
    out.append(f'<g font-family="{FONT_FAMILY}" font-size="{px(font_size)}" xml:space="preserve">')
    out.extend(text_elements(rows, columns, grid, painter))
    out.append("</g>")
    out.append("</svg>")
    return "\n".join(out) + "\n"


def main(argv):
    parser = argparse.ArgumentParser(
        description="Turn a terminal capture with escapes (tmux capture-pane -p -e -N) into an SVG picture.")
    parser.add_argument("input", nargs="?", help="the capture (default: standard input)")
    parser.add_argument("output", nargs="?", help="the SVG file (default: standard output)")
    parser.add_argument("--columns", type=int, help="grid width in cells (default: the longest line)")
    parser.add_argument("--rows", type=int, help="grid height in cells (default: the number of lines)")
    parser.add_argument("--font-size", type=float, default=14, help="font size in pixels (default 14)")
    parser.add_argument("--margin", type=float, default=8,
                        help="border around the grid in pixels (default 8)")
    parser.add_argument("--palette", choices=sorted(PALETTES), default="vga",
                        help="the sixteen colours (default vga)")
    parser.add_argument("--bold-is-bright", action="store_true",
                        help="draw bold text in colours 30-37 in their bright forms")
    args = parser.parse_args(argv)
    for name in ("columns", "rows"):
        if getattr(args, name) is not None and getattr(args, name) < 1:
            parser.error(f"--{name} must be at least 1")
    if args.font_size <= 0 or args.margin < 0:
        parser.error("--font-size must be positive and --margin not negative")

    try:
        if args.input:
            with open(args.input, "rb") as f:
                data = f.read()
        else:
            data = sys.stdin.buffer.read()
    except OSError as error:
        print(f"capture-to-svg: {error.filename}: {error.strerror}", file=sys.stderr)
        return 1
    rows = parse_capture(data.decode("utf-8", errors="replace"))
    columns = args.columns or max([sum(cell[2] for cell in row) for row in rows] + [1])
    row_count = args.rows or max(len(rows), 1)
    painter = Painter(PALETTES[args.palette], args.bold_is_bright)
    svg = render_svg(rows, columns, row_count, args.font_size, args.margin, painter)

    try:
        if args.output:
            with open(args.output, "w", encoding="utf-8") as f:
                f.write(svg)
        else:
            sys.stdout.write(svg)
    except OSError as error:
        print(f"capture-to-svg: {error.filename}: {error.strerror}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
