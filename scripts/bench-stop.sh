#!/usr/bin/env bash
# Benchmark (not a test): how long after a click on Stop the encoder processes are gone.
#
#   scripts/bench-stop.sh [RUNS] [TASKS]
#
# Starts the staged Varnello.exe in a private Wine session, adds one long generated clip
# through the real Open dialog (TASKS times, converted TASKS at once; 1 by default), and RUNS
# times: clicks Start, waits until the encoder is
# converting, clicks Stop and measures the milliseconds until neither venc.exe nor
# ffmpeg.exe is left, then dismisses the closing message. Prints each figure and the median.
# Target: under 1000 ms. Needs the test build (scripts/test.sh or a build with tests).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
runs="${1:-7}"
tasks="${2:-1}"
source "$root/scripts/bench_window.sh"
trap 'clear_output_dir; end_bench_window' EXIT

out="$E2E_TMP/out"; mkdir -p "$out"
set_output_dir "$out"
make_clip "$E2E_TMP/long.avi" 600 -s 640x480
# TASKS copies of the clip, TASKS at once: Stop then ends every encoder of the run.
set_tasks_at_once "$tasks"
start_varnello
for _ in $(seq 1 "$tasks"); do add_file "$E2E_TMP/long.avi"; done

now_ms() { echo $(( $(date +%s%N) / 1000000 )); }
figures=()
for i in $(seq 1 "$runs"); do
    click_control 1048
    wait_for 30 prefix_pids_exist 'ffmpeg[.]exe' || fail "the encoder did not start"
    all_encoding() { [ "$(prefix_pids 'ffmpeg[.]exe' | wc -l)" -ge "$tasks" ]; }
    wait_for 30 all_encoding || fail "not all $tasks encoders started"
    # Let it convert for a moment, as a user would before changing their mind.
    wait_for 30 bash -c "'$WINE' '$VARNELLO_TEST_BIN/inspect.exe' state 2>/dev/null | grep -q '^row 0 .*%'" || true
    stop_xy="$(control_centre 1049)"
    start="$(now_ms)"
    xdotool mousemove $stop_xy click 1
    until no_prefix_pids 'venc[.]exe|ffmpeg[.]exe'; do
        [ $(( $(now_ms) - start )) -lt 20000 ] || fail "encoder still running 20 s after Stop"
        sleep 0.02
    done
    ms=$(( $(now_ms) - start ))
    figures+=("$ms")
    printf 'run %2d: encoder gone %5d ms after Stop\n' "$i" "$ms"
    # The closing message: dismiss it so the next Start can be clicked.
    wait_for 20 xdotool search --onlyvisible --name '^Information$' || fail "no closing message after Stop"
    box="$(xdotool search --onlyvisible --name '^Information$' | head -1)"
    xdotool windowfocus "$box" 2>/dev/null || true; sleep 0.3
    xdotool key Return
    wait_for 10 bash -c "! xdotool search --onlyvisible --name '^Information\$'" || fail "the message stayed"
    rm -f "$out"/*.mp4
done
median="$(printf '%s\n' "${figures[@]}" | median)"
echo "median Stop to no encoder process: $median ms (target under 1000 ms)"
close_varnello
