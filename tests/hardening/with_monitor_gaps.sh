#!/usr/bin/env bash
# Runs a command while the loopback rig's monitor is recorded from outside Wine (scripts/monitor_gaps.py):
# the command finds the recorder's gaps file in COILPROBE_MONITOR_GAPS. The recording starts before the
# command and is ended, by its process id, after it. Runs inside a test session (scripts/session.sh).
#   with_monitor_gaps.sh command...
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
[ -n "${PULSE_SERVER:-}" ] || { echo "run me inside scripts/session.sh" >&2; exit 2; }
dir=$(mktemp -d /tmp/coilprobe-monitor.XXXXXX)
export COILPROBE_MONITOR_GAPS=$dir/gaps.txt
# The recorder keeps its own small fragments whatever latency the session sets for the other clients.
env -u PULSE_LATENCY_MSEC python3 "$root/scripts/monitor_gaps.py" probe.monitor "$COILPROBE_MONITOR_GAPS" &
recorder=$!
for _ in $(seq 200); do
  grep -q '^upto' "$COILPROBE_MONITOR_GAPS" 2>/dev/null && break
  kill -0 "$recorder" 2>/dev/null || break
  sleep 0.05
done
grep -q '^upto' "$COILPROBE_MONITOR_GAPS" 2>/dev/null || echo "with_monitor_gaps: the monitor is not being recorded" >&2
"$@"
status=$?
kill "$recorder" 2>/dev/null
wait "$recorder" 2>/dev/null
rm -rf "$dir"
exit $status
