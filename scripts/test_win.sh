#!/usr/bin/env bash
# `make test-win`: the Windows tests through Wine, each in its private session (scripts/session.sh): on the
# loopback rig; those labelled noaudio without a sound server; those labelled feed on the feed rig.
#
#   scripts/test_win.sh I686_TREE X86_64_TREE JOBS
#
# They run the i686 build, or on a machine that cannot start 32-bit programs the x86-64 build of the same
# sources (scripts/windows_test_tree.sh).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
tree=$("$root/scripts/windows_test_tree.sh" "$1" "$2" "$3")
"$root/scripts/session.sh" -- ctest --test-dir "$tree" --output-on-failure -LE 'noaudio|feed'
"$root/scripts/session.sh" --no-audio -- ctest --test-dir "$tree" --output-on-failure -L noaudio --no-tests=ignore
"$root/scripts/session.sh" --feed -- ctest --test-dir "$tree" --output-on-failure -L feed --no-tests=ignore
