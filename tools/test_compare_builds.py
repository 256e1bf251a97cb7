#!/usr/bin/env python3
"""Checks tools/compare-builds: a build compared with itself shows no
difference in any mode, page by page or in batches; a build whose --tree
and --runs outputs were changed is caught in exactly those modes, added
anchor lines pass when allowed, and known differences are shown but not
counted unless they fail to show up; and the rules that decide what counts
as a difference, among them what a Windows build's output is compared as.

  python3 tools/test_compare_builds.py BUILD_DIR
"""

import os
import re
import subprocess
import sys
import tempfile
import unittest

sys.dont_write_bytecode = True  # the source tree stays as it was
HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

from build_compare import compare, run, wine  # noqa: E402

TOOL = os.path.join(HERE, "compare-builds")
BUILD = None

# A build that changes the third line of --tree and adds an anchor line to
# --runs, and runs the real program otherwise.
CHANGED_PROGRAM = """#!/bin/sh
case " $* " in
  *" --tree "*) "%(real)s" "$@" | sed '3s/^/changed /' ;;
  *" --runs "*) "%(real)s" "$@" | sed '2a anchor "added" 0' ;;
  *) exec "%(real)s" "$@" ;;
esac
"""


# A build that never hears of a settings file: --settings and its value go.
DEAF_PROGRAM = """#!/bin/sh
skip=0
for argument do
  shift
  if [ $skip = 1 ]; then skip=0; continue; fi
  if [ "$argument" = --settings ]; then skip=1; continue; fi
  set -- "$@" "$argument"
done
exec "%(real)s" "$@"
"""


def fake_build(folder, script):
    """A build folder whose orbisline is script around the real one."""
    os.mkdir(folder)
    program = write(folder, "orbisline", (script % {
        "real": os.path.join(os.path.abspath(BUILD), "orbisline")}).encode())
    os.chmod(program, 0o755)
    os.symlink(os.path.join(os.path.abspath(BUILD), "Orbisline.so"),
               os.path.join(folder, "Orbisline.so"))
    return folder


def run_tool(*arguments):
    done = subprocess.run([sys.executable, TOOL] + list(arguments), capture_output=True, timeout=600)
    return done.returncode, done.stdout.decode(), done.stderr.decode()


def write(folder, name, data):
    path = os.path.join(folder, name)
    with open(path, "wb") as f:
        f.write(data)
    return path


class WholeTool(unittest.TestCase):
    def test_a_build_matches_itself_in_every_mode(self):
        status, out, err = run_tool(BUILD, BUILD, "--set", "samples")
        self.assertEqual(status, 0, out + err)
        self.assertIn("0 difference(s)", out)
        rows = re.findall(r"^samples +(\S+) +(\d+) +0$", out, re.MULTILINE)
        self.assertGreaterEqual(len(rows), 20, out)
        self.assertIn(("headless:link-file", "5"), rows)

    def test_settings_reach_every_mode_of_both_builds(self):
        with tempfile.TemporaryDirectory() as folder:
            deaf = fake_build(os.path.join(folder, "deaf"), DEAF_PROGRAM)
            settings = write(folder, "none.obs", b'<Orbisline><Default charset="none"></Orbisline>')
            chosen = ["--set", "tests", "--settings", settings, "--mode", "tree", "--mode", "color"]
            status, out, err = run_tool(BUILD, BUILD, "--batch", *chosen)
            self.assertEqual(status, 0, out + err)
            # Unconverted, the UTF-8 pages read otherwise.
            status, out, err = run_tool(BUILD, deaf, "--batch", *chosen)
            self.assertEqual(status, 1, out + err)
            self.assertIn("DIFF tests tree (all pages): stdout", out)
            self.assertIn("DIFF tests color utf8-meta.html: stdout", out)

    def test_changed_outputs_are_caught_in_their_modes(self):
        with tempfile.TemporaryDirectory() as folder:
            changed = fake_build(os.path.join(folder, "changed"), CHANGED_PROGRAM)
            keep = os.path.join(folder, "keep")
            chosen = ["--set", "samples", "--mode", "tree", "--mode", "runs", "--mode", "raw-*"]
            status, out, err = run_tool(BUILD, changed, "--keep", keep, *chosen)
            self.assertEqual(status, 1, out + err)
            modes = re.findall(r"^DIFF samples (\S+) \S+: stdout$", out, re.MULTILINE)
            self.assertEqual(sorted(modes), ["runs"] * 5 + ["tree"] * 5, out)
            self.assertIn("line 3, byte 1:", out)
            kept = os.path.join(keep, "samples", "samples", "sample.html", "tree.new.out")
            with open(kept, "rb") as f:
                self.assertTrue(f.read().split(b"\n")[2].startswith(b"changed "))

            status, out, err = run_tool(BUILD, changed, "--runs-allow-new-anchors", *chosen[:-2])
            self.assertEqual(sorted(re.findall(r"^DIFF samples (\S+)", out, re.MULTILINE)),
                             ["tree"] * 5, out + err)

            # Known: shown whole and not counted; one that agrees counts.
            known = write(folder, "known", b"# what this file is\n\n# changed on purpose\n"
                          b"samples tree samples/sample.html\nsamples runs samples/sample.html\n")
            status, out, err = run_tool(BUILD, changed, "--known", known, "--runs-allow-new-anchors",
                                        *chosen[:-2])
            self.assertEqual(status, 1, out + err)
            self.assertIn("KNOWN samples tree samples/sample.html: stdout (changed on purpose)", out)
            self.assertIn("UNSEEN samples runs samples/sample.html", out)
            self.assertIn("5 difference(s)", out)  # four trees and the unseen one

            # In batches each mode is one run over the whole set.
            status, out, err = run_tool(BUILD, changed, "--batch", *chosen)
            self.assertEqual(status, 1, out + err)
            self.assertEqual(sorted(re.findall(r"^DIFF samples (\S+) \(all pages\)", out, re.MULTILINE)),
                             ["runs", "tree"], out)
            self.assertRegex(out, r"samples +raw-80x25 +1 +0")


