#!/usr/bin/env bash
# The whole instrument on the loopback rig, inside a test session (scripts/bench.sh runs it there):
#   bench_instrument.sh <windows-build-dir>
# Prints one table: start-up until the main window shows (and until it answers a message), the CPU time
# our threads (the GUI thread and the audio library's "playback" and "recording") use over a 10-second
# window once it is measuring, each and together, with Wine's own threads in the process shown apart, its peak memory, the size of
# the stripped executable, each beside its target with the ratio of the two, and the underruns and overruns its audio library
# counted over that run (a dip in the levels without them is the rig's, not ours). CPU time and memory are read from /proc of the Wine
# process that runs coilprobe.exe; the wineserver and the X server, which do work on its behalf under
# Wine, are shown beside it but not counted. Exit code 0 when every figure was measured.
set -uo pipefail
win=$(realpath "$1")
exe=$win/app/coilprobe.exe
starter=$win/bench/instrument_start.exe
wintool=$win/tests/tools/wintool.exe
window=Coilprobe@obj_Form
starts=5       # start-up is measured this many times; the table gives the median and the range
seconds=10     # length of the CPU window
settle=2       # seconds after start-up before the CPU window opens (the tone and recorder are running)
tmp=$(mktemp -d /tmp/coilprobe-bench.XXXXXX)
trap 'rm -rf "$tmp"' EXIT

for f in "$exe" "$starter" "$wintool"; do
  [ -f "$f" ] || { echo "bench_instrument: $f is missing (make win)" >&2; exit 1; }
done
[ -n "${WINEPREFIX:-}" ] || { echo "bench_instrument: run inside scripts/session.sh" >&2; exit 1; }

ticks_per_second=$(getconf CLK_TCK)

