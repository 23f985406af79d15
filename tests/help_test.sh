#!/usr/bin/env bash
# The staged help: help/help.html beside the program and Help.chm holding the same guide.
set -euo pipefail
dist="$VARNELLO_DIST"
[ -s "$dist/help/help.html" ] || { echo "FAIL: no help/help.html staged"; exit 1; }
[ -s "$dist/Help.chm" ] || { echo "FAIL: no Help.chm staged"; exit 1; }
tmp="$(mktemp -d)"; trap 'rm -rf "$tmp"' EXIT
extract_chmLib "$dist/Help.chm" "$tmp/chm" >/dev/null
cmp -s "$tmp/chm/help.html" "$dist/help/help.html" || { echo "FAIL: the CHM's page differs from help/help.html"; exit 1; }
# Each section is a heading of the page, and the contents list it under its own full name,
# pointing at that heading's anchor.
for section in "Adding videos" "Trimming and preview" "Profiles and the profile file" \
               "Output folder" "Converting and stopping" "When a conversion ends" "The log file"; do
    anchor="$(sed -n "s#.*<h2 id=\"\([^\"]*\)\">$section</h2>.*#\1#p" "$tmp/chm/help.html" | head -1)"
    [ -n "$anchor" ] || { echo "FAIL: help has no heading '$section'"; exit 1; }
    grep -qF "<param name=\"Name\" value=\"$section\"><param name=\"Local\" value=\"help.html#$anchor\">" "$tmp/chm/toc.hhc" \
        || { echo "FAIL: the contents have no entry '$section' leading to help.html#$anchor"; exit 1; }
done
# Every image the page shows is in the CHM and beside help.html.
for img in $(grep -o 'src="[^"]*"' "$dist/help/help.html" | sed 's/src="//;s/"$//'); do
    [ -s "$dist/help/$img" ] || { echo "FAIL: help/$img missing"; exit 1; }
    [ -s "$tmp/chm/$img" ] || { echo "FAIL: $img missing from the CHM"; exit 1; }
done
echo "ok: help.html and Help.chm staged with every section"
