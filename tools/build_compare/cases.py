"""One page through every mode, on both builds: each case runs the old
build, then the new one in the same scratch folder, and compares exit
status, standard output, standard error and the temporary files left
behind."""

import contextlib
import fnmatch
import os
import shutil
import tempfile

from . import compare, modes, run


class Launch:
    """How one run of a build starts: its command, what its environment
    adds, how to count the temporary files it left (a function of the
    scratch folder), how to rewrite its stderr first (bytes to bytes) and
    its stdout when that is no trace (as compare.rewrite_lines does)."""

    def __init__(self, argv, env, leftovers=None, stderr_filter=None, stdout_filter=None):
        self.argv = argv
        self.env = env
        self.leftovers = leftovers
        self.stderr_filter = stderr_filter
        self.stdout_filter = stdout_filter


class Build:
    """A build to run: its program and what its environment adds (the
    module's path, when it does not lie beside the program). runs_again:
    a run that ends otherwise than the other build's is run once more,
    for a build whose runs can fail for reasons of their surroundings."""

    runs_again = False

    def __init__(self, folder, plugin=None):
        self.folder = os.path.abspath(folder)
        self.program = os.path.join(self.folder, "orbisline")
        self.env = {"ORBISLINE_PLUGIN": os.path.abspath(plugin)} if plugin else {}

    @contextlib.contextmanager
    def launch(self, args, path, settings_file=None):
        """The Launch of the program with args, the settings file when one
        is named, and path."""
        named = ["--settings", settings_file] if settings_file else []
        yield Launch([self.program] + named + args + [path], self.env)


class Settings:
    def __init__(self, old, new, work, processes, cap, timeout, keep=None, new_anchors=False,
                 env=None, patterns=None, settings_file=None, batch=False):
        self.old = old
        self.new = new
        self.work = work
        self.processes = processes
        self.cap = cap
        self.timeout = timeout
        self.keep = keep
        self.new_anchors = new_anchors
        self.env = env or {}
        self.patterns = patterns or ["*"]
        self.settings_file = settings_file
        self.batch = batch

    def wants(self, name):
        return any(fnmatch.fnmatchcase(name, pattern) for pattern in self.patterns)


class Outcome:
    """The result of one case: what differs (empty when nothing does), the
    lines that show the first difference, and notes on faults both builds
    share."""

    def __init__(self, mode):
        self.mode = mode
        self.differences = []
        self.details = []
        self.notes = []


def _run_side(settings, build, mode, path, folder, side):
    scratch = os.path.join(folder, "scratch")
    with build.launch(mode.args, path, settings.settings_file) as launch:
        # The launch has the last word: a build that must run in a locale
        # of its own keeps it.
        env = run.environment(scratch, {**settings.env, **mode.env, **launch.env})
        job = {"argv": launch.argv, "env": env, "scratch": scratch, "build_dir": build.folder,
               "cap": settings.cap, "timeout": settings.timeout,
               "filter": compare.normalise_trace if mode.trace else launch.stdout_filter,
               "leftovers": launch.leftovers, "stderr_filter": launch.stderr_filter}
        return run.run_build(job, os.path.join(folder, side + ".out"),
                             os.path.join(folder, side + ".err"), settings.processes)


def _compare_results(settings, mode, old, new, outcome):
    if old.status != new.status:
        outcome.differences.append("status")
        outcome.details.append("exit status: old %s, new %s" % (old.status, new.status))
    if old.leftovers != new.leftovers:
        outcome.differences.append("temporary files")
        outcome.details.append("temporary files left: old %d, new %d" % (old.leftovers, new.leftovers))
    elif old.leftovers:
        outcome.notes.append("both builds left %d temporary file(s)" % old.leftovers)
    if old.err_hash != new.err_hash:
        outcome.differences.append("stderr")
        outcome.details.append("stderr " + _first_lines(old.err_path, new.err_path))
    if old.out_hash != new.out_hash and not _allowed(settings, mode, old, new):
        outcome.differences.append("stdout")
        outcome.details.append("stdout " + _first_lines(old.out_path, new.out_path))


