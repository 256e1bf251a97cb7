#!/bin/sh
# The viewer in a real terminal on 50 MB of real HTML pages (the Python
# documentation, concatenated):
# - opening: the time from the start of `orbisline FILE` in a tmux pane of
#   80 by 25 to the end of the first screen that shows the page, against
#   the wall time of `orbisline --dump` of the same file (best of
#   BENCH_RUNS each; target: no later, a ratio of at most 1.00), and the
#   viewer's peak resident set once that screen is up (VmHWM; target: at
#   most 2.5 times the file);
# - events: the time from reading a key or a mouse move to the end of the
#   screen update it causes, at the top, in the middle and at the end of
#   the text (target: under 10 ms each).
# The viewer reports both itself (ORBISLINE_TIMING names the file): polling
# tmux could not resolve milliseconds. Shown, not enforced.
#
# Usage: bench/terminal_bench.sh [FILE]   (default: bench/data/pages-50mb.html)
# Environment: ORBISLINE (binary, default build/default/orbisline),
# BENCH_RUNS (default 3), BENCH_TIMEOUT (seconds per wait, default 120).
set -eu
cd "$(dirname "$0")/.." || exit 1

bin=${ORBISLINE:-build/default/orbisline}
runs=${BENCH_RUNS:-3}
limit=${BENCH_TIMEOUT:-120}
case $bin in /*) ;; *) bin=$PWD/$bin ;; esac
if [ ! -x "$bin" ]; then
  echo "terminal_bench: $bin is missing; build it first (make build)" >&2
  exit 1
fi
sh tools/install-deps.sh tmux python3 python3.11-doc >&2

work=$(mktemp -d)
socket=$work/tmux.socket
timing=$work/timing
cleanup() {
  tmux -S "$socket" kill-server 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

source_file=${1:-bench/data/pages-50mb.html}
if [ $# -eq 0 ]; then python3 bench/make_inputs.py pages "$source_file" 50; fi
# A word found only in the middle: before the page that starts nearest to
# the middle of the file, where it is body text of no page.
marker=orbisbenchmiddlemarker
page=$work/$(basename "$source_file")
python3 - "$source_file" "$page" "$marker" <<'EOF'
import sys
data = open(sys.argv[1], "rb").read()
middle = len(data) // 2
at = data.lower().find(b"<!doctype", middle)
if at < 0:
    at = data.find(b"\n", middle) + 1
open(sys.argv[2], "wb").write(data[:at] + b"<p>" + sys.argv[3].encode() + b"</p>\n" + data[at:])
EOF

tm() { tmux -S "$socket" "$@"; }

# now_us: a monotonic-enough clock in microseconds.
now_us() { echo $(($(date +%s%N) / 1000)); }

# wait_until COMMAND...: polls until the command succeeds; fails at the limit.
wait_until() {
  deadline=$(($(date +%s) + limit))
  until "$@"; do
    if [ "$(date +%s)" -gt "$deadline" ]; then
      echo "terminal_bench: timed out waiting for: $*" >&2
      return 1
    fi
    sleep 0.02
  done
}

has_open() { grep -q '^open ' "$timing" 2>/dev/null; }
event_count() { grep -c '^event ' "$timing" 2>/dev/null || true; }
# event_after N NAME: an event NAME (or, ending in '*', with that prefix)
# came after the first N events.
event_after() {
  awk -v since="$1" -v name="$2" '
    $1 == "event" { n++; if (n <= since) next
      if ($2 == name || (name ~ /\*$/ && index($2, substr(name, 1, length(name) - 1)) == 1)) found = 1 }
    END { exit !found }' "$timing"
}

# key NAME TMUX-KEY: one key, waiting for the viewer to report it.
key() {
  n=$(event_count)
  tm send-keys -t bench "$2"
  wait_until event_after "$n" "$1"
}

# move COL ROW: the mouse to a cell (0-based), no button, encoded as the
# viewer asked for it to be reported.
move() {
  n=$(event_count)
  if [ "$(tm display-message -p -t bench '#{mouse_sgr_flag}')" = 1 ]; then
    hex=$(printf '\033[<35;%d;%dM' $(($1 + 1)) $(($2 + 1)) | od -An -tx1)
  else
    hex="1b 5b 4d 43 $(printf '%x %x' $((33 + $1)) $((33 + $2)))"
  fi
  # shellcheck disable=SC2086
  tm send-keys -t bench -H $hex
  wait_until event_after "$n" 'move:*'
}

# quit: F10, and the pane is gone.
gone() { ! tm has-session -t bench 2>/dev/null; }
quit() {
  tm send-keys -t bench F10
  wait_until gone
}

# start: the viewer on the page in a fresh 80 by 25 pane.
start() {
  tm kill-server 2>/dev/null || true
  rm -f "$timing"
  printf 'set -g default-terminal tmux-256color\nset -g status off\n' >"$work/tmux.conf"
  tm -f "$work/tmux.conf" new-session -d -s bench -x 80 -y 25 \
    "env ORBISLINE_TIMING='$timing' TMPDIR='$work' LANG=C.UTF-8 '$bin' '$page'"
  wait_until has_open
}

# viewer_pid: the viewer in the pane (the pane's process, or its child when
# the shell did not hand over to it).
viewer_pid() {
  pid=$(tm display-message -p -t bench '#{pane_pid}')
  case $(cat "/proc/$pid/comm" 2>/dev/null) in
    orbisline) echo "$pid" ;;
    *) ps -o pid= --ppid "$pid" | head -n 1 | tr -d ' ' ;;
  esac
}

# peak_kb: the viewer's peak resident set so far, in kB; it idles once the
# first screen is up, so this is its peak up to that screen.
peak_kb() { awk '$1 == "VmHWM:" { print $2 }' "/proc/$(viewer_pid)/status" 2>/dev/null || true; }

# stats FROM LABEL: count, median and largest time in ms of the events after
# the first FROM, split into keys and mouse moves.
stats() {
  awk -v since="$1" -v label="$2" '
    $1 == "event" { n++; if (n <= since) next
      if ($2 ~ /^move:/) m[++mc] = $3 / 1000; else k[++kc] = $3 / 1000 }
    function show(kind, v, c,    i, j, t, worst) {
      if (c == 0) { printf "  %-8s %-12s none\n", label, kind; return }
      for (i = 2; i <= c; i++) { t = v[i]; for (j = i - 1; j >= 1 && v[j] > t; j--) v[j + 1] = v[j]; v[j + 1] = t }
      worst = v[c]
      printf "  %-8s %-12s %3d events  median %7.3f ms  max %7.3f ms  %s\n", label, kind, c,
        v[int((c + 1) / 2)], worst, worst < 10 ? "ok" : "MISS"
    }
    END { show("keys", k, kc); show("mouse moves", m, mc) }' "$timing"
}

# where: the cursor's line as the status line shows it.
where() { tm capture-pane -p -t bench | head -n 1 | grep -o 'Line [0-9]*/[0-9]*' || echo '?'; }

