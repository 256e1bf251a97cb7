#!/bin/sh
# Installs the Debian packages that building and testing need, when missing.
# Usage: tools/install-deps.sh [--windows] [extra-package ...]
# --windows adds what the Windows build and its test under wine need: the
# MinGW-w64 cross compilers for 32 and 64 bits, and wine for 64-bit programs
# only (32-bit programs cannot run here, so wine32 is never asked for).
set -e
# libncurses-dev: the terminal host's screen (ncursesw); tmux: the tests that
# drive it; dpkg-dev and file: make package (CPack's dependency lookup);
# lintian and mailcap (run-mailcap): the checks of that package in make
# test; clang-format: the format check of make test.
packages="cmake ninja-build g++ make googletest libgtest-dev clang libclang-rt-14-dev python3 python3.11-doc
  libncurses-dev pkg-config tmux dpkg-dev file lintian mailcap clang-format"
windows=""
for argument in "$@"; do
  case "$argument" in
    --windows) windows="g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine64 wine" ;;
    *) packages="$packages $argument" ;;
  esac
done

missingOf() {
  for package in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
      printf ' %s' "$package"
    fi
  done
}
missing=$(missingOf $packages)
# Without the recommended packages: they would ask for wine32.
missingWindows=$(missingOf $windows)
if [ -n "$missing$missingWindows" ]; then
  echo "installing:$missing$missingWindows"
  if [ "$(id -u)" -ne 0 ]; then sudo=sudo; else sudo=; fi
  $sudo apt-get update -qq
  if [ -n "$missing" ]; then
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq $missing
  fi
  if [ -n "$missingWindows" ]; then
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends $missingWindows
  fi
fi
