#!/usr/bin/env python3
"""Checks tools/capture-to-svg.py on small captures: the colours each cell
is drawn in, the cells the characters land on, the escapes it skips and
XML that stays well formed whatever the capture holds.

  python3 tools/test_capture_to_svg.py
"""

import contextlib
import importlib.util
import io
import os
import tempfile
import sys
import unittest
import xml.etree.ElementTree as ElementTree

sys.dont_write_bytecode = True  # the source tree stays as it was
HERE = os.path.dirname(os.path.abspath(__file__))
_module_spec = importlib.util.spec_from_file_location("capture_to_svg", os.path.join(HERE, "capture-to-svg.py"))
tool = importlib.util.module_from_spec(_module_spec)
_module_spec.loader.exec_module(tool)

VGA = tool.PALETTES["vga"]
FG = tool.DEFAULT_FOREGROUND
BG = tool.DEFAULT_BACKGROUND
SVG = "{http://www.w3.org/2000/svg}"


def drawn(capture, bold_is_bright=False):
    """(text, foreground, background, bold) of every cell of the capture."""
    painter = tool.Painter(VGA, bold_is_bright)
    rows = tool.parse_capture(capture)
    return [[(cell[0],) + painter.resolve(cell[1])[:3] for cell in row] for row in rows]


def svg_of(capture, *arguments):
    """Runs the tool on capture with the given options; the parsed SVG."""
    with tempfile.TemporaryDirectory() as folder:
        source = os.path.join(folder, "capture.txt")
        target = os.path.join(folder, "screen.svg")
        with open(source, "wb") as f:
            f.write(capture.encode("utf-8"))
        with contextlib.redirect_stderr(io.StringIO()) as errors:
            status = tool.main(list(arguments) + [source, target])
        if status != 0:
            raise AssertionError(errors.getvalue())
        return ElementTree.parse(target).getroot()


class ColourTest(unittest.TestCase):
    def test_sgr_sequences(self):
        cases = [
            ("\x1b[31mr\x1b[0mn", [("r", VGA[1], BG, False), ("n", FG, BG, False)]),
            ("\x1b[94;101mb", [("b", VGA[12], VGA[9], False)]),
            ("\x1b[1;32mg\x1b[22mh", [("g", VGA[2], BG, True), ("h", VGA[2], BG, False)]),
            ("\x1b[33;44mx\x1b[39my\x1b[49mz", [("x", VGA[3], VGA[4], False), ("y", FG, VGA[4], False),
                                                ("z", FG, BG, False)]),
            ("\x1b[7mv\x1b[35mw\x1b[27mu", [("v", BG, FG, False), ("w", BG, VGA[5], False),
                                             ("u", VGA[5], BG, False)]),
            ("\x1b[38;5;196ma\x1b[48;2;1;2;3mb", [("a", "#ff0000", BG, False),
                                                  ("b", "#ff0000", "#010203", False)]),
            ("\x1b[1;;34mk", [("k", VGA[4], BG, False)]),  # an empty parameter resets
        ]
        for capture, expected in cases:
            with self.subTest(capture=capture):
                self.assertEqual(drawn(capture), [expected])

    def test_bold_is_bright_only_when_asked(self):
        self.assertEqual(drawn("\x1b[1;34mb")[0][0][1], VGA[4])
        self.assertEqual(drawn("\x1b[1;34mb", bold_is_bright=True)[0][0][1], VGA[12])

    def test_style_carries_over_to_the_next_line(self):
        self.assertEqual(drawn("\x1b[36ma\nb"), [[("a", VGA[6], BG, False)], [("b", VGA[6], BG, False)]])


class GridTest(unittest.TestCase):
    def test_other_escapes_are_skipped(self):
        capture = "a\x1b]0;title\x07b\x1b]8;;file:x\x1b\\c\x1b[2Jd\x1b(Be\x1b[>4mf\x1b[\x1b[31mg"
        self.assertEqual("".join(cell[0] for cell in drawn(capture)[0]), "abcdefg")
        self.assertEqual(drawn(capture)[0][-1][1], VGA[1])

    def test_characters_land_on_their_cells(self):
        root = svg_of("\x1b[41m日x\tT\x1b[0m", "--font-size", "10", "--margin", "0")
        texts = root.findall(f".//{SVG}text")
        self.assertEqual(len(texts), 1)
        self.assertEqual(texts[0].text, "日x     T")
        self.assertEqual(texts[0].get("x").split(), ["0", "12", "18", "24", "30", "36", "42", "48"])
        rect = root.findall(f".//{SVG}rect")[1]
        self.assertEqual((rect.get("x"), rect.get("width"), rect.get("fill")), ("0", "54", VGA[1]))
        # A combining mark shares its base character's cell.
        text = svg_of("q\u0301r", "--font-size", "10", "--margin", "0").find(f".//{SVG}text")
        self.assertEqual((text.text, text.get("x")), ("q\u0301r", "0 0 6"))

    def test_grid_size_follows_the_capture_or_the_options(self):
        root = svg_of("abc\nde\n", "--font-size", "10", "--margin", "0")
        self.assertEqual((root.get("width"), root.get("height")), ("18", "25"))
        root = svg_of("abcdef\nde\nfg\n", "--font-size", "10", "--margin", "0",
                      "--columns", "2", "--rows", "1")
        self.assertEqual((root.get("width"), root.get("height")), ("12", "12.5"))
        self.assertEqual([t.text for t in root.findall(f".//{SVG}text")], ["ab"])

    def test_any_text_gives_well_formed_xml(self):
        root = svg_of('<&>"\'\x01\x7f\u0085\ufffe]]>x')
        self.assertEqual(root.find(f".//{SVG}text").text, '<&>"\'\ufffd\ufffd\ufffd\ufffd]]>x')


if __name__ == "__main__":
    unittest.main()
