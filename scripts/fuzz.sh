#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build tree for a set time and prints, per target, its executions and
# the time it ran. Each target starts from its corpus in tests/fuzz/corpus/<target>; new inputs go to a
# scratch corpus in the build tree, so the repository's corpus stays as it is unless --keep is given:
# then the inputs that add coverage are merged back into it.
#
#   scripts/fuzz.sh BUILD_DIR SECONDS [--keep]
#
# Exit code 1 when a target crashed, trapped, broke an invariant or hung; its report is printed and the
# input that caused it is saved in BUILD_DIR/findings/.
set -uo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
[ $# -ge 2 ] || { echo "usage: $0 BUILD_DIR SECONDS [--keep]" >&2; exit 2; }
build=$1
seconds=$2
keep=${3:-}

failed=0
mkdir -p "$build/findings"
for corpus in "$root"/tests/fuzz/corpus/*/; do
  target=$(basename "$corpus")
  fuzzer="$build/fuzz_$target"
  [ -x "$fuzzer" ] || { echo "fuzz: $fuzzer is missing" >&2; failed=1; continue; }
  scratch="$build/corpus/$target"
  log="$build/fuzz_$target.log"
  mkdir -p "$scratch"
  start=$(date +%s%N)
  # -timeout: one input running longer than that counts as a hang.
  "$fuzzer" "$scratch" "$corpus" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$build/findings/$target-" >"$log" 2>&1
  status=$?
  tenths=$((($(date +%s%N) - start) / 100000000))
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  printf '%-18s %12s executions in %d.%d s\n' "$target" "${runs:-?}" $((tenths / 10)) $((tenths % 10))
  if [ $status -ne 0 ]; then
    failed=1
    echo "fuzz: $target failed (exit $status); report:" >&2
    grep -v -E '^(#[0-9]+|INFO:|MS:|stat::)' "$log" | head -40 >&2
  elif [ "$keep" = --keep ]; then
    "$fuzzer" -merge=1 "$corpus" "$scratch" >>"$log" 2>&1 || failed=1
  fi
done
exit $failed
