"""A Windows build run under wine as the NEW side: orbisline.exe beside
Orbisline.dll, in a 64-bit wine prefix of its own.

What Windows does differently is met here, so that the outputs compare
with the Linux build's as they are:
  - the host's version is the executable's version resource, so
    --host-version V runs the copy built with it (orbisline-V.exe; 1.70 is
    orbisline.exe itself);
  - a host cannot hand the DLL a settings file, so the host modes read
    named settings as a user of the real host would have them: a copy of
    the DLL with the file beside it as Orbisline.obs (ORBISLINE_PLUGIN
    names the copy); the other modes take --settings as they are;
  - temporary files go to the prefix's own temporary folder, whatever
    TMPDIR says, so each run holds one prefix of a pool to itself and
    counts what it left there (and clears it);
  - in stderr, such a temporary file's name becomes $SCRATCH, as a Linux
    one in the scratch folder does, and a path on drive Z: (the Unix root)
    is written with slashes and without the drive;
  - a Windows program's file names are in the ANSI code page (Windows-1252
    here), where Linux takes the bytes of the UTF-8 names on disk: a list
    of pages is handed over in that code page, and stderr, which names
    files, is compared after decoding it from that code page to UTF-8;
  - wine itself runs in a UTF-8 locale whatever the case asks (LC_ALL=C
    for the Linux side), so that it finds files whose names hold UTF-8 and
    reads the command line as Linux does; the Windows side's own code
    pages stay Windows-1252 and 437 either way.
Page paths are passed as they are: a Unix absolute path is a path from the
root of the current drive, Z:, where each run's folder lies.
"""

import concurrent.futures
import contextlib
import glob
import hashlib
import os
import queue
import re
import shutil
import subprocess
import threading

from . import cases, compare

DEFAULT_VERSION = "1.70"
ANSI_PAGE = "cp1252"
WINE_LOCALE = {"LC_ALL": None, "LANG": "C.UTF-8"}
TEMP_FOLDERS = "drive_c/users/*/Temp"
WINDOWS_TEMP_FILE = re.compile(rb"[A-Za-z]:\\users\\[^\\\s'\"]+\\Temp\\[^\s'\"]*")
UNIX_ROOT_PATH = re.compile(rb"\b[Zz]:(\\[^\s'\"]*)")
HOST_MODES = ("--headless", "--color")


def _wine_env(prefix):
    return {"WINEPREFIX": prefix, "WINEDEBUG": "-all"}


