#!/usr/bin/env bash
# Runs every test executable of the native tree under Valgrind's memcheck: a leak or a memory error in
# any of them fails the check.
#
#   scripts/leakcheck.sh NATIVE_BUILD_DIR
#
# Memcheck emulates the x87 unit with 64-bit precision, ignores unmasked floating-point exceptions and
# replaces the allocator, so the tests of 80-bit arithmetic, traps and allocation counts can fail under it
# while the code is right; their verdict comes from the native and sanitized runs. Here a test
# executable fails only on memcheck's own findings or when it does not end normally.
set -uo pipefail

[ $# -eq 1 ] || { echo "usage: $0 NATIVE_BUILD_DIR" >&2; exit 2; }
build=$1
memcheck_error=99

mapfile -t programs < <(ctest --test-dir "$build" -N -V | sed -n 's/^[0-9]*: Test command: //p')
[ ${#programs[@]} -gt 0 ] || { echo "leakcheck: no tests in $build" >&2; exit 1; }

failed=0
for program in "${programs[@]}"; do
  name=$(basename "$program")
  log="$build/leakcheck_$name.log"
  valgrind -q --leak-check=full --errors-for-leak-kinds=definite,indirect,possible \
    --error-exitcode=$memcheck_error "$program" >"$log" 2>&1
  status=$?
  if [ $status -eq 0 ]; then
    echo "leakcheck: $name clean"
  elif [ $status -eq 1 ]; then
    failures=$(grep -o '^\[  FAILED  \] [A-Za-z0-9_/]*\.[A-Za-z0-9_/]*' "$log" | sed 's/^.* //' | sort -u | tr '\n' ' ')
    echo "leakcheck: $name clean; not judged under memcheck's emulation: $failures"
  else
    failed=1
    echo "leakcheck: $name FAILED (exit $status)" >&2
    grep -E '^==[0-9]+==' "$log" | head -60 >&2
  fi
done
exit $failed
