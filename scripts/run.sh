#!/usr/bin/env bash
# `make run`: starts the instrument.
# With a display: under Wine on that display, with the system's own sound.
# Without one (a fresh server, CI): a short demo on a private display with the loopback rig, which prints
# the two levels, r and u as read from the window, saves a screenshot and closes the instrument.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
exe=$(realpath "$1")
wintool=$(realpath "$(dirname "$exe")/../tests/tools/wintool.exe")
if [ -n "${DISPLAY:-}" ]; then
  exec "$root/scripts/session.sh" --display-from-env --system-audio -- wine "$exe"
fi
exec "$root/scripts/session.sh" -- bash "$root/scripts/demo.sh" "$exe" "$wintool" "$(dirname "$exe")/coilprobe.png"
