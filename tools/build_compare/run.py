"""Runs one build of orbisline on one page in a controlled environment and
keeps what it wrote.

Each run gets a scratch folder holding an empty HOME, XDG_CONFIG_HOME,
ORBISLINE_REGISTRY and TMPDIR, and works in it; both builds of a case use
the same folder one after the other, so that paths the program prints are
the same for both. The run has no terminal: standard input is /dev/null,
standard output a pipe, and it runs in a session of its own, without a
controlling terminal.

Standard output is streamed to a file and hashed as it comes, up to a cap:
an output that grows past it (--tree of a million nested elements writes a
terabyte) is stopped there, and only what came before is compared.
"""

import hashlib
import os
import re
import shutil
import signal
import subprocess
import threading

CHUNK = 1 << 20
STDERR_CAP = 1 << 20
SCRATCH_FOLDERS = ("home", "config", "registry", "tmp")
SCRATCH_MARK = b"$SCRATCH"
BUILD_MARK = b"$BUILD"


class Result:
    """What one build did on one case. `status` is "exit N", "signal N",
    "timeout" or "stopped at N MiB" (output over the cap)."""

    def __init__(self, out_path, err_path):
        self.out_path = out_path
        self.err_path = err_path
        self.status = ""
        self.out_hash = ""
        self.err_hash = ""
        self.truncated = False
        self.leftovers = 0


class Processes:
    """The runs under way, so that an interruption can end them: each runs
    in its own process group."""

    def __init__(self):
        self._lock = threading.Lock()
        self._live = set()
        self.stopping = threading.Event()

    def add(self, process):
        with self._lock:
            self._live.add(process)
            if self.stopping.is_set():
                _kill_group(process)

    def discard(self, process):
        with self._lock:
            self._live.discard(process)

    def stop_all(self):
        with self._lock:
            self.stopping.set()
            for process in self._live:
                _kill_group(process)


def _kill_group(process):
    try:
        os.killpg(process.pid, signal.SIGKILL)
    except OSError:
        pass


def prepare_scratch(scratch):
    """Empties the scratch folder; the environment's folders exist, empty."""
    shutil.rmtree(scratch, ignore_errors=True)
    for name in SCRATCH_FOLDERS:
        os.makedirs(os.path.join(scratch, name))


def environment(scratch, overrides):
    """A fixed environment: PATH, the scratch folders, a UTF-8 locale that
    overrides may replace (an override of None removes the variable)."""
    env = {
        "PATH": "/usr/local/bin:/usr/bin:/bin",
        "HOME": os.path.join(scratch, "home"),
        "XDG_CONFIG_HOME": os.path.join(scratch, "config"),
        "ORBISLINE_REGISTRY": os.path.join(scratch, "registry"),
        "TMPDIR": os.path.join(scratch, "tmp"),
        "LANG": "C.UTF-8",
        "TERM": "dumb",
    }
    for name, value in overrides.items():
        if value is None:
            env.pop(name, None)
        else:
            env[name] = value
    return env


def _stream(source, out_path, cap):
    """Copies source to out_path, at most cap bytes; (sha256, truncated)."""
    digest = hashlib.sha256()
    written = 0
    with open(out_path, "wb") as out:
        while True:
            chunk = source.read(min(CHUNK, cap - written + 1))
            if not chunk:
                return digest.hexdigest(), False
            if written + len(chunk) > cap:
                chunk = chunk[: cap - written]
                digest.update(chunk)
                out.write(chunk)
                return digest.hexdigest(), True
            digest.update(chunk)
            out.write(chunk)
            written += len(chunk)


def _status_of(returncode, timed_out, truncated, cap):
    if truncated:
        return "stopped at %d MiB" % (cap >> 20)
    if timed_out:
        return "timeout"
    if returncode < 0:
        return "signal %d" % -returncode
    return "exit %d" % returncode


def normalise_stderr(data, scratch, build_dir):
    """Scratch paths (temporary file names included) and the build folder
    read the same for both builds."""
    scratch_path = re.escape(os.fsencode(scratch)) + rb"[^\s'\"]*"
    data = re.sub(scratch_path, SCRATCH_MARK, data)
    return data.replace(os.fsencode(os.path.abspath(build_dir)), BUILD_MARK)


def _finish_stderr(result, scratch, build_dir, stderr_filter):
    with open(result.err_path, "rb") as f:
        data = f.read(STDERR_CAP)
    if stderr_filter:
        data = stderr_filter(data)
    data = normalise_stderr(data, scratch, build_dir)
    with open(result.err_path, "wb") as f:
        f.write(data)
    result.err_hash = hashlib.sha256(data).hexdigest()


def run_build(job, out_path, err_path, processes):
    """Runs job (a dict: argv, env, scratch, build_dir, cap, timeout,
    filter, and optionally leftovers and stderr_filter) and returns its
    Result. filter, when set, rewrites the output file in place and returns
    its new hash; leftovers counts the temporary files left (by default
    those in the scratch folder's tmp); stderr_filter rewrites stderr before
    the paths are normalised."""
    result = Result(out_path, err_path)
    prepare_scratch(job["scratch"])
    with open(err_path, "wb") as err:
        process = subprocess.Popen(job["argv"], stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                   stderr=err, env=job["env"], cwd=job["scratch"],
                                   start_new_session=True)
    processes.add(process)
    timed_out = threading.Event()

    def on_timeout():
        timed_out.set()
        _kill_group(process)

    timer = threading.Timer(job["timeout"], on_timeout)
    timer.start()
    try:
        result.out_hash, result.truncated = _stream(process.stdout, out_path, job["cap"])
        if result.truncated:
            _kill_group(process)
        process.stdout.close()
        returncode = process.wait()
    finally:
        timer.cancel()
        processes.discard(process)
    result.status = _status_of(returncode, timed_out.is_set(), result.truncated, job["cap"])
    if job.get("filter") and not result.truncated:
        result.out_hash = job["filter"](out_path)
    _finish_stderr(result, job["scratch"], job["build_dir"], job.get("stderr_filter"))
    count = job.get("leftovers") or _leftovers_in_scratch
    result.leftovers = count(job["scratch"])
    return result


def _leftovers_in_scratch(scratch):
    return len(os.listdir(os.path.join(scratch, "tmp")))
