#!/usr/bin/env bash
# Runs every benchmark program (bench_*) of the native tree, then of the Windows tree under Wine in a
# private session with the loopback rig. Benchmarks print their own tables.
set -uo pipefail
native=$1 win=$2
root=$(cd "$(dirname "$0")/.." && pwd)
status=0
for b in $(find "$native/bench" -maxdepth 2 -type f -name 'bench_*' -perm -u+x 2>/dev/null | sort); do
  echo "== native: $(basename "$b")"; "$b" || status=1
done
wins=$(find "$win/bench" -maxdepth 2 -type f -name 'bench_*.exe' 2>/dev/null | sort)
scripts=$(find "$root/bench" -maxdepth 1 -type f -name 'bench_*.sh' 2>/dev/null | sort)
if [ -n "$wins$scripts" ]; then
  "$root/scripts/session.sh" -- bash -c '
    status=0
    for b in '"$(echo $wins)"'; do echo "== i686 under Wine: $(basename "$b")"; wine "$b" || status=1; done
    for s in '"$(echo $scripts)"'; do echo "== $(basename "$s")"; bash "$s" "'"$win"'" || status=1; done
    exit $status' || status=1
fi
exit $status
