#!/bin/sh
# Runs every benchmark: parsing throughput by input shape, peak memory of a
# 50 MB parse, end-to-end rendering against w3m and links, the same on the
# comparison corpus with the targets against links, and the cost of
# converting pages to the code page, the cost of the viewer's events on
# large pages, and the viewer in a terminal. Builds the optimised binaries
# first. A benchmark that fails is reported and the others still run; the
# exit status tells whether all of them ran.
#
# Environment: BUILD_DIR (an optimised build directory, default
# build/default, configured with the default preset when missing).
set -u
cd "$(dirname "$0")/.." || exit 1

build=${BUILD_DIR:-build/default}
export ORBISLINE="$build/orbisline"
failed=""
if [ ! -f "$build/build.ninja" ]; then
  if [ "$build" = build/default ]; then
    cmake --preset default >/dev/null || exit 1
  else
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null || exit 1
  fi
fi
if ! cmake --build "$build" --target parse_bench plugin_bench orbisline; then
  echo "run.sh: could not build the benchmarks; building orbisline alone" >&2
  cmake --build "$build" --target orbisline || exit 1
  failed="$failed parse_bench/plugin_bench(build)"
fi

echo
echo "== $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg) (other work skews the times) =="
echo
echo "== Parsing throughput (in memory, best of 3) =="
if [ -x "$build/parse_bench" ]; then
  timeout 1200 "$build/parse_bench" || failed="$failed parse_bench"
else
  failed="$failed parse_bench"
fi

echo
echo "== Peak memory =="
sh bench/peak_memory.sh || failed="$failed peak_memory"

echo
echo "== End-to-end rendering =="
sh bench/render_bench.sh || failed="$failed render_bench"

echo
echo "== Against links and w3m on the comparison corpus =="
sh bench/peers_bench.sh || failed="$failed peers_bench"

echo
echo "== Page conversion: cost on converted pages and on pages that need none =="
sh bench/charset_bench.sh || failed="$failed charset_bench"

echo "== Viewer events: one redraw, one Enter on a link (target: well under 1000 us) =="
if [ -x "$build/plugin_bench" ] &&
    sh tools/install-deps.sh python3 python3.11-doc >&2 &&
    python3 bench/make_inputs.py pages bench/data/pages-50mb.html 50 &&
    python3 bench/make_inputs.py longlink bench/data/longlink-100k.html 100000; then
  timeout 600 "$build/plugin_bench" bench/data/pages-50mb.html bench/data/longlink-100k.html ||
    failed="$failed plugin_bench"
else
  failed="$failed plugin_bench"
fi

echo
echo "== The viewer in a terminal: opening against --dump, keys and mouse moves =="
sh bench/terminal_bench.sh || failed="$failed terminal_bench"

if [ -n "$failed" ]; then
  echo "run.sh: not completed:$failed" >&2
  exit 1
fi
