#!/usr/bin/env bash
# `make test-win`: the Windows tests through Wine, each in its private session (scripts/session.sh): on the
# loopback rig; those labelled noaudio without a sound server; those labelled feed on the feed rig.
#
#   scripts/test_win.sh I686_TREE X86_64_TREE JOBS
#
# They run the i686 build. On a machine that cannot start 32-bit programs they run the x86-64 build of the
# same sources instead, which this script configures and builds, and say so.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
tree=$1
if [ "$("$root/scripts/windows_arch.sh")" = win64 ]; then
  tree=$2
  echo "test-win: this machine starts no 32-bit programs; the Windows tests run the x86-64 build ($tree)"
  cmake -S "$root" -B "$tree" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake" -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$tree" -j"$3"
fi
"$root/scripts/session.sh" -- ctest --test-dir "$tree" --output-on-failure -LE 'noaudio|feed'
"$root/scripts/session.sh" --no-audio -- ctest --test-dir "$tree" --output-on-failure -L noaudio --no-tests=ignore
"$root/scripts/session.sh" --feed -- ctest --test-dir "$tree" --output-on-failure -L feed --no-tests=ignore
