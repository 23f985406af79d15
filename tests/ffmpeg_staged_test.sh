#!/usr/bin/env bash
# The staged ffmpeg.exe runs through the Wine runner, and a corrupted download is refused.
set -euo pipefail
src="$VARNELLO_SOURCE"
out="$("$src/scripts/wine-run.sh" "$VARNELLO_DIST/app/ffmpeg.exe" -hide_banner -version)"
echo "$out" | head -1
echo "$out" | grep -q '^ffmpeg version ' || { echo "FAIL: staged ffmpeg.exe did not print its version"; exit 1; }

tmp="$(mktemp -d)"; trap 'rm -rf "$tmp"' EXIT
good="$VARNELLO_BUILD/cache/ffmpeg-installer-win32-x64-4.1.0.tgz"
"$src/scripts/setup.sh" --verify-only "$good" || { echo "FAIL: the pinned archive does not verify"; exit 1; }
cp "$good" "$tmp/ffmpeg-installer-win32-x64-4.1.0.tgz"
printf 'X' | dd of="$tmp/ffmpeg-installer-win32-x64-4.1.0.tgz" bs=1 seek=4096 conv=notrunc 2>/dev/null
if "$src/scripts/setup.sh" --verify-only "$tmp/ffmpeg-installer-win32-x64-4.1.0.tgz" 2>"$tmp/err"; then
    echo "FAIL: a corrupted archive was accepted"; exit 1
fi
grep -q 'checksum mismatch' "$tmp/err" || { echo "FAIL: no clear message on mismatch"; cat "$tmp/err"; exit 1; }
echo "ok: version printed, corrupted archive refused"
