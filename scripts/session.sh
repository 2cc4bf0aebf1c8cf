#!/usr/bin/env bash
# Runs one command inside a private test session: its own Xvfb display, a Wine prefix (made once and
# reused), and a private PulseAudio server whose null sink "probe" is the default output and whose monitor
# is the default input, so what a program plays is what it records.
#
#   scripts/session.sh [--no-audio|--system-audio|--feed] [--display-from-env] -- command [args...]
#
# --no-audio          no audio server at all: Wine then sees no sound device.
# --feed              the default input is the monitor of a second null sink "feed" instead: a program's
#                     output still goes to "probe", and what it records is only what a test plays into
#                     "feed" (its waveOut device named "feed"), silence otherwise, as from a real card.
# --system-audio      the caller's own sound system instead of the loopback rig (for `make run`).
# --display-from-env  use the caller's $DISPLAY instead of a private Xvfb (for `make run` on a desktop).
#
# The session ends exactly what it started (Xvfb, PulseAudio, the keep-alive player, the prefix's
# wineserver), also when the command fails or the script is interrupted. The command's exit code is returned.
# COILPROBE_PREFIX chooses the Wine prefix (default build/wine, or build/wine64 for 64-bit Wine); sessions
# that run at the same time need prefixes of their own.
set -uo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
# The sound set-up: loopback (the default rig), feed, none or system (see the options above).
audio=loopback
own_display=1
while [ $# -gt 0 ]; do
  case "$1" in
    --no-audio) audio=none; shift ;;
    --system-audio) audio=system; shift ;;
    --feed) audio=feed; shift ;;
    --display-from-env) own_display=0; shift ;;
    --) shift; break ;;
    *) break ;;
  esac
