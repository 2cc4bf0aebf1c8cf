#!/usr/bin/env bash
# Prints the build tree the Windows tests run in: the i686 tree where this machine starts 32-bit programs;
# elsewhere the x86-64 build of the same sources, which it configures and builds first, and says so on
# standard error.
#
#   scripts/windows_test_tree.sh I686_TREE X86_64_TREE JOBS
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
if [ "$("$root/scripts/windows_arch.sh")" = win32 ]; then
  echo "$1"
  exit 0
fi
echo "this machine starts no 32-bit programs; the Windows tests run the x86-64 build ($2)" >&2
cmake -S "$root" -B "$2" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$2" -j"$3" >&2
echo "$2"
