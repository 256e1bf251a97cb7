#!/bin/sh
# What the page conversion costs end to end: wall time of
#   orbisline --dump --width 80 --height 25 FILE
# with the built-in settings (conversion on) and with the same settings but
# <Default charset=none> (conversion off), the best of several runs each,
# taken in turns so that a change in the machine's load hits both alike.
# On 50 MB of the Python documentation (UTF-8 pages, all converted) the
# target is less than 20% more time; on a generated 50 MB page that needs no
# conversion the difference should be lost in the noise. Then the same
# inputs are parsed in memory, straight and through the converting source
# (parse_bench --convert), which shows the source's own cost without the
# noise of files, processes and the writer.
#
# Usage: bench/charset_bench.sh [FILE...]   (default: the two inputs above)
# Environment: ORBISLINE (binary, default build/default/orbisline),
# PARSE_BENCH (default: parse_bench beside ORBISLINE), BENCH_RUNS (runs per
# setting, default 5), BENCH_TIMEOUT (seconds per run, default 120).
set -eu
cd "$(dirname "$0")/.." || exit 1

bin=${ORBISLINE:-build/default/orbisline}
parse_bench=${PARSE_BENCH:-$(dirname "$bin")/parse_bench}
runs=${BENCH_RUNS:-5}
limit=${BENCH_TIMEOUT:-120}
data=bench/data

if [ ! -x "$bin" ]; then
  echo "charset_bench: $bin is missing; build it first (make build)" >&2
  exit 1
fi
sh tools/install-deps.sh python3 python3.11-doc >&2

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT INT TERM

# The built-in settings text, taken from its source, with and without the
# switch: the two runs differ in nothing else.
python3 - "$work" <<'EOF'
import re, sys
source = open("src/config/default_settings.cpp", encoding="ascii").read()
body = source[source.index("defaultSettingsText[] ="):]
body = body[:body.index(";\n")]
text = "".join(re.findall(r'"((?:[^"\\]|\\.)*)"', body)).encode().decode("unicode_escape")
if "<Default " not in text:
    sys.exit("charset_bench: no Default element in the built-in settings")
open(sys.argv[1] + "/auto.obs", "w").write(text)
open(sys.argv[1] + "/none.obs", "w").write(text.replace("<Default ", "<Default charset=none ", 1))
EOF

# seconds SETTINGS FILE: wall seconds of one run, or "failed".
seconds() {
  start=$(date +%s%N)
  if ! timeout "$limit" "$bin" --settings "$1" --dump --width 80 --height 25 "$2" >/dev/null 2>&1; then
    echo failed
    return
  fi
  end=$(date +%s%N)
  awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", (b - a) / 1e9 }'
}

# smaller A B: the smaller number, or "failed" when either failed.
smaller() {
  awk -v a="$1" -v b="$2" 'BEGIN {
    if (a == "failed" || b == "failed") print "failed"; else print (a + 0 < b + 0) ? a : b }'
}

row() {
  file=$1
  best_on=999999 best_off=999999
  i=0
  while [ "$i" -lt "$runs" ]; do
    best_on=$(smaller "$best_on" "$(seconds "$work/auto.obs" "$file")")
    best_off=$(smaller "$best_off" "$(seconds "$work/none.obs" "$file")")
    i=$((i + 1))
  done
  mb=$(awk -v n="$(wc -c <"$file")" 'BEGIN { printf "%.1f", n / 1048576 }')
  extra=$(awk -v a="$best_on" -v b="$best_off" 'BEGIN {
    if (a == "failed" || b == "failed" || b + 0 == 0) print "-"; else printf "%+.1f%%", (a / b - 1) * 100 }')
  target=""
  case $(basename "$file") in
    pages-*) target=$(awk -v e="$extra" 'BEGIN { sub("%", "", e); print (e != "-" && e + 0 < 20) ? "ok (< 20%)" : "MISS" }') ;;
    realistic-*) target="(needs no conversion)" ;;
  esac
  printf '%-22s %7s %9s %9s %8s  %s\n' "$(basename "$file")" "$mb" "$best_on" "$best_off" "$extra" "$target"
}

if [ $# -gt 0 ]; then
  inputs="$*"
else
  python3 bench/make_inputs.py pages "$data/pages-50mb.html" 50
  python3 bench/make_inputs.py realistic "$data/realistic-50mb.html" 50
  inputs="$data/pages-50mb.html $data/realistic-50mb.html"
fi

echo "orbisline --dump --width 80 --height 25, conversion on and off (best of $runs, wall seconds)"
printf '%-22s %7s %9s %9s %8s  %s\n' input "size MB" "on" "off" "extra" target
for file in $inputs; do
  row "$file"
done

if [ -x "$parse_bench" ]; then
  echo
  echo "parsing in memory, straight from memory and through the converting source (best of 3)"
  # shellcheck disable=SC2086
  timeout 600 "$parse_bench" $inputs
  # shellcheck disable=SC2086
  timeout 600 "$parse_bench" --convert $inputs | tail -n +2
else
  echo "charset_bench: $parse_bench is missing; in-memory parsing not measured" >&2
fi
