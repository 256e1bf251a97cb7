#!/bin/sh
# Runs every libFuzzer target of build/fuzz for a short while.
# Usage: tools/run-fuzz.sh SECONDS TARGET...
set -e
seconds=$1
shift
for target in "$@"; do
  echo "fuzzing $target for $seconds s"
  mkdir -p "build/fuzz/corpus/$target" "fuzz/corpus/$target"
  log="build/fuzz/$target.log"
  # A fixed seed keeps the run repeatable: a longer run covers a shorter one.
  if ! "./build/fuzz/fuzz/$target" -seed=1 -max_total_time="$seconds" -max_len=65536 -rss_limit_mb=4096 \
      -timeout=20 -print_final_stats=1 "build/fuzz/corpus/$target" "fuzz/corpus/$target" >"$log" 2>&1; then
    tail -n 60 "$log"
    echo "fuzz target $target failed"
    exit 1
  fi
  grep -E 'stat::number_of_executed_units|Done' "$log" | tail -n 2
done
