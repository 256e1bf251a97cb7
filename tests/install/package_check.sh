#!/bin/sh
# Checks the Debian package that make package built: Debian's package
# checker finds no error in it, and its mailcap entry works as run-mailcap
# (and mail readers) use it, on a page piped in, whose temporary copy must
# end in .html for the viewer to take it.
# Usage: package_check.sh BUILD_DIR
set -u
build=$1
failures=0
fail() {
  echo "FAILED: $*" >&2
  failures=$((failures + 1))
}

deb=$(ls -t "$build"/orbisline_*_"$(dpkg --print-architecture)".deb 2>/dev/null | head -n 1)
if [ -z "$deb" ]; then
  echo "FAILED: no package in $build (make package)" >&2
  exit 1
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

lintian --fail-on error "$deb" || fail "lintian found errors in $deb"

dpkg-deb --fsys-tarfile "$deb" | tar -xf - -C "$work" ./usr/lib/mime/packages/orbisline ||
  fail "the package has no mailcap entry"
# The entry as installed, run with the build's program in place of the
# installed one.
mkdir "$work/bin"
ln -s "$(cd "$build" && pwd)/orbisline" "$work/bin/orbisline"
printf '<title>Mail</title><p>the body of a mail' >"$work/mail.html"
out=$(PATH="$work/bin:$PATH" MAILCAPS="$work/usr/lib/mime/packages/orbisline" LC_ALL=C \
  run-mailcap --action=cat text/html:- <"$work/mail.html" 2>&1)
case $out in
  *"the body of a mail"*) ;;
  *) fail "run-mailcap did not show the page: $out" ;;
esac

[ "$failures" -eq 0 ] || exit 1
echo "package: lintian and the mailcap entry passed"