# A process's command line (blank-separated, trailing blanks dropped), and whether its environment names
# this session's Wine prefix. Processes may end while they are looked at.
command_line() { { tr '\0' ' ' <"/proc/$1/cmdline"; } 2>/dev/null | sed 's/ *$//'; }
in_session() { { tr '\0' '\n' <"/proc/$1/environ"; } 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX"; }

# The Linux process of this session's Wine that runs the named Windows program: Wine shows the Windows
# command line (padded with blanks) as the process's command line.
wine_pid_of() {
  local p
  for p in /proc/[0-9]*; do
    p=${p#/proc/}
    command_line "$p" | grep -qi "[\\/]$1\$" && in_session "$p" && { echo "$p"; return 0; }
  done
  return 1
}

# This session's wineserver and X server (0 when not found).
server_pid() {
  local p
  for p in /proc/[0-9]*; do
    p=${p#/proc/}
    command_line "$p" | grep -q 'wineserver' && in_session "$p" && { echo "$p"; return; }
  done
  echo 0
}
x_server_pid() {
  local p
  for p in /proc/[0-9]*; do
    p=${p#/proc/}
    [ "$(command_line "$p" | awk '{print $1, $2}')" = "Xvfb ${DISPLAY:-none}" ] && { echo "$p"; return; }
  done
  echo 0
}

# User plus system CPU time of a process, all its threads, in clock ticks.
cpu_ticks() {
  [ "$1" != 0 ] && [ -r "/proc/$1/stat" ] || { echo 0; return; }
  # The command name (field 2) may hold spaces: count fields after its closing parenthesis.
  sed 's/.*) //' "/proc/$1/stat" | awk '{print $12 + $13}'
}

# Per thread of a process: "tid name ticks", one line each.
thread_ticks() {
  local t
  for t in /proc/"$1"/task/*; do
    [ -r "$t/stat" ] || continue
    echo "${t##*/} $(tr ' ' '_' <"$t/comm") $(sed 's/.*) //' "$t/stat" | awk '{print $12 + $13}')"
  done 2>/dev/null
}

percent() { awk -v t="$1" -v hz="$ticks_per_second" -v s="$2" 'BEGIN { printf "%.2f", 100 * t / hz / s }'; }

# One start of the instrument: instrument_start starts it and reports the times; the instrument keeps
# running until close_instrument. Leaves the starter's output in $tmp/start.out.
start_instrument() {
  wine "$starter" "$exe" obj_Form Coilprobe >"$tmp/start.out" 2>"$tmp/start.err" &
  starter_pid=$!
  for _ in $(seq 600); do
    grep -q '^responsive_ms' "$tmp/start.out" 2>/dev/null && return 0
    kill -0 "$starter_pid" 2>/dev/null || break
    sleep 0.05
  done
  echo "bench_instrument: the instrument did not start" >&2
  cat "$tmp/start.err" >&2
  return 1
}

close_instrument() {
  wine "$wintool" close "$window" >/dev/null 2>&1
  wait "$starter_pid"
  exit_code=$(awk '$1 == "exit_code" {print $2}' "$tmp/start.out" | tr -d '\r')
  [ "$exit_code" = 0 ] || { echo "bench_instrument: the instrument ended with exit code '${exit_code}'" >&2; return 1; }
}

field() { awk -v k="$1" '$1 == k {print $2}' "$tmp/start.out" | tr -d '\r'; }

median() { sort -n | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}'; }

# Start-up, several times with the wineserver warm (the session keeps it running).
window_times=() answer_times=()
for i in $(seq "$starts"); do
  start_instrument || exit 1
  window_times+=("$(field window_ms)")
  answer_times+=("$(field responsive_ms)")
  close_instrument || exit 1
done

# CPU and memory of one running instrument.
start_instrument || exit 1
pid=$(wine_pid_of coilprobe.exe) || { echo "bench_instrument: no Wine process of coilprobe.exe found" >&2; exit 1; }
server=$(server_pid)
xserver=$(x_server_pid)
sleep "$settle"
thread_ticks "$pid" >"$tmp/threads0"
c0=$(cpu_ticks "$pid") s0=$(cpu_ticks "$server") x0=$(cpu_ticks "$xserver")
sleep "$seconds"
c1=$(cpu_ticks "$pid") s1=$(cpu_ticks "$server") x1=$(cpu_ticks "$xserver")
thread_ticks "$pid" >"$tmp/threads1"
peak_kb=$(awk '$1 == "VmHWM:" {print $2}' "/proc/$pid/status")
rss_kb=$(awk '$1 == "VmRSS:" {print $2}' "/proc/$pid/status")
# The two level read-outs, to show the instrument was measuring during the window.
# They sit at client (390, 485) for the first channel and (390, 450) for the second.
levels=$(wine "$wintool" children "$window" 2>/dev/null | tr -d '\r' | awk -F'\t' '
  $2 == "obj_EDIT" { split($4, r, ","); gsub(/"/, "", $3); if (r[1] == 390 && r[2] == 485) l = $3; if (r[1] == 390 && r[2] == 450) rr = $3 }
  END { printf "L %s, R %s", l, rr }')
# The same span again with the measurement details open (the main window's system menu command 0x0F50):
# what the window's analysis adds to our threads.
details_open=no
if wine "$wintool" syscommand "$window" 0x0F50 >/dev/null 2>&1 &&
   wine "$wintool" wait "Measurement details@obj_Form" >/dev/null 2>&1; then
  details_open=yes
  sleep "$settle"
  thread_ticks "$pid" >"$tmp/threads2"
  sleep "$seconds"
  thread_ticks "$pid" >"$tmp/threads3"
fi
close_instrument || exit 1
# Blocks queued, underruns, blocks recorded, overruns over the measured run.
read -r queued underruns recorded overruns <<<"$(awk '$1 == "audio_counts" {print $2, $3, $4, $5}' "$tmp/start.out" | tr -d '\r')"

cp "$exe" "$tmp/coilprobe.exe"
i686-w64-mingw32-strip "$tmp/coilprobe.exe"
stripped=$(stat -c %s "$tmp/coilprobe.exe")

window_median=$(printf '%s\n' "${window_times[@]}" | median)
answer_median=$(printf '%s\n' "${answer_times[@]}" | median)
window_range="$(printf '%s\n' "${window_times[@]}" | grep . | sort -n | head -1)..$(printf '%s\n' "${window_times[@]}" | grep . | sort -n | tail -1)"
cpu=$(percent $((c1 - c0)) "$seconds")

# One row: label, measured value, unit, and optionally the comparison ("<", "<=" or ">=") with its target,
# or, for a part of a budget, the empty comparison and the budget. The ratio is measured / target (or the
# part's share of the budget); the verdict says whether the target is met.
row() {
  local label=$1 value=$2 unit=$3 compare=${4:-} target=${5:-} shown="" ratio="" verdict=""
  if [ -n "$target" ]; then
    ratio=$(awk -v v="$value" -v t="$target" 'BEGIN { printf "%.2f", v / t }')
  fi
  if [ -n "$compare" ]; then
    shown="$compare $target $unit"
    verdict=$(awk -v v="$value" -v t="$target" -v c="$compare" \
      'BEGIN { ok = c == "<" ? v < t : c == "<=" ? v <= t : v >= t; print ok ? "met" : "NOT met" }')
  fi
  printf '  %-46s %9s %-2s %10s %6s  %s\n' "$label" "$value" "$unit" "$shown" "$ratio" "$verdict" | sed 's/ *$//'
}
# A row without a target: label and text, the text ending under the measured column.
note() { printf '  %-46s %12s\n' "$1" "$2"; }

echo "The whole instrument on the loopback rig (i686 under Wine, warm wineserver)"
echo "  ratio = measured / target; for each of our threads, its share of the 2 % target"
printf '  %-46s %12s %10s %6s\n' "" "measured" "target" "ratio"
row "start until the main window shows (median of $starts)" "$window_median" ms "<" 300
note "  range" "$window_range ms"
row "start until the window answers a message" "$answer_median" ms
# Per thread over the window: the GUI thread (the process's first), the audio library's threads by the names
# they give themselves, and Wine's own threads (its sound driver's, named by Wine, and the unnamed ones
# Wine's winmm starts in the process): "ticks class name", class "ours" or "wine".
thread_table() {
  join "$1" "$2" | awk -v pid="$pid" '
    { t = $5 - $3; if (t < 0) t = 0
      if ($1 == pid) print t, "ours", "GUI"
      else if ($2 == "playback" || $2 == "recording") print t, "ours", $2
      else print t, "wine", ($2 == "coilprobe.exe" ? "unnamed_" $1 : $2) }'
}
ours_ticks() { awk '$2 == "ours" {t += $1} END {print t + 0}' "$1"; }
thread_table "$tmp/threads0" "$tmp/threads1" >"$tmp/threads"
ours=$(ours_ticks "$tmp/threads")
row "CPU of coilprobe.exe over ${seconds} s, all threads" "$cpu" %
row "  our threads together, one core" "$(percent "$ours" "$seconds")" % "<=" 2
for name in GUI playback recording; do
  t=$(awk -v n="$name" '$2 == "ours" && $3 == n {print $1}' "$tmp/threads")
  row "    thread $name" "$(percent "${t:-0}" "$seconds")" % "" 2
done
if [ "$details_open" = yes ]; then
  thread_table "$tmp/threads2" "$tmp/threads3" >"$tmp/threads_open"
  ours_open=$(ours_ticks "$tmp/threads_open")
  row "  our threads, measurement details open" "$(percent "$ours_open" "$seconds")" %
  row "    more than with it closed" "$(percent $((ours_open - ours)) "$seconds")" % "<=" 0.3
else
  note "  measurement details" "did not open"
fi
wine_threads=$(awk '$2 == "wine" {t += $1} END {print t + 0}' "$tmp/threads")
row "  Wine's own threads in the process (not ours)" "$(percent "$wine_threads" "$seconds")" %
sort -rn "$tmp/threads" | awk '$2 == "wine" && $1 > 0' | head -4 | while read -r t _ name; do
  row "    thread ${name//_/ }" "$(percent "$t" "$seconds")" %
done
row "the wineserver in the same time (not counted)" "$(percent $((s1 - s0)) "$seconds")" %
row "the X server in the same time (not counted)" "$(percent $((x1 - x0)) "$seconds")" %
row "peak memory of the process (VmHWM)" "$peak_kb" KB
row "  resident at the end (VmRSS)" "$rss_kb" KB
row "stripped coilprobe.exe" "$(awk -v b="$stripped" 'BEGIN { printf "%.1f", b / 1024 }')" KB "<=" 300
note "  in bytes" "$stripped"
note "levels shown at the end of the CPU window" "$levels"
if [ "${queued:-none}" = none ]; then
  note "audio library's counts" "none published"
else
  note "output underruns over the run ($queued blocks)" "$underruns"
  note "input overruns over the run ($recorded blocks)" "$overruns"
fi
