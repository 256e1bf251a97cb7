#!/bin/sh
# The Windows build against the Linux build, under wine: the test host
# orbisline.exe (and its copies for the host versions 1.62 and 1.63) with the
# 64-bit Orbisline.dll plays the same scenarios as the Linux host and
# module, through tools/compare-builds, and what they write must be the same
# byte for byte:
#  1. every sample and test page in every headless key script (links across
#     files, anchors, history, the document menu, the mouse, saving, the
#     host versions), --dump --color, --runs and --dump in the C locale,
#     with the pages converted as the settings say by default: Windows
#     converts with its own functions, and where its transliteration
#     differs the difference is listed in known_differences.txt, shown in
#     full, and must show up;
#  2. --tree and --dump (raw, and in the C locale) of the test pages, the
#     samples and every page of python3.11-doc with the conversion off, one
#     process per set and mode;
#  3. the parse time-out question, asked and answered on a page that takes
#     longer than the settings allow, as the Linux tests play it.
# Both sides write in the C locale: Windows has no UTF-8 locale of its own
# here (its console writes the OEM code page), so --dump writes the code
# page's bytes on both. Every temporary file must be gone after each run.
# Usage: tests/windows/wine_compare.sh LINUX-BUILD WINDOWS64-BUILD
set -eu
here=$(cd "$(dirname "$0")" && pwd)
source=$(cd "$here/../.." && pwd)
linux=$(cd "$1" && pwd)
windows=$(cd "$2" && pwd)
work=$windows/wine-compare/work
rm -rf "$work"
mkdir -p "$work"
compare="python3 $source/tools/compare-builds $linux $windows --new-wine --env LC_ALL=C --jobs 2"
failed=0

$compare --set samples --set tests --known "$here/known_differences.txt" \
  --mode runs --mode dump-c --mode color --mode 'headless:*' || failed=1

# The built-in settings with the conversion off.
sed 's/<Default \([^>]*\)>/<Default \1 charset="none">/' "$windows/Orbisline.obs" >"$work/none.obs"
grep -q 'charset="none"' "$work/none.obs"
$compare --set samples --set tests --set python --batch --settings "$work/none.obs" \
  --mode tree --mode raw-80x25 --mode dump-c || failed=1

# The time-out: 1 ms, in settings beside a copy of the DLL for Windows, as
# a user of the host keeps them. Terminate shows the page read so far;
# Resume, the answer when the script gives none, is asked as often as the
# parse takes (collapsed here) and the page opens.
export WINEPREFIX="$windows/wine-compare/prefix-1" WINEDEBUG=-all
# The prefix's services start first, holding none of the pipes below.
wineserver -p
wineboot </dev/null >/dev/null 2>&1
python3 -c 'import sys; sys.stdout.write("".join("<p>paragraph %d</p>\n" % i for i in range(200000)))' \
  >"$work/big.htm"
mkdir -p "$work/quick"
echo '<Orbisline timeout=1></Orbisline>' >"$work/quick/Orbisline.obs"
cp "$windows/Orbisline.dll" "$work/quick/"
for keys in pick:1 ""; do
  LC_ALL=C "$linux/orbisline" --headless --keys "$keys" --trace - --settings "$work/quick/Orbisline.obs" \
    "$work/big.htm" | grep -E '^(MESSAGE "Warning"|EDITOR|CLOSE)' | uniq >"$work/timeout.linux"
  env -u LC_ALL LANG=C.UTF-8 ORBISLINE_PLUGIN="$work/quick/Orbisline.dll" \
    wine "$windows/orbisline.exe" --headless --keys "$keys" \
    --trace - "$work/big.htm" </dev/null | grep -E '^(MESSAGE "Warning"|EDITOR|CLOSE)' | uniq \
    >"$work/timeout.windows"
  verdict=ok
  if ! grep -q '^MESSAGE "Warning" "Oops! Time Out' "$work/timeout.windows"; then
    verdict="the question was not asked"
  elif ! cmp -s "$work/timeout.linux" "$work/timeout.windows"; then
    verdict="the traces differ: diff $work/timeout.linux $work/timeout.windows"
  fi
  echo "wine compare: time-out answered with '${keys:-nothing}': $verdict"
  [ "$verdict" = ok ] || failed=1
done
wineserver -k 2>/dev/null || true

left=$(find "$windows"/wine-compare/prefix-*/drive_c/users/*/Temp -type f | wc -l)
echo "wine compare: temporary files left in the prefixes: $left"
[ "$left" -eq 0 ] || failed=1
[ $failed -eq 0 ] && rm -rf "$work"
exit $failed
