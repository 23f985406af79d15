#!/usr/bin/env bash
# Benchmark (not a test): what converting several tasks at once gains over one at a time.
#
#   scripts/bench-queue.sh [ROUNDS] [CLIPS] [SECONDS]   (defaults 3, 8 and 20; needs a build:
#                                                        scripts/build.sh)
#
# CLIPS generated clips of SECONDS each, at the default settings, are converted ROUNDS times by
# the whole program one task at a time (TasksAtOnce "1") and ROUNDS times as shipped (no
# setting: as many at once as the machine's processors, at most four), from the click on
# Start to the "Converting Finished" box. The rounds alternate, and which of the two goes
# first alternates too, so a change in the machine's load falls on both. Prints every time,
# each round's speed-up, and the line "median speed-up as shipped / one at a time: X".
# Runs in an Xvfb display and Wine prefix of its own, removed at the end.
set -euo pipefail
rounds="${1:-3}"
clip_count="${2:-8}"
clip_seconds="${3:-20}"
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bench_private=1
source "$root/scripts/bench_window.sh"
trap end_bench_window EXIT

out="$E2E_TMP/out"; mkdir -p "$out" "$E2E_TMP/clips"
echo "making $clip_count clips of $clip_seconds s..."
for i in $(seq 1 "$clip_count"); do
    # Each clip a picture of its own, so that no two encodes are the same work by chance.
    ffmpeg -v error -y -f lavfi -i "testsrc2=duration=$clip_seconds:size=640x480:rate=25" \
        -f lavfi -i "sine=frequency=$((300 + 40 * i)):duration=$clip_seconds" -shortest \
        -vf "hue=h=$((i * 40))" "$E2E_TMP/clips/clip$i.avi"
done
set_output_dir "$out"

# One run of the whole list with the TasksAtOnce setting given ("" for none: as shipped).
run_program() {
    local setting="$1" t0 t1 waiter box
    if [ -n "$setting" ]; then
        set_tasks_at_once "$setting"
    else
        "$WINE" reg delete 'HKCU\Software\Varnello\TasksAtOnce' /f >/dev/null 2>&1 || true
    fi
    rm -f "$out"/*
    # The end is seen by a waiter inside Wine, started before the click: polling the display
    # with xdotool would cost the X server processor time during the run being measured.
    "$WINE" "$VARNELLO_TEST_BIN/inspect.exe" wait-caption Information 1200000 >/dev/null 2>&1 &
    waiter=$!
    sleep 2
    t0="$(now)"
    xdotool mousemove "$sx" "$sy" click 1
    wait "$waiter" || fail "the run did not end with its box"
    t1="$(now)"
    box="$(xdotool search --onlyvisible --name '^Information$' | head -1)"
    xdotool windowfocus "$box" 2>/dev/null || true; sleep 0.3
    xdotool key Return
    wait_for 10 bash -c "! xdotool search --onlyvisible --name '^Information\$'" || fail "the box stayed"
    [ "$(ls "$out" | wc -l)" = "$clip_count" ] || fail "the program wrote: $(ls "$out")"
    seconds_between "$t0" "$t1"
}

start_varnello
add_files "$E2E_TMP/clips" $(for i in $(seq 1 "$clip_count"); do echo "clip$i.avi"; done)
[ "$(list_count)" = "$clip_count" ] || fail "expected $clip_count tasks, got $(list_count)"
read -r sx sy < <(control_centre 1048)
echo "processors: $(nproc); a warm-up run of each kind (files and DLLs into the page cache)..."
run_program 1 >/dev/null
run_program "" >/dev/null

declare -a speedups=() serial_times=() shipped_times=()
for r in $(seq 1 "$rounds"); do
    if [ $((r % 2)) = 1 ]; then
        s="$(run_program 1)"; p="$(run_program "")"
    else
        p="$(run_program "")"; s="$(run_program 1)"
    fi
    ratio="$(awk -v s="$s" -v p="$p" 'BEGIN { printf "%.4f", s / p }')"
    serial_times+=("$s"); shipped_times+=("$p"); speedups+=("$ratio")
    echo "round $r: one at a time ${s} s, as shipped ${p} s, speed-up $ratio"
done
close_varnello
echo "median one at a time: $(printf '%s\n' "${serial_times[@]}" | median) s"
echo "median as shipped:    $(printf '%s\n' "${shipped_times[@]}" | median) s"
echo "median speed-up as shipped / one at a time: $(printf '%s\n' "${speedups[@]}" | median)"
