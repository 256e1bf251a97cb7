#!/bin/sh
# The plug-in DLL at work under wine, against the Linux build: for each page
# the smoke host opens it through the DLL in a console of COLUMNS by ROWS
# (a pseudo-terminal of that size), with a palette of its own in the
# registry; the rendered text must equal `orbisline --dump --raw` byte for
# byte, and the editor's title, the colours of the first redraw and the
# console title must equal those of the headless host's trace. A page in
# the default colours is opened once more by a copy of the DLL whose
# settings file beside it has colours of its own, which the Linux build
# reads with --settings.
# Usage: tests/windows/wine_smoke.sh WINDOWS64-BUILD LINUX-ORBISLINE PAGE...
set -eu
build=$(cd "$1" && pwd)
linux=$(cd "$(dirname "$2")" && pwd)/$(basename "$2")
shift 2
columns=100
rows=40
work=$build/smoke
rm -rf "$work"
mkdir -p "$work/registry/HKEY_CURRENT_USER/Software/Far/Colors" "$work/custom"

export WINEPREFIX="$build/wineprefix" WINEDEBUG=-all
# The prefix's code pages: Windows-1252 and 437, as the Linux build's.
export LANG=C.UTF-8 LC_ALL=C.UTF-8
unset ORBISLINE_CODEPAGE ORBISLINE_OEMCP
# One server for every run, stopped at the end however the script ends. The
# server works in the prefix, which a fresh build does not have yet.
mkdir -p "$WINEPREFIX"
wineserver -p
trap 'wineserver -k 2>/dev/null || true' EXIT INT TERM
wineboot -i >/dev/null 2>&1

# Every entry 0x1F, so the editor's own colour (entry 53) is one the sample
# pages use: the redraw then leaves those cells alone, which shows that the
# palette was read.
head -c 76 /dev/zero | tr '\000' '\037' >"$work/palette.bin"
cp "$work/palette.bin" "$work/registry/HKEY_CURRENT_USER/Software/Far/Colors/CurrentPalette"
cp "$build/Orbisline.dll" "$work/custom/"
sed 's/bgcolor=silver text=black/bgcolor=navy text=yellow/' "$build/Orbisline.obs" \
  >"$work/custom/Orbisline.obs"

windowsPath() { printf 'Z:%s' "$1" | sed 's|/|\\|g'; }

failed=0

# check LABEL PAGE DLL [--settings FILE]
check() {
  label=$1 page=$2 dll=$3
  shift 3
  out=$work/$label
  started=$(date +%s%N)
  status=0
  script -qec "stty cols $columns rows $rows; wine '$build/smoke_host.exe' \
    '$(windowsPath "$dll")' '$(windowsPath "$page")' '$(windowsPath "$out.txt")' \
    '$(windowsPath "$work/trace.txt")' $columns $rows" /dev/null </dev/null >"$out.console" 2>&1 ||
    status=$?
  took=$((($(date +%s%N) - started) / 1000000))
  mv "$work/trace.txt" "$out.trace" 2>/dev/null || true

  "$linux" --dump --raw --width $columns --height $rows "$@" "$page" >"$out.expected"
  ORBISLINE_REGISTRY="$work/registry" "$linux" --headless --width $columns --height $rows \
    --trace "$out.full" "$@" "$page"
  { grep -E '^(EDITOR|ADDCOLOR) ' "$out.full" || true
    grep '^TITLE ' "$out.full" | tail -n 1; } >"$out.expected-trace"

  verdict=ok
  if [ $status -ne 0 ]; then
    verdict="the smoke host failed ($status); see $out.console"
  elif ! cmp -s "$out.txt" "$out.expected"; then
    verdict="the text differs from --dump --raw: cmp $out.txt $out.expected"
  elif ! diff -u "$out.expected-trace" "$out.trace" >"$out.diff"; then
    verdict="the trace differs: $out.diff"
  fi
  echo "wine smoke: $label: $verdict (${took} ms)"
  [ "$verdict" = ok ] || failed=1
}

for page in "$@"; do
  page=$(cd "$(dirname "$page")" && pwd)/$(basename "$page")
  check "$(basename "$page" .html)" "$page" "$build/Orbisline.dll"
done
check own-settings "$(cd "$(dirname "$0")" && pwd)/pages/characters.html" \
  "$work/custom/Orbisline.dll" --settings "$work/custom/Orbisline.obs"
exit $failed