def _quiet(command, env):
    return subprocess.run(command, env={**os.environ, **env}, stdin=subprocess.DEVNULL,
                          stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode


def normalise_stderr(data):
    data = WINDOWS_TEMP_FILE.sub(b"$SCRATCH", data)
    data = UNIX_ROOT_PATH.sub(lambda found: found.group(1).replace(b"\\", b"/"), data)
    return data.decode(ANSI_PAGE, "replace").encode("utf-8")


BATCH_HEADER = re.compile(rb"^==> .* <==\n$")
ESCAPED_HIGH_BYTE = re.compile(rb"\\x([89A-F][0-9A-F])")


def _utf8_escapes(found):
    character = bytes([int(found.group(1), 16)]).decode(ANSI_PAGE, "replace")
    return b"".join(b"\\x%02X" % byte for byte in character.encode("utf-8"))


def _utf8_headers(lines):
    """The page names of a batch's headers, in the ANSI code page on
    Windows, in UTF-8 as Linux has them; a header escapes every byte from
    0x7F up, and so does it here."""
    for line in lines:
        if BATCH_HEADER.match(line):
            line = ESCAPED_HIGH_BYTE.sub(_utf8_escapes, line)
        yield line


def ansi_list(list_path):
    """A copy of a list of pages with each name in the ANSI code page where
    it can be written there."""
    copy = list_path + ".ansi"
    with open(list_path, "rb") as source, open(copy, "wb") as out:
        for line in source:
            try:
                line = line.decode("utf-8").encode(ANSI_PAGE)
            except UnicodeError:
                pass
            out.write(line)
    return copy


class Prefixes:
    """One wine prefix per run at once, each with its server kept alive
    while the comparison runs; made under folder when missing."""

    def __init__(self, folder, count):
        self.paths = [os.path.join(folder, "prefix-%d" % number) for number in range(1, count + 1)]
        self.free = queue.Queue()

    def start(self):
        """Makes the missing prefixes (about 15 s each, at the same time)
        and starts their servers; the reason when one cannot be had."""
        with concurrent.futures.ThreadPoolExecutor(max_workers=len(self.paths)) as pool:
            failed = [path for path, status in zip(self.paths, pool.map(self._prepare, self.paths))
                      if status != 0]
        if failed:
            return "cannot make the wine prefix %s (is wine64 installed?)" % failed[0]
        for path in self.paths:
            self._clear_temp(path)
            self.free.put(path)
        return None

    def stop(self):
        for path in self.paths:
            _quiet(["wineserver", "-k"], _wine_env(path))

    def _prepare(self, path):
        os.makedirs(path, exist_ok=True)
        env = _wine_env(path)
        # A server that runs already (a comparison before this one) serves.
        _quiet(["wineserver", "-p"], env)
        # The prefix's services start with the first program: started here,
        # with nothing open, none of them keeps a case's output pipe open
        # (which would hold that case until its time-out).
        made = os.path.isfile(os.path.join(path, "system.reg"))
        return _quiet(["wineboot"] if made else ["wineboot", "-i"], env)

    @contextlib.contextmanager
    def take(self):
        path = self.free.get()
        try:
            yield path
        finally:
            self.free.put(path)

    @staticmethod
    def temp_files(path):
        found = []
        for folder in glob.glob(os.path.join(path, TEMP_FOLDERS)):
            found.extend(os.path.join(folder, name) for name in os.listdir(folder))
        return found

    @classmethod
    def _clear_temp(cls, path):
        for leftover in cls.temp_files(path):
            if os.path.isdir(leftover):
                shutil.rmtree(leftover, ignore_errors=True)
            else:
                os.remove(leftover)

    @classmethod
    def count_and_clear(cls, path):
        count = len(cls.temp_files(path))
        cls._clear_temp(path)
        return count


class WineBuild(cases.Build):
    """The Windows build in folder, run with `wine`; runs take a prefix
    of prefixes for their time. On a busy machine a run under wine now
    and then fails for no reason of the program's (it ends with status 1
    having written nothing, about once in two thousand runs here, or gets
    no console), so a run that ends otherwise than the Linux build's is run
    once more, with a note."""

    runs_again = True

    def __init__(self, folder, prefixes, work):
        super().__init__(folder)
        self.program = os.path.join(self.folder, "orbisline.exe")
        self.prefixes = prefixes
        self.copies = os.path.join(work, "wine-settings")
        self.copying = threading.Lock()

    def executable(self, args):
        version = args[args.index("--host-version") + 1] if "--host-version" in args else None
        if version is None or version == DEFAULT_VERSION:
            return self.program
        return os.path.join(self.folder, "orbisline-%s.exe" % version)

    def module_beside(self, settings_file):
        """A copy of the DLL with settings_file beside it as Orbisline.obs,
        one folder per settings text."""
        with open(settings_file, "rb") as f:
            text = f.read()
        folder = os.path.join(self.copies, hashlib.sha256(text).hexdigest()[:16])
        module = os.path.join(folder, "Orbisline.dll")
        with self.copying:
            if not os.path.isfile(module):
                os.makedirs(folder, exist_ok=True)
                with open(os.path.join(folder, "Orbisline.obs"), "wb") as f:
                    f.write(text)
                shutil.copyfile(os.path.join(self.folder, "Orbisline.dll"), module)
        return module

    @contextlib.contextmanager
    def launch(self, args, path, settings_file=None):
        env = dict(WINE_LOCALE)
        named = []
        if args and args[-1] == "--batch":
            path = ansi_list(path)
        if settings_file and any(mode in args for mode in HOST_MODES):
            env["ORBISLINE_PLUGIN"] = self.module_beside(settings_file)
        elif settings_file:
            named = ["--settings", settings_file]
        with self.prefixes.take() as prefix:
            env.update(_wine_env(prefix))
            argv = ["wine", self.executable(args)] + named + args + [path]
            headers = lambda out: compare.rewrite_lines(out, _utf8_headers)  # noqa: E731
            yield cases.Launch(argv, env, lambda scratch: Prefixes.count_and_clear(prefix),
                               normalise_stderr, headers if args[-1:] == ["--batch"] else None)


def check_build(folder):
    """None when folder holds a Windows build to run, else why not."""
    for name in ("orbisline.exe", "Orbisline.dll"):
        if not os.path.isfile(os.path.join(folder, name)):
            return "%s: no %s (make windows builds it in build/windows64)" % (folder, name)
    if shutil.which("wine") is None or shutil.which("wineserver") is None:
        return "wine is not installed (tools/install-deps.sh --windows)"
    return None
