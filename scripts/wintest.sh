#!/usr/bin/env bash
# `make wintest T=NAME`: one Windows test, by its ctest name, in the session its label asks for: without a
# sound server if it is labelled noaudio, on the feed rig if labelled feed, on the loopback rig otherwise.
# It runs in the tree the Windows tests run in (scripts/windows_tree.sh).
#
#   scripts/wintest.sh NAME I686_TREE X86_64_TREE JOBS
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
[ $# -eq 4 ] && [ -n "$1" ] || { echo "usage: $0 NAME I686_TREE X86_64_TREE JOBS (make wintest T=NAME)" >&2; exit 2; }
name=$1
tree=$("$root/scripts/windows_tree.sh" "$2" "$3" "$4")

# How many tests named NAME carry a label that matches $1.
count() { ctest --test-dir "$tree" -N -R "^$name\$" ${1:+-L "$1"} | sed -n 's/^Total Tests: //p'; }
[ "$(count)" = 1 ] || { echo "wintest: no Windows test named $name in $tree" >&2; exit 2; }
if [ "$(count '^noaudio$')" = 1 ]; then set_up=--no-audio
elif [ "$(count '^feed$')" = 1 ]; then set_up=--feed
else set_up=
fi
exec "$root/scripts/session.sh" $set_up -- ctest --test-dir "$tree" --output-on-failure -R "^$name\$"
