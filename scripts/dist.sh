#!/usr/bin/env bash
# `make dist`: the Windows download. Builds dist/coilprobe-<version>-win32.zip with the stripped
# coilprobe.exe, README.txt (the README's user part, everything before "## Development", with Windows line
# ends) and LICENSE, and beside it coilprobe-<version>-win32.zip.sha256. The version is app/version.h's.
# The exe's time stamp and the zip's file times are the last commit's, so the same build gives the same zip.
#   scripts/dist.sh <coilprobe.exe> <dist folder>
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
exe=$1 out=$2

version=$(sed -n 's/^#define COILPROBE_VERSION_TEXT "\(.*\)"$/\1/p' "$root/app/version.h")
[ -n "$version" ] || { echo "dist: no COILPROBE_VERSION_TEXT in app/version.h" >&2; exit 1; }
name="coilprobe-$version-win32.zip"
epoch=$(git -C "$root" log -1 --format=%ct 2>/dev/null || stat -c %Y "$exe")

tmp=$(mktemp -d /tmp/coilprobe-dist.XXXXXX)
trap 'rm -rf "$tmp"' EXIT
SOURCE_DATE_EPOCH=$epoch i686-w64-mingw32-strip -o "$tmp/coilprobe.exe" "$exe"
sed '/^## Development$/,$d' "$root/README.md" | sed -e :a -e '/^\n*$/{$d;N;ba' -e '}' | sed 's/$/\r/' >"$tmp/README.txt"
cp "$root/LICENSE" "$tmp/LICENSE"
TZ=UTC touch -d "@$epoch" "$tmp/coilprobe.exe" "$tmp/README.txt" "$tmp/LICENSE"

mkdir -p "$out"
rm -f "$out/$name" "$out/$name.sha256"
(cd "$tmp" && TZ=UTC zip -q -X "$tmp/$name" coilprobe.exe README.txt LICENSE)
mv "$tmp/$name" "$out/$name"
(cd "$out" && sha256sum "$name" >"$name.sha256")
echo "dist: $out/$name ($(stat -c %s "$out/$name") bytes), $out/$name.sha256"