# Some keys and mouse moves where the cursor is now.
exercise() {
  for _ in 1 2 3 4 5 6 7 8; do key Down Down; done
  key PgDn PageDown
  key PgUp PageUp
  for _ in 1 2 3 4 5 6 7 8; do key Up Up; done
  for column in 2 9 17 25 33 41 49 57 65 73; do move "$column" $((column % 20 + 2)); done
}

echo "file: $(basename "$source_file"), $(awk -v n="$(wc -c <"$page")" 'BEGIN { printf "%.1f MB", n / 1048576 }')"
echo "(best of $runs; $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg))"

best_dump=""
for _ in $(seq "$runs"); do
  begin=$(now_us)
  timeout "$limit" "$bin" --dump --width 80 --height 25 "$page" >/dev/null
  took=$(($(now_us) - begin))
  if [ -z "$best_dump" ] || [ "$took" -lt "$best_dump" ]; then best_dump=$took; fi
done

best_open=""
best_kb=""
for run in $(seq "$runs"); do
  start
  opened=$(awk '$1 == "open" { print $2; exit }' "$timing")
  if [ -z "$best_open" ] || [ "$opened" -lt "$best_open" ]; then best_open=$opened; fi
  kb=$(peak_kb)
  if [ -n "$kb" ] && { [ -z "$best_kb" ] || [ "$kb" -lt "$best_kb" ]; }; then best_kb=$kb; fi
  if [ "$run" -lt "$runs" ]; then
    quit
    continue
  fi
  echo
  echo "Events (from reading the input to the end of the screen update; target under 10 ms):"
  echo "  top: $(where)"
  since=$(event_count)
  exercise
  stats "$since" top
  key F7 F7
  tm send-keys -t bench -l "$marker"
  key Enter Enter
  echo "  middle, found by F7: $(where)"
  since=$(event_count)
  exercise
  stats "$since" middle
  key Ctrl+End C-End
  echo "  end: $(where)"
  since=$(event_count)
  exercise
  stats "$since" end
  quit
done

echo
awk -v open="$best_open" -v dump="$best_dump" 'BEGIN {
  ratio = open / dump
  printf "Opening: in the terminal %.3f s, --dump %.3f s, ratio %.2f (target at most 1.00) %s\n",
    open / 1e6, dump / 1e6, ratio, ratio <= 1 ? "ok" : "MISS" }'
if [ -n "$best_kb" ]; then
  awk -v kb="$best_kb" -v n="$(wc -c <"$page")" 'BEGIN {
    printf "Peak at the first screen: %.1f MB, %.2f times the file (target at most 2.50) %s\n",
      kb / 1024, kb * 1024 / n, kb * 1024 <= 2.5 * n ? "ok" : "MISS" }'
else
  echo "Peak at the first screen: not measured (no /proc status of the viewer)"
fi