class Rules(unittest.TestCase):
    def test_only_added_anchor_lines_pass(self):
        old = b"title \"t\"\nanchor \"a\" 3\nline 0\n  text 0 1\nline 1\n"
        cases = [
            (old, True),
            (b"anchor \"new\" 0\n" + old, True),
            (old.replace(b"line 0\n", b"line 0\nanchor \"id\" 0\nanchor \"id\" 0\n"), True),
            (old + b"anchor \"last\" 9\n", True),
            (old.replace(b"line 1\n", b""), False),                      # a line lost
            (old.replace(b"line 0\n", b"line 0\nextra\n"), False),       # not an anchor
            (old.replace(b"anchor \"a\" 3", b"anchor \"a\" 4"), False),  # an anchor changed
            (b"line 0\n" + old.replace(b"line 0\n", b""), False),        # order changed
        ]
        with tempfile.TemporaryDirectory() as folder:
            old_path = write(folder, "old", old)
            for new, allowed in cases:
                self.assertEqual(compare.only_new_anchors(old_path, write(folder, "new", new)),
                                 allowed, new)

    def test_trace_keeps_the_progress_box_apart_from_its_timing(self):
        def box(filled):
            return b'MESSAGE "Orbisline" "' + b"\\xDB" * filled + b"\\xB1" * (50 - filled) + b'" -> 0\n'

        question = b'MESSAGE "Warning" "Oops! Time Out ... please report about" "Resume" -> 0\n'
        steady = [box(0), box(40), box(50), b'EDITOR "t" 0\n', b'MESSAGE "Orbisline" "Ok" -> 0\n']
        slow = [box(0), box(8), box(16), question, box(24), box(40), box(50)] + steady[3:]
        with tempfile.TemporaryDirectory() as folder:
            digests = [compare.normalise_trace(write(folder, "trace", b"".join(lines)))
                       for lines in (steady, slow)]
            with open(os.path.join(folder, "trace"), "rb") as f:
                self.assertEqual(f.read(), b"".join(steady))
        self.assertEqual(digests[0], digests[1])

    def test_first_difference_shows_the_differing_bytes(self):
        with tempfile.TemporaryDirectory() as folder:
            old = write(folder, "old", b"same\n" + b"x" * 300 + b"A\x1b\n")
            new = write(folder, "new", b"same\n" + b"x" * 300 + b"B\x1b\nmore\n")
            number, a, b = compare.first_difference(old, new)
            shown = compare.describe_lines(number, a, b)
            self.assertEqual(shown[0], "line 2, byte 301:")
            self.assertTrue(shown[1].startswith("  old: ...xxx") and shown[1].endswith("A\\x1B"))
            self.assertIsNone(compare.first_difference(old, old))
            self.assertIn("old output ends", compare.describe_lines(
                *compare.first_difference(write(folder, "short", b"same\n"), old))[0])


