#!/usr/bin/env bash
# The instrument while its sound server dies and comes back. Runs inside a test session (scripts/session.sh)
# and sets up a loopback rig of its own in the session's runtime folder: a PulseAudio server it starts
# itself (so it knows the server's process id and kills only that one), a null sink "probe" as default
# output, its monitor as default input and a keep-alive player. The instrument plays and records through it.
#
#   1. with sound running, the server is killed: the instrument keeps answering and shows no message box;
#      the server is started again: the same; then it is closed and must end with exit code 0;
#   2. a second instrument is started, the server killed, and the instrument closed while the server is
#      gone: exit code 0 again;
#   3. the server is killed while instruments start (0, 0.3 and 0.6 s after the launch, before, during or
#      after their audio start): whatever failed is reported in boxes, which are closed; the instrument
#      keeps running and closes with exit code 0.
# A close that does not end the process within 30 s is a hang.
#   sound_server_restart.sh <coilprobe.exe> <wintool.exe>
set -uo pipefail
exe=$1 wintool=$2
[ -n "${XDG_RUNTIME_DIR:-}" ] || { echo "run me inside scripts/session.sh" >&2; exit 2; }

rig=$(mktemp -d "$XDG_RUNTIME_DIR/restart-rig.XXXXXX")
export PULSE_SERVER="unix:$rig/pulse.sock"
server= keepalive= program=
failures=0

fail() { echo "FAILED: $*"; failures=$((failures + 1)); }
tool() { wine "$wintool" "$@"; }

stop() {
  [ -n "$1" ] || return 0
  kill "$1" 2>/dev/null
  for _ in $(seq 100); do kill -0 "$1" 2>/dev/null || break; sleep 0.05; done
  kill -9 "$1" 2>/dev/null
  wait "$1" 2>/dev/null
}

cleanup() {
  stop "$program"
  stop "$keepalive"
  stop "$server"
  rm -rf "$rig"
}
trap cleanup EXIT

start_server() {
  XDG_RUNTIME_DIR=$rig pulseaudio --daemonize=no --use-pid-file=no --exit-idle-time=-1 -n \
    --load="module-native-protocol-unix auth-anonymous=1 socket=$rig/pulse.sock" \
    --load="module-null-sink sink_name=probe rate=44100 channels=2" >>"$rig/pulse.log" 2>&1 &
  server=$!
  for _ in $(seq 100); do pactl info >/dev/null 2>&1 && break; sleep 0.05; done
  pactl set-default-sink probe && pactl set-default-source probe.monitor || { cat "$rig/pulse.log"; exit 1; }
  pacat --playback -d probe --format=s16le --rate=44100 --channels=2 --latency-msec=20 /dev/zero 2>/dev/null &
  keepalive=$!
}

kill_server() {
  stop "$server"
  server=
  stop "$keepalive"  # it ends by itself once its server is gone
  keepalive=
}

# The two level read-outs as the window answers WM_GETTEXT; nothing for one that does not answer.
levels() {
  tool children Coilprobe@obj_Form 2>/dev/null | tr -d '\r' |
    awk -F'\t' '$2 == "obj_EDIT" && $4 ~ /^390,4(50|85),/ { gsub(/"/, "", $3); if ($3 != "") print $3 }'
}

# Fails unless the instrument still runs, answers and shows no message box.
expect_running() {
  kill -0 "$program" 2>/dev/null || { fail "$1: the instrument has ended"; return; }
  [ "$(levels | wc -l)" = 2 ] || fail "$1: the instrument does not answer"
  if tool windows | tr -d '\r' | grep -q '^#32770'; then fail "$1: a message box: $(tool windows | grep '^#32770')"; fi
}

start_instrument() {
  wine "$exe" &
  program=$!
  tool wait Coilprobe@obj_Form >/dev/null || { fail "the instrument's window did not appear"; exit 1; }
  tool resize Coilprobe@obj_Form 520 560 >/dev/null
  for _ in $(seq 100); do
    [ "$(levels | awk '$1 > 0' | wc -l)" = 2 ] && return
    sleep 0.2
  done
  fail "no sound came through the rig: $(levels | tr '\n' ' ')"
}

close_instrument() {
  tool close Coilprobe@obj_Form >/dev/null || fail "$1: no window to close"
  for _ in $(seq 300); do kill -0 "$program" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$program" 2>/dev/null; then
    fail "$1: still running 30 s after the close (windows: $(tool windows | tr '\n' ' '))"
    stop "$program"
  else
    wait "$program"
    code=$?
    [ "$code" = 0 ] || fail "$1: exit code $code"
  fi
  program=
}

start_server
start_instrument
echo "levels with sound: $(levels | tr '\n' ' ')"
kill_server
sleep 2
expect_running "server killed"
echo "levels with the server gone: $(levels | tr '\n' ' ')"
start_server
sleep 3
expect_running "server started again"
echo "levels with the server back: $(levels | tr '\n' ' ')"
close_instrument "closed with the server back"

start_instrument
kill_server
sleep 2
expect_running "second instrument, server killed"
close_instrument "closed with the server gone"

for delay in 0 0.3 0.6; do
  start_server
  wine "$exe" &
  program=$!
  sleep "$delay"
  kill_server
  tool wait Coilprobe@obj_Form >/dev/null || fail "killed $delay s after the launch: no window"
  sleep 1.5
  while tool windows | tr -d '\r' | grep -q '^#32770'; do
    echo "killed $delay s after the launch, reported: $(tool msgbox-close '' | tr -d '\r')"
    sleep 0.3
  done
  expect_running "killed $delay s after the launch"
  close_instrument "killed $delay s after the launch, closed"
done

[ "$failures" = 0 ]
