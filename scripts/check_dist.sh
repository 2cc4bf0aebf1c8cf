#!/usr/bin/env bash
# Checks the Windows download that `make dist` built: the checksum file matches the zip; the zip holds
# exactly coilprobe.exe, README.txt and LICENSE; the exe is the build's exe stripped (stripped again with
# the time stamp found in it, it must come out byte for byte the same) and imports only system DLLs;
# README.txt is the README up to "## Development", holds the guide, and ends every line with CR LF;
# LICENSE is the repository's.
#   scripts/check_dist.sh <coilprobe.exe> <dist folder>
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
exe=$1 out=$2
version=$(sed -n 's/^#define COILPROBE_VERSION_TEXT "\(.*\)"$/\1/p' "$root/app/version.h")
name="coilprobe-$version-win32.zip"
system_dlls="kernel32.dll user32.dll gdi32.dll comctl32.dll winmm.dll msvcrt.dll msimg32.dll advapi32.dll"

failures=0
fail() { echo "check_dist: $*" >&2; failures=$((failures + 1)); }

[ -f "$out/$name" ] || { fail "no $out/$name"; exit 1; }
(cd "$out" && sha256sum --quiet -c "$name.sha256") || fail "$name.sha256 does not match $name"

listing=$(unzip -Z1 "$out/$name" | sort | tr '\n' ' ')
[ "$listing" = "LICENSE README.txt coilprobe.exe " ] || fail "the zip holds: $listing"

tmp=$(mktemp -d /tmp/coilprobe-check-dist.XXXXXX)
trap 'rm -rf "$tmp"' EXIT
unzip -q "$out/$name" -d "$tmp/zip" || fail "the zip does not unpack"

# The PE header starts at the offset stored at 0x3C; its time stamp is 8 bytes further.
packed="$tmp/zip/coilprobe.exe"
header=$(od -A n -t u4 -j 60 -N 4 "$packed" | tr -d ' ')
stamp=$(od -A n -t u4 -j $((header + 8)) -N 4 "$packed" | tr -d ' ')
SOURCE_DATE_EPOCH=$stamp i686-w64-mingw32-strip -o "$tmp/stripped.exe" "$exe"
cmp -s "$packed" "$tmp/stripped.exe" || fail "coilprobe.exe in the zip is not $exe stripped"
while read -r dll; do
  case " $system_dlls " in
    *" ${dll,,} "*) ;;
    *) fail "coilprobe.exe imports $dll, not a system DLL" ;;
  esac
done < <(i686-w64-mingw32-objdump -p "$packed" | sed -n 's/^\s*DLL Name: //p')

readme="$tmp/zip/README.txt"
[ "$(grep -c $'[^\r]$\|^$' "$readme")" = 0 ] || fail "README.txt has lines without CR LF"
grep -q $'^## Measuring a core\r$' "$readme" || fail "README.txt lacks the guide"
{ tr -d '\r' <"$readme"; echo; sed -n '/^## Development$/,$p' "$root/README.md"; } | cmp -s - "$root/README.md" ||
  fail "README.txt is not the README's part before \"## Development\""
cmp -s "$tmp/zip/LICENSE" "$root/LICENSE" || fail "LICENSE differs from the repository's"

[ "$failures" = 0 ] && echo "check_dist: $out/$name: contents, exe, imports, README.txt, LICENSE, checksum ok"
[ "$failures" = 0 ]
