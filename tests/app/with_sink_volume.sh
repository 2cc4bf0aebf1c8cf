#!/usr/bin/env bash
# Runs a command with the loopback rig's sink at the given per-channel volumes (65536 = 1.0, linear
# 0.5 = 52016 on PulseAudio's cubic scale), and puts the sink back to full volume afterwards.
#   with_sink_volume.sh <first> <second> -- command...
set -uo pipefail
first=$1 second=$2
shift 3
pactl set-sink-volume probe "$first" "$second" || exit 1
"$@"
status=$?
pactl set-sink-volume probe 65536 65536
exit $status