def _allowed(settings, mode, old, new):
    return (settings.new_anchors and mode.name == "runs" and not old.truncated and
            not new.truncated and compare.only_new_anchors(old.out_path, new.out_path))


def _first_lines(old_path, new_path):
    found = compare.first_difference(old_path, new_path)
    if found is None:  # the hashes differ only in what the cap cut off
        return "differs past the output cap"
    return "\n    ".join(compare.describe_lines(*found))


def _keep(settings, set_name, page, mode, folder):
    target = os.path.join(settings.keep, set_name, page)
    os.makedirs(target, exist_ok=True)
    stem = mode.name.replace(":", "-")
    for side in ("old", "new"):
        for stream in ("out", "err"):
            source = os.path.join(folder, "%s.%s" % (side, stream))
            shutil.copyfile(source, os.path.join(target, "%s.%s.%s" % (stem, side, stream)))


def run_case(settings, set_name, page, path, mode, inspect_old=None):
    """Runs one mode on one page with both builds; the Outcome. inspect_old
    sees the old build's output file before it goes."""
    folder = tempfile.mkdtemp(prefix="case.", dir=settings.work)
    try:
        outcome = Outcome(mode.name)
        old = _run_side(settings, settings.old, mode, path, folder, "old")
        if settings.processes.stopping.is_set():
            return None
        new = _run_side(settings, settings.new, mode, path, folder, "new")
        if settings.new.runs_again and new.status != old.status:
            # A deterministic fault ends the same way twice; the note keeps
            # a run that did not visible all the same.
            first = new.status
            new = _run_side(settings, settings.new, mode, path, folder, "new")
            outcome.notes.append("the new build's run ended %s, and %s when run again" %
                                 (first, new.status))
        _compare_results(settings, mode, old, new, outcome)
        if inspect_old is not None and old.status == "exit 0" and not old.truncated:
            inspect_old(old.out_path)
        if outcome.differences and settings.keep:
            _keep(settings, set_name, page, mode, folder)
        return outcome
    finally:
        shutil.rmtree(folder, ignore_errors=True)


def _wanted_per_page(settings, mode):
    return settings.wants(mode.name) and not (settings.batch and mode.name in modes.BATCH_MODES)


def run_page(settings, set_name, page, path, heavy):
    """The chosen modes on one page (only the heavy ones for a large page);
    the Outcomes in order. The link scripts come from the old build's
    --runs, which runs for them even when not chosen itself. With
    settings.batch the modes that take a list of pages are left to
    run_batch."""
    links = []
    outcomes = []
    queue = [mode for mode in modes.fixed_modes() if mode.heavy or not heavy]
    needs_links = not heavy and any(settings.wants("headless:link-" + kind) for kind in modes.LINK_KINDS)
    while queue:
        mode = queue.pop(0)
        derive = mode.name == "runs" and needs_links
        if not _wanted_per_page(settings, mode) and not derive:
            continue
        inspect = (lambda out: links.extend(modes.links_in_runs(out))) if derive else None
        outcome = run_case(settings, set_name, page, path, mode, inspect)
        if outcome is None:
            break
        if _wanted_per_page(settings, mode):
            outcomes.append(outcome)
        if derive:
            queue.extend(modes.link_modes(links))
    return outcomes


def run_batch(settings, set_name, pages):
    """Each chosen mode that takes a list of pages, once over all of them
    (--batch LIST), so that a whole set costs one process per mode; the
    Outcomes in order."""
    list_path = os.path.join(settings.work, "batch-%s.txt" % set_name)
    with open(list_path, "wb") as f:
        f.write(b"".join(os.fsencode(path) + b"\n" for _, path in pages))
    outcomes = []
    for mode in modes.fixed_modes():
        if mode.name not in modes.BATCH_MODES or not settings.wants(mode.name):
            continue
        batch = modes.Mode(mode.name, mode.args + ["--batch"], env=mode.env)
        outcome = run_case(settings, set_name, "(all pages)", list_path, batch)
        if outcome is None:
            break
        outcomes.append(outcome)
    return outcomes