class WindowsOutputs(unittest.TestCase):
    def test_stderr_reads_as_linux_writes_it(self):
        cases = [
            (b"orbisline: C:\\users\\root\\Temp\\~ob12AB.tmp.html: gone\n",
             b"orbisline: /s/tmp/~obQ1w2E3.html: gone\n"),
            (b"cannot load Z:\\w\\Orbisline.dll: x\n", b"cannot load /w/Orbisline.dll: x\n"),
            (b"orbisline: /t/caf\xe9.html: no\n", "orbisline: /t/caf\u00e9.html: no\n".encode()),
            (b"plain\n", b"plain\n"),
        ]
        for windows, linux in cases:
            self.assertEqual(run.normalise_stderr(wine.normalise_stderr(windows), "/s", "/w"),
                             run.normalise_stderr(linux, "/s", "/w"), windows)

    def test_batch_headers_name_pages_in_utf8(self):
        lines = [b"==> /t/caf\\xE9 \\\"q\\\".html <==\n", b"==> /t/a.html <==\n", b"body \xe9\n"]
        self.assertEqual(list(wine._utf8_headers(lines)),
                         [b"==> /t/caf\\xC3\\xA9 \\\"q\\\".html <==\n", lines[1], lines[2]])

    def test_a_run_gets_its_program_settings_names_and_prefix(self):
        with tempfile.TemporaryDirectory() as folder:
            build_dir = os.path.join(folder, "build")
            os.mkdir(build_dir)
            write(build_dir, "Orbisline.dll", b"MZ module")
            prefix = os.path.join(folder, "prefix")
            temp = os.path.join(prefix, "drive_c", "users", "someone", "Temp")
            os.makedirs(temp)
            prefixes = wine.Prefixes(folder, 1)
            prefixes.free.put(prefix)
            build = wine.WineBuild(build_dir, prefixes, folder)
            settings = write(folder, "my.obs", b"<Orbisline/>")
            cases = [  # args, the program, whether --settings is passed on
                (["--headless", "--keys", "Down"], "orbisline.exe", False),
                (["--headless", "--host-version", "1.62"], "orbisline-1.62.exe", False),
                (["--dump", "--color"], "orbisline.exe", False),
                (["--tree"], "orbisline.exe", True),
            ]
            for args, program, passed in cases:
                with build.launch(args, "/p/a.html", settings) as launch:
                    expected = ["wine", os.path.join(build_dir, program)]
                    expected += (["--settings", settings] if passed else []) + args + ["/p/a.html"]
                    self.assertEqual(launch.argv, expected)
                    self.assertEqual(launch.env["WINEPREFIX"], prefix)
                    self.assertIsNone(launch.env["LC_ALL"])
                    module = launch.env.get("ORBISLINE_PLUGIN")
                    self.assertEqual(module is None, passed)
                    write(temp, "~ob12.tmp", b"")
                    self.assertEqual(launch.leftovers("/scratch"), 1)
                    self.assertEqual(launch.leftovers("/scratch"), 0)
                if module:
                    with open(os.path.join(os.path.dirname(module), "Orbisline.obs"), "rb") as f:
                        self.assertEqual(f.read(), b"<Orbisline/>")
                    with open(module, "rb") as f:
                        self.assertEqual(f.read(), b"MZ module")
            self.assertEqual(len(os.listdir(os.path.join(folder, "wine-settings"))), 1)

            # A list of pages goes over in the ANSI code page where it can.
            pages = write(folder, "list", "/p/caf\u00e9.html\n/p/\u4e2d.html\n/p/a.html\n".encode())
            with build.launch(["--tree", "--batch"], pages) as launch:
                with open(launch.argv[-1], "rb") as f:
                    self.assertEqual(f.read(), "/p/caf\u00e9.html\n".encode("cp1252") +
                                     "/p/\u4e2d.html\n/p/a.html\n".encode())
                self.assertIsNotNone(launch.stdout_filter)


if __name__ == "__main__":
    if len(sys.argv) != 2:
        print(__doc__, file=sys.stderr)
        sys.exit(2)
    BUILD = sys.argv.pop(1)
    unittest.main()
