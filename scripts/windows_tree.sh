#!/usr/bin/env bash
# Configures and builds the Windows tree whose programs this machine's Wine can run, and prints its folder:
# the i686 tree, or, on a machine that starts no 32-bit programs, the x86-64 build of the same sources,
# which is then said on standard error. Build output goes to standard error too.
#
#   scripts/windows_tree.sh I686_TREE X86_64_TREE JOBS [TARGET...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
i686=$1 x86_64=$2 jobs=$3
shift 3
if [ "$("$root/scripts/windows_arch.sh")" = win32 ]; then
  tree=$i686 toolchain=mingw-i686.cmake
else
  tree=$x86_64 toolchain=mingw-x86_64.cmake
  echo "this machine starts no 32-bit programs: the x86-64 build of the same sources runs instead ($tree)" >&2
fi
cmake -S "$root" -B "$tree" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/$toolchain" -DCMAKE_BUILD_TYPE=Release >/dev/null
targets=()
for target in "$@"; do targets+=(--target "$target"); done
cmake --build "$tree" -j"$jobs" "${targets[@]}" >&2
echo "$tree"
