#!/bin/sh
# Installs the Debian packages that building and testing need, when missing.
# Usage: tools/install-deps.sh [extra-package ...]
set -e
# libncurses-dev: the terminal host's screen (ncursesw); tmux: the tests that
# drive it; dpkg-dev and file: make package (CPack's dependency lookup);
# lintian and mailcap (run-mailcap): the checks of that package in make
# test; clang-format: the format check of make test.
packages="cmake ninja-build g++ make googletest libgtest-dev clang libclang-rt-14-dev python3 python3.11-doc
  libncurses-dev pkg-config tmux dpkg-dev file lintian mailcap clang-format $*"
missing=""
for package in $packages; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing="$missing $package"
  fi
done
if [ -n "$missing" ]; then
  echo "installing:$missing"
  if [ "$(id -u)" -ne 0 ]; then sudo=sudo; else sudo=; fi
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq $missing
fi
