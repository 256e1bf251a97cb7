#!/bin/sh
# Installs a build into a scratch prefix and runs the installed program from
# another folder, with the build tree's module out of reach: it must load
# the platform's shared library and the module from the prefix, open an installed
# welcome page through the module, and show the first welcome page when no
# FILE is given.
# Usage: installed_check.sh CMAKE BUILD_DIR
set -u
cmake=$1
build=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
failures=0

fail() {
  echo "FAILED: $*" >&2
  failures=$((failures + 1))
}

if ! "$cmake" --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1; then
  cat "$work/install.log" >&2
  fail "cmake --install"
  exit 1
fi
for file in bin/orbisline lib/orbisline/Orbisline.so lib/orbisline/liborbis_process.so \
    share/orbisline/index.html share/orbisline/keys.html share/orbisline/pages.html \
    share/man/man1/orbisline.1.gz share/doc/orbisline/copyright share/doc/orbisline/changelog.gz \
    lib/mime/packages/orbisline; do
  [ -f "$prefix/$file" ] || fail "$file is not installed"
done

mkdir "$work/elsewhere" "$work/tmp" "$work/home" "$work/registry"
cd "$work/elsewhere" || exit 1
# Both binaries take the shared library from the prefix, never from the
# build tree, so that the program works once the build tree is gone.
for binary in bin/orbisline lib/orbisline/Orbisline.so; do
  resolved=$(ldd "$prefix/$binary" | grep liborbis_process)
  case $resolved in
    *"=> $prefix/"*) ;;
    *) fail "$binary finds the shared library at: $resolved" ;;
  esac
done

run() {
  env -u ORBISLINE_PLUGIN -u ORBISLINE_CODEPAGE -u ORBISLINE_OEMCP -u XDG_CONFIG_HOME \
    TMPDIR="$work/tmp" HOME="$work/home" ORBISLINE_REGISTRY="$work/registry" LC_ALL=C \
    "$prefix/bin/orbisline" "$@" </dev/null
}

# The headless host loads the installed module and opens an installed page.
run --headless --keys "Down PgDn" --trace - "$prefix/share/orbisline/index.html" >"$work/trace" 2>"$work/err" ||
  fail "--headless on the installed welcome page: $(cat "$work/err")"
grep -q '^EDITOR "Orbisline" 0$' "$work/trace" || fail "no viewer opened: $(head -c 300 "$work/trace")"
grep -q '^CLOSE$' "$work/trace" || fail "the viewer did not close"

# No FILE and no terminal: the first welcome page, as --dump writes it.
run >"$work/dump" 2>"$work/err" || fail "orbisline with no FILE: $(cat "$work/err")"
grep -q "a text-mode viewer for HTML pages" "$work/dump" || fail "no welcome page: $(head -c 300 "$work/dump")"

ls -A "$work/tmp" | grep -q . && fail "temporary files left: $(ls -A "$work/tmp")"
[ "$failures" -eq 0 ] || exit 1
echo "installed program: all checks passed"