done
[ $# -gt 0 ] || { echo "usage: $0 [--no-audio|--system-audio|--feed] [--display-from-env] -- command..." >&2; exit 2; }

# A machine that cannot start 32-bit programs runs 64-bit Wine, in a 64-bit prefix of its own.
export WINEARCH=$("$root/scripts/windows_arch.sh")
if [ "$WINEARCH" = win32 ]; then default_prefix=$root/build/wine; else default_prefix=$root/build/wine64; fi
export WINEPREFIX=${COILPROBE_PREFIX:-$default_prefix}
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree=d;mshtml=d"

tmp=$(mktemp -d /tmp/coilprobe-session.XXXXXX)
pids=()
wine_started=0

# Debian's wine command takes the 32-bit loader whenever it is installed, also where it cannot start: for
# 64-bit Wine the session's own wine (and wine-stable, which wineboot calls) take the 64-bit loader.
if [ "$WINEARCH" = win64 ]; then
  mkdir -p "$tmp/bin"
  for name in wine wine-stable; do
    printf '#!/bin/sh\nexec /usr/lib/wine/wine64 "$@"\n' >"$tmp/bin/$name"
    chmod +x "$tmp/bin/$name"
  done
  export WINELOADER=/usr/lib/wine/wine64
  export PATH="$tmp/bin:$PATH"
fi

cleanup() {
  trap - EXIT INT TERM
  if [ "$wine_started" = 1 ]; then wineserver -k >/dev/null 2>&1; fi
  for ((i=${#pids[@]}-1; i>=0; i--)); do kill "${pids[i]}" 2>/dev/null; done
  for p in "${pids[@]}"; do
    for _ in $(seq 50); do kill -0 "$p" 2>/dev/null || break; sleep 0.05; done
    kill -9 "$p" 2>/dev/null
  done
  if [ -f "$tmp/pulse.pid" ]; then
    pp=$(cat "$tmp/pulse.pid"); kill "$pp" 2>/dev/null
    for _ in $(seq 50); do kill -0 "$pp" 2>/dev/null || break; sleep 0.05; done
    kill -9 "$pp" 2>/dev/null
  fi
  rm -rf "$tmp"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# A private X server on the first free display number.
if [ "$own_display" = 1 ]; then
  for n in $(seq 90 190); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >"$tmp/xvfb.log" 2>&1 &
    xpid=$!
    for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X$n" ] && break; kill -0 $xpid 2>/dev/null || break; sleep 0.05; done
    if kill -0 $xpid 2>/dev/null && [ -e "/tmp/.X11-unix/X$n" ]; then
      pids+=($xpid); export DISPLAY=":$n"; break
    fi
  done
  [ -n "${DISPLAY:-}" ] || { echo "session: no free X display" >&2; exit 1; }
fi

# The Wine prefix: made once, reused; the fonts linked in, and Wine drawing its own window frames.
if [ ! -f "$WINEPREFIX/.coilprobe-ready" ]; then
  mkdir -p "$WINEPREFIX"
  wine_started=1
  wineboot -i >/dev/null 2>&1
  mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
  ln -sf /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
  wineserver -w
  touch "$WINEPREFIX/.coilprobe-ready"
fi

# The loopback rig: a null sink as default output, its monitor as default input, kept busy. In the feed
# rig the input is the monitor of a second null sink, kept busy with silence as well.
if [ "$audio" != system ]; then
  export XDG_RUNTIME_DIR="$tmp/run"
  mkdir -p "$XDG_RUNTIME_DIR"; chmod 700 "$XDG_RUNTIME_DIR"
fi
if [ "$audio" = loopback ] || [ "$audio" = feed ]; then
  export PULSE_SERVER="unix:$tmp/pulse.sock"
  # Every client's buffer in the server, Wine's streams included, holds 60 ms (libpulse reads this): Wine
  # asks for 3 periods of 10 ms, of which its playback stream kept 10 ms in the server, and its pump
  # thread, late under load, let the sink run dry. With 60 ms the stream keeps 30 ms, plus 13 ms in the
  # sink; Wine's recording gets its data 60 ms later. A caller's own value, also an empty one (each
  # client's own choice), is kept.
  export PULSE_LATENCY_MSEC=${PULSE_LATENCY_MSEC-60}
  sinks=(probe)
  loads=(--load="module-null-sink sink_name=probe rate=44100 channels=2")
  if [ "$audio" = feed ]; then
    sinks+=(feed)
    loads+=(--load="module-null-sink sink_name=feed rate=44100 channels=2 sink_properties=device.description=feed")
  fi
  pulseaudio --daemonize=yes --exit-idle-time=-1 -n --use-pid-file=yes \
    --load="module-native-protocol-unix auth-anonymous=1 socket=$tmp/pulse.sock" "${loads[@]}" >"$tmp/pulse.log" 2>&1
  for _ in $(seq 100); do pactl info >/dev/null 2>&1 && break; sleep 0.05; done
  ppid_file=$(find "$XDG_RUNTIME_DIR" -name pid 2>/dev/null | head -1)
  [ -n "$ppid_file" ] && cp "$ppid_file" "$tmp/pulse.pid"
  pactl set-default-sink probe && pactl set-default-source "${sinks[-1]}.monitor" ||
    { echo "session: no PulseAudio" >&2; cat "$tmp/pulse.log" >&2; exit 1; }
  for sink in "${sinks[@]}"; do
    pacat --playback -d "$sink" --format=s16le --rate=44100 --channels=2 --latency-msec=20 /dev/zero &
    pids+=($!)
  done
elif [ "$audio" = none ]; then
  export PULSE_SERVER="unix:$tmp/no-such-server"
fi

# The audio library publishes its counts for the tests and the bench to read from outside the program; it
# does so only when asked, and the instrument run on the caller's own sound system is not asked.
if [ "$audio" != system ]; then export COILPROBE_PUBLISH_COUNTERS=1; fi

# Start the wineserver and Wine's background services now, detached from the command's output: a test
# runner waits for every process that holds its output pipe open. They are ours and end with the session.
wine_started=1
wineserver -p >/dev/null 2>&1
wine cmd /c exit </dev/null >/dev/null 2>&1

"$@"
