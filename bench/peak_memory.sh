#!/bin/sh
# Peak memory of parsing a 50 MB generated page: runs
#   orbisline --tree FILE > /dev/null
# under /usr/bin/time -v and prints the maximum resident set size and its
# ratio to the size of the input.
#
# Usage: bench/peak_memory.sh [FILE]   (default: a generated 50 MB page)
# Environment: ORBISLINE (binary, default build/default/orbisline),
# BENCH_TIMEOUT (seconds, default 300).
set -eu
cd "$(dirname "$0")/.." || exit 1

bin=${ORBISLINE:-build/default/orbisline}
limit=${BENCH_TIMEOUT:-300}
if [ ! -x "$bin" ]; then
  echo "peak_memory: $bin is missing; build it first (make build)" >&2
  exit 1
fi
sh tools/install-deps.sh time python3 >&2

file=${1:-bench/data/realistic-50mb.html}
if [ $# -eq 0 ]; then
  python3 bench/make_inputs.py realistic "$file" 50
fi

report=$(mktemp)
trap 'rm -f "$report"' EXIT INT TERM
status=0
/usr/bin/time -v -o "$report" timeout "$limit" "$bin" --tree "$file" >/dev/null || status=$?
if [ "$status" -ne 0 ]; then
  echo "peak_memory: $bin --tree $file exited with status $status" >&2
  exit 1
fi

bytes=$(wc -c <"$file")
rss_kb=$(awk -F': ' '/Maximum resident set size/ { print $2 }' "$report")
wall=$(awk -F': ' '/Elapsed \(wall clock\)/ { print $2 }' "$report")
awk -v b="$bytes" -v k="$rss_kb" -v w="$wall" -v f="$file" 'BEGIN {
  printf "peak memory of --tree on %s: input %.1f MB, max RSS %.1f MB, RSS/input %.2f, wall %s\n",
    f, b / 1048576, k / 1024, (k * 1024) / b, w }'
