#!/usr/bin/env bash
# Benchmark (not a test): adding many files in one go.
#
#   scripts/bench-add.sh [FILES]
#
# Starts the staged Varnello.exe in a private Wine session, makes FILES (1000 by default)
# copies of a short generated clip in one folder and drops the folder on the window, as a
# file manager does. Prints the seconds from the drop until the list shows every row, and
# until the first 100 rows show their length (the lengths are read after the rows appear,
# one file at a time, in row order). Needs the test build (inspect.exe).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
files="${1:-1000}"
source "$root/scripts/bench_window.sh"
trap end_bench_window EXIT

folder="$E2E_TMP/many"; mkdir -p "$folder"
make_clip "$folder/clip0000.avi" 2
for i in $(seq 1 $((files - 1))); do cp "$folder/clip0000.avi" "$(printf '%s/clip%04d.avi' "$folder" "$i")"; done
start_varnello
focus_varnello

now_ms() { echo $(( $(date +%s%N) / 1000000 )); }
# Both times come from inside Wine (GetTickCount): a watcher started beforehand sees the list
# reach its count, so no process start falls inside the figure.
inspect waitcount "$files" 600000 >"$E2E_TMP/listed" &
watcher=$!
sleep 3
start="$(now_ms)"
dropped="$(inspect drop "$(winpath "$folder")")" || fail "the drop was refused"
wait "$watcher" || fail "the list did not reach $files rows in 10 minutes"
listed=$(( $(cat "$E2E_TMP/listed") - dropped ))
printf '%d files: every row listed %7.2f s after the drop\n' "$files" "$(echo "$listed / 1000" | bc -l)"
# Lengths are read in row order after the rows appear: the time until the 100th row shows
# its length gives the pace; the rest follow at that pace.
probe=$(( files < 100 ? files : 100 ))
until inspect cell $((probe - 1)) 2 | grep -q '^00:00:02'; do
    [ $(( $(now_ms) - start )) -lt 1800000 ] || fail "row $probe shows no length after 30 minutes"
    sleep 0.5
done
measured=$(( $(now_ms) - start ))
printf 'first %d lengths shown %7.2f s after the drop (%.0f ms a file)\n' "$probe" \
    "$(echo "$measured / 1000" | bc -l)" "$(echo "$measured / $probe" | bc -l)"
close_varnello
