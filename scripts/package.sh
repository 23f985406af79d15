#!/usr/bin/env bash
# Packs the staged program folder for Windows users: a portable zip and an NSIS installer.
# Run by the build (target "packages"); by hand:
#   package.sh DIST_DIR OUT_DIR VERSION
# makes OUT_DIR/Varnello-VERSION-win64.zip and OUT_DIR/Varnello-Setup-VERSION.exe.
# Only the program's own files are packed: whatever a run or a test left in DIST_DIR
# (log.txt, intermediate files, converted clips) stays out.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
dist="$1" out="$2" version="$3"
name="Varnello-$version"
work="$out/package"
rm -rf "$work"
mkdir -p "$work/$name/app" "$work/$name/help"

cp "$dist/Varnello.exe" "$work/$name/"
[ -f "$dist/Help.chm" ] && cp "$dist/Help.chm" "$work/$name/"
for f in iPod_Profile.ini venc.exe ffmpeg.exe ViviRarir.exe; do
    cp "$dist/app/$f" "$work/$name/app/"
done
cp -r "$dist/help/." "$work/$name/help/"

rm -f "$out/$name-win64.zip"
(cd "$work" && zip -q -r -X "$out/$name-win64.zip" "$name")

makensis -V2 -NOCD \
    "-DVERSION=$version" \
    "-DSOURCE=$work/$name" \
    "-DOUTFILE=$out/Varnello-Setup-$version.exe" \
    "-DICON=$root/res/images/varnello.ico" \
    "$root/installer/Varnello.nsi"
echo "package: $out/Varnello-Setup-$version.exe and $out/$name-win64.zip"
