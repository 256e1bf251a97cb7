#!/bin/sh
# End-to-end rendering benchmark: wall time and peak memory of
#   orbisline --dump --width 80 --height 25 FILE
# on about 50 MB of real HTML pages (and the same at half size, to show that
# the time grows linearly) and on adversarial inputs of a few MB each, with
# w3m and links rendering the same files for comparison.
#
# Usage: bench/render_bench.sh [FILE...]   (default: the standard inputs)
# Environment: ORBISLINE (binary, default build/default/orbisline),
# BENCH_TIMEOUT (seconds per command, default 120), BENCH_PEERS=0 skips w3m
# and links.
set -eu
cd "$(dirname "$0")/.." || exit 1

bin=${ORBISLINE:-build/default/orbisline}
limit=${BENCH_TIMEOUT:-120}
peers=${BENCH_PEERS:-1}
data=bench/data

if [ ! -x "$bin" ]; then
  echo "render_bench: $bin is missing; build it first (make build)" >&2
  exit 1
fi
sh tools/install-deps.sh time python3 python3.11-doc w3m links >&2

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT INT TERM
. bench/measure.sh

# row FILE: measures one input with all three programs and prints its line.
row() {
  file=$1
  last_input=$file
  mb=$(size_mb "$file")
  measure "$bin" --dump --width 80 --height 25 "$file"
  orb=$secs
  orb_ok=$ok
  rss_mb=$(awk -v k="$rss_kb" 'BEGIN { printf "%.1f", k / 1024 }')
  rate=$(ratio "$mb" "$orb")
  per_size=$(ratio "$rss_mb" "$mb")
  w3m=- links=-
  if [ "$peers" != 0 ]; then
    measure w3m -dump -cols 80 "$file"
    w3m=$secs
    measure links -dump -width 80 "$file"
    links=$secs
  fi
  target=$(check_target "$file" "$orb_ok" "$orb" "$rate" "$per_size")
  printf '%-22s %7s %9s %8s %8s %8s %8s %8s %8s %8s  %s\n' "$(basename "$file")" "$mb" "$orb" \
    "$rate" "$rss_mb" "$per_size" "$w3m" "$links" "$(ratio "$w3m" "$orb")" "$(ratio "$links" "$orb")" \
    "$target"
  if [ "$file" = "$data/pages-50mb.html" ]; then full_time=$orb; fi
  if [ "$file" = "$data/pages-25mb.html" ]; then half_time=$orb; fi
}

# The goals: the 50 MB page set in under 1 s with peak memory under 5x its
# size; every adversarial input at 10 MB/s or more. Shown, not enforced.
check_target() {
  if [ "$2" != 1 ]; then echo "MISS"; return; fi
  case $(basename "$1") in
    pages-50mb.html) awk -v t="$3" -v m="$5" 'BEGIN { print (t < 1 && m < 5) ? "ok" : "MISS" }' ;;
    pages-*) echo "" ;;
    *) awk -v r="$4" 'BEGIN { print (r != "-" && r >= 10) ? "ok" : "MISS" }' ;;
  esac
}

if [ $# -gt 0 ]; then
  inputs="$*"
else
  python3 bench/make_inputs.py pages "$data/pages-50mb.html" 50
  python3 bench/make_inputs.py pages "$data/pages-25mb.html" 25
  python3 bench/make_inputs.py adversarial "$data"
  inputs="$data/pages-50mb.html $data/pages-25mb.html"
  for name in word-5mb unclosed-200k nesting-1m textnodes-1m attribute-5mb comment-5mb \
      references-3mb pre-500k random-10mb; do
    inputs="$inputs $data/$name.html"
  done
fi

full_time=- half_time=-
echo "orbisline --dump --width 80 --height 25; w3m -dump -cols 80; links -dump -width 80"
echo "(one run each, wall seconds, time limit ${limit} s; RSS is orbisline's peak)"
printf '%-22s %7s %9s %8s %8s %8s %8s %8s %8s %8s  %s\n' input "size MB" "orbisline" "MB/s" \
  "RSS MB" "RSS/size" "w3m s" "links s" "w3m/orb" "links/orb" target
for file in $inputs; do
  row "$file"
done
if [ "$full_time" != - ] && [ "$half_time" != - ]; then
  echo "linearity: pages 50 MB / 25 MB time ratio $(ratio "$full_time" "$half_time") (2.00 is linear)"
fi
