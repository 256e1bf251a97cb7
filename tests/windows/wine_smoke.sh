#!/bin/sh
# The plug-in DLL at work under wine, against the Linux build: for each page
# the smoke host opens it through the DLL in a console of COLUMNS by ROWS
# (a pseudo-terminal of that size), with a palette of its own in the
# registry; the rendered text must equal `orbisline --dump --raw` byte for
# byte, and the editor's title, the colours of the first redraw and the
# console title must equal those of the headless host's trace.
# Usage: tests/windows/wine_smoke.sh WINDOWS64-BUILD LINUX-ORBISLINE PAGE...
set -eu
build=$(cd "$1" && pwd)
linux=$(cd "$(dirname "$2")" && pwd)/$(basename "$2")
shift 2
columns=100
rows=40
work=$build/smoke
rm -rf "$work"
mkdir -p "$work/registry/HKEY_CURRENT_USER/Software/Far/Colors"

export WINEPREFIX="$build/wineprefix" WINEDEBUG=-all
# The prefix's code pages: Windows-1252 and 437, as the Linux build's.
export LANG=C.UTF-8 LC_ALL=C.UTF-8
unset ORBISLINE_CODEPAGE ORBISLINE_OEMCP
# One server for every run, stopped at the end however the script ends.
wineserver -p
trap 'wineserver -k 2>/dev/null || true' EXIT INT TERM
wineboot -i >/dev/null 2>&1

# Every entry 0x1F, so the editor's own colour (entry 53) is one the sample
# pages use: the redraw then leaves those cells alone, which shows that the
# palette was read.
head -c 76 /dev/zero | tr '\000' '\037' >"$work/palette.bin"
cp "$work/palette.bin" "$work/registry/HKEY_CURRENT_USER/Software/Far/Colors/CurrentPalette"

windowsPath() { printf 'Z:%s' "$1" | sed 's|/|\\|g'; }

failed=0
for page in "$@"; do
  page=$(cd "$(dirname "$page")" && pwd)/$(basename "$page")
  name=$(basename "$page" .html)
  started=$(date +%s%N)
  status=0
  script -qec "stty cols $columns rows $rows; wine '$build/smoke_host.exe' \
    '$(windowsPath "$build/Orbisline.dll")' '$(windowsPath "$page")' \
    '$(windowsPath "$work/$name.txt")' '$(windowsPath "$work/trace.txt")' $columns $rows" \
    /dev/null </dev/null >"$work/$name.console" 2>&1 || status=$?
  took=$((($(date +%s%N) - started) / 1000000))
  mv "$work/trace.txt" "$work/$name.trace" 2>/dev/null || true

  "$linux" --dump --raw --width $columns --height $rows "$page" >"$work/$name.expected"
  ORBISLINE_REGISTRY="$work/registry" "$linux" --headless --width $columns --height $rows \
    --trace "$work/$name.full" "$page"
  { grep -E '^(EDITOR|ADDCOLOR) ' "$work/$name.full" || true
    grep '^TITLE ' "$work/$name.full" | tail -n 1; } >"$work/$name.expected-trace"

  verdict=ok
  if [ $status -ne 0 ]; then
    verdict="the smoke host failed ($status); see $work/$name.console"
  elif ! cmp -s "$work/$name.txt" "$work/$name.expected"; then
    verdict="the text differs from --dump --raw: cmp $work/$name.txt $work/$name.expected"
  elif ! diff -u "$work/$name.expected-trace" "$work/$name.trace" >"$work/$name.diff"; then
    verdict="the trace differs: $work/$name.diff"
  fi
  echo "wine smoke: $(basename "$page"): $verdict (${took} ms)"
  [ "$verdict" = ok ] || failed=1
done
exit $failed
