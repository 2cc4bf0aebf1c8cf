#!/usr/bin/env bash
# The headless demo, run inside a test session: starts the instrument, lets it measure for a few
# seconds, prints what its read-outs show, saves a screenshot and closes it.
#   demo.sh <coilprobe.exe> <wintool.exe> <screenshot.png>
set -uo pipefail
exe=$1 wintool=$2 shot=$3
tool() { wine "$wintool" "$@"; }

wine "$exe" &
pid=$!
trap 'kill $pid 2>/dev/null' EXIT
if ! tool wait Coilprobe@obj_Form >/dev/null; then
  echo "demo: the instrument's window did not appear" >&2
  exit 1
fi
# The level read-outs lie below the window's initial height: show them.
tool resize Coilprobe@obj_Form 520 560 >/dev/null
sleep 4

# One line per child window: index, class, "text", left,top,right,bottom, ...
children=$(tool children Coilprobe@obj_Form | tr -d '\r')
text_at() {
  printf '%s\n' "$children" | awk -F'\t' -v x="$1" -v y="$2" '
    $2 == "obj_EDIT" { split($4, r, ","); if (r[1] - x <= 6 && x - r[1] <= 6 && r[2] - y <= 6 && y - r[2] <= 6) { gsub(/"/, "", $3); print $3; exit } }'
}
left=$(text_at 390 485)
right=$(text_at 390 450)
u=$(text_at 340 55)
ratio=$(awk -v l="$left" -v r="$right" 'BEGIN { if (r + 0 != 0) printf "%.4f", l / r; else print "none" }')
echo "first channel level L = $left"
echo "second channel level R = $right"
echo "r = L / R = $ratio"
echo "u = $u   (D 10 mm, d 6 mm, H 3 mm, N 10 turns)"

import -window root "$shot" 2>/dev/null && echo "screenshot: $shot"

# The measurement details: the main window's system menu item (its command 0x0F50), then every read-out,
# a label and its value, which the window lists in that order.
details="Measurement details@obj_Form"
if tool syscommand Coilprobe@obj_Form 0x0F50 >/dev/null && tool wait "$details" >/dev/null; then
  sleep 2
  echo "measurement details (both inputs carry the output on this rig, one tone value apart):"
  tool children "$details" | tr -d '\r' | iconv -f CP1252 -t UTF-8 | awk -F'\t' '
    $2 == "obj_STATIC" { gsub(/"/, "", $3); if (label != "") { printf "  %-24s %s\n", label, $3; label = "" } else label = $3 }
    $2 != "obj_STATIC" { label = "" }'
  tool close "$details" >/dev/null
else
  echo "demo: the measurement details window did not appear" >&2
fi

tool close Coilprobe@obj_Form >/dev/null
wait $pid
code=$?
trap - EXIT
echo "the instrument closed with exit code $code"
exit $code
