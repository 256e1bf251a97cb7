#!/bin/sh
# Fails when a tracked C or C++ source file differs from what clang-format
# makes of it with the project's .clang-format; lists the files that do.
# Usage: tools/check-format.sh [--fix]
set -e
cd "$(dirname "$0")/.."
files=$(git ls-files '*.c' '*.cpp' '*.h')
if [ "${1:-}" = "--fix" ]; then
  clang-format -i $files
  exit 0
fi
unformatted=""
for file in $files; do
  if ! clang-format --dry-run --Werror "$file" >/dev/null 2>&1; then
    unformatted="$unformatted $file"
  fi
done
if [ -n "$unformatted" ]; then
  echo "not formatted (run tools/check-format.sh --fix):"
  for file in $unformatted; do echo "  $file"; done
  exit 1
fi
echo "format: every source file is formatted"
