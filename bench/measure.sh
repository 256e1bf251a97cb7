# Helpers of the benchmark scripts that run whole programs; sourced, not run.
# The caller sets work (a scratch folder it removes) and limit (seconds a
# command may take).

# measure COMMAND...: runs the command once with its output discarded and
# sets secs (wall seconds, or ">limit" / "failed"), rss_kb (its peak resident
# set) and ok (1 when the command finished with status 0). A failure is told
# on stderr, naming last_input when the caller set it.
measure() {
  status=0
  start=$(date +%s%N)
  /usr/bin/time -f "%M" -o "$work/time" timeout "$limit" "$@" >/dev/null 2>"$work/err" || status=$?
  end=$(date +%s%N)
  rss_kb=$(tail -n 1 "$work/time")
  case $status in
    0) ok=1; secs=$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", (b - a) / 1e9 }') ;;
    124) ok=0; secs=">$limit" ;;
    *) ok=0; secs="failed"
       echo "  $1 exited with $status on ${last_input:-?}: $(head -c 200 "$work/err")" >&2 ;;
  esac
}

# ratio A B: A / B with two decimals, or "-" when either is not a number.
ratio() {
  awk -v a="$1" -v b="$2" 'BEGIN {
    if (a !~ /^[0-9.]+$/ || b !~ /^[0-9.]+$/ || b + 0 == 0) print "-"; else printf "%.2f", a / b }'
}

# size_mb FILE: its size in MiB with two decimals.
size_mb() {
  awk -v n="$(wc -c <"$1")" 'BEGIN { printf "%.2f", n / 1048576 }'
}
