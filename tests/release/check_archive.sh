#!/usr/bin/env bash
# Checks what scripts/release packs. Packs the DLL twice, the second time a
# second later, from another folder, with another umask and time zone, and
# wants the same bytes. Then wants the archive named after the DLL's own
# version resource, holding exactly CHANGELOG.md, LICENSE, Mirvane.dll and
# README.txt in that order, each the file it comes from, all with the
# source's time, mode 644 and no extra fields; and SHA256SUMS to verify the
# DLL and the archive.
#
#   tests/release/check_archive.sh Mirvane.dll
set -euo pipefail
dll=$(realpath -- "${1:?usage: tests/release/check_archive.sh Mirvane.dll}")
cd "$(dirname "$0")/../.."
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

scripts/release --pack-only "$dll" "$work/first"
sleep 1
mkdir "$work/other" && cp -- "$dll" "$work/other/Mirvane.dll" && chmod 0700 "$work/other/Mirvane.dll"
(umask 077 && TZ=XYZ-12:45 scripts/release --pack-only "$work/other/Mirvane.dll" "$work/second")
cmp -s "$work/first/SHA256SUMS" "$work/second/SHA256SUMS" || fail "two packs of one DLL differ"

version=$(strings -a -el "$dll" | grep -A1 -x FileVersion | tail -n 1 || true)
archive=$work/first/Mirvane-$version-x64.zip
[ -f "$archive" ] || fail "no Mirvane-$version-x64.zip, but: $(ls "$work/first")"

names=$(unzip -Z1 "$archive" | tr '\n' ' ')
[ "$names" = "CHANGELOG.md LICENSE Mirvane.dll README.txt " ] || fail "the archive holds: $names"
unzip -q "$archive" -d "$work/unpacked"
cmp -s "$dll" "$work/unpacked/Mirvane.dll" || fail "the archive's Mirvane.dll is not the one packed"
for member in CHANGELOG.md:CHANGELOG.md LICENSE:LICENSE README.txt:release/README.txt; do
    sed 's/$/\r/' "${member#*:}" | cmp -s - "$work/unpacked/${member%%:*}" ||
        fail "${member%%:*} is not ${member#*:} with CR LF line ends"
done

# zip keeps local times in two-second steps; packed under TZ=UTC, the time
# read back as UTC is the source's.
epoch=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}
while read -r mode stamp name; do
    [ "$mode" = "-rw-r--r--" ] || fail "$name has mode $mode"
    stored=$(TZ=UTC date -d "${stamp:0:8} ${stamp:9:2}:${stamp:11:2}:${stamp:13:2}" +%s)
    [ $((stored - epoch)) -ge -1 ] && [ $((stored - epoch)) -le 1 ] ||
        fail "$name has time $stamp, not $(TZ=UTC date -d "@$epoch" +%Y%m%d.%H%M%S)"
done < <(zipinfo -T -l "$archive" | awk '/^[-d]/ {print $1, $8, $9}')
extras=$(zipinfo -v "$archive" | grep -c 'length of extra field: *0 bytes' || true)
[ "$extras" -eq 4 ] || fail "only $extras of 4 names have no extra field"

cp -- "$work/unpacked/Mirvane.dll" "$work/first/"
[ "$(awk '{print $2}' "$work/first/SHA256SUMS" | tr '\n' ' ')" = "Mirvane.dll $(basename "$archive") " ] ||
    fail "SHA256SUMS names: $(awk '{print $2}' "$work/first/SHA256SUMS")"
(cd "$work/first" && sha256sum --quiet -c SHA256SUMS) || fail "SHA256SUMS does not verify"

[ "$failures" -eq 0 ] || exit 1
echo "passed: release archive $(basename "$archive")"
