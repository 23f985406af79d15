#!/usr/bin/env bash
# Benchmark (not a test): adding many files in one go.
#
#   scripts/bench-add.sh [FILES]
#
# Starts the staged Varnello.exe in a private Wine session, makes FILES (1000 by default)
# copies of a short generated clip in one folder and drops the folder on the window, as a
# file manager does. Prints the seconds from the drop until the list shows every row, and
# until every row shows its length (read after the rows appear, one file at a time). Needs
# the test build (inspect.exe).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${VARNELLO_BUILD_DIR:-$root/build}"
files="${1:-1000}"
[ -x "$build/dist/Varnello.exe" ] && [ -f "$build/tests/inspect.exe" ] || { echo "build first: scripts/build.sh" >&2; exit 2; }

own_session=0
if ! "$root/scripts/wine-run.sh" --session-env | grep -q DISPLAY; then
    "$root/scripts/wine-run.sh" --session-start
    own_session=1
fi
export VARNELLO_DIST="$build/dist" VARNELLO_SOURCE="$root" VARNELLO_TEST_BIN="$build/tests"
source "$root/tests/e2e/lib.sh"
finish() {
    cleanup_e2e
    if [ "$own_session" = 1 ]; then "$root/scripts/wine-run.sh" --session-stop; fi
}
trap finish EXIT

folder="$E2E_TMP/many"; mkdir -p "$folder"
make_clip "$folder/clip0000.avi" 2
for i in $(seq 1 $((files - 1))); do cp "$folder/clip0000.avi" "$(printf '%s/clip%04d.avi' "$folder" "$i")"; done
start_varnello
focus_varnello

now_ms() { echo $(( $(date +%s%N) / 1000000 )); }
rows() { inspect glance | sed -n 's/^list count=\([0-9]*\).*/\1/p'; }
start="$(now_ms)"
inspect drop "$(winpath "$folder")" || fail "the drop was refused"
until [ "$(rows)" = "$files" ]; do
    [ $(( $(now_ms) - start )) -lt 600000 ] || fail "only $(rows) rows after 10 minutes"
    sleep 0.05
done
listed=$(( $(now_ms) - start ))
printf '%d files: every row listed %6.2f s after the drop\n' "$files" "$(echo "$listed / 1000" | bc -l)"
last=$((files - 1))
until inspect cell "$last" 2 | grep -q '^00:00:02'; do
    [ $(( $(now_ms) - start )) -lt 1800000 ] || fail "row $last shows no length after 30 minutes"
    sleep 0.5
done
measured=$(( $(now_ms) - start ))
printf '%d files: every length shown  %6.2f s after the drop (%.0f ms a file)\n' "$files" \
    "$(echo "$measured / 1000" | bc -l)" "$(echo "$measured / $files" | bc -l)"
close_varnello
