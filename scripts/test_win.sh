#!/usr/bin/env bash
# `make test-win`: the Windows tests through Wine, each in its private session (scripts/session.sh): on the
# loopback rig; those labelled noaudio without a sound server; those labelled feed on the feed rig. They
# run the i686 build, or the x86-64 build where this machine starts no 32-bit programs (windows_tree.sh).
#
#   scripts/test_win.sh I686_TREE X86_64_TREE JOBS
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
tree=$("$root/scripts/windows_tree.sh" "$1" "$2" "$3")
"$root/scripts/session.sh" -- ctest --test-dir "$tree" --output-on-failure -LE 'noaudio|feed'
"$root/scripts/session.sh" --no-audio -- ctest --test-dir "$tree" --output-on-failure -L noaudio --no-tests=ignore
"$root/scripts/session.sh" --feed -- ctest --test-dir "$tree" --output-on-failure -L feed --no-tests=ignore
