#!/usr/bin/env bash
# The Stop button in the middle of a run, on the real program: during the encoder of a plain
# task and during the intermediate step of a RealMedia task. The run ends with its message,
# the stopped task is neither "Finished" nor "Failed", later tasks are untouched, no encoder
# process is left, no intermediate file is left, and no file already in the folder changes.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/fault_lib.sh"
trap 'clear_output_dir; cleanup_e2e' EXIT

use_private_dist
out="$E2E_TMP/out"; mkdir -p "$out"
echo "kept" > "$out/long.mp4"
set_output_dir "$out"

# Presses Stop and waits for the message that ends the run.
stop_run() {
    local box
    click_control 1049
    wait_for 60 xdotool search --onlyvisible --name '^Information$' || fail "$1: the stopped run did not end"
    box="$(xdotool search --onlyvisible --name '^Information$' | head -1)"
    xdotool windowfocus "$box" 2>/dev/null || true; wait_for 10 has_focus "$box" || true
    xdotool key Return
    wait_for 10 bash -c "! xdotool search --onlyvisible --name '^Information\$'" || fail "$1: the box stayed"
}

expect_idle() {
    control_line 1048 | grep_q 'visible=1' || fail "$1: Start is not back: $(control_line 1048)"
    control_line 1049 | grep_q 'visible=0' || fail "$1: Stop is still shown: $(control_line 1049)"
}

# Row 0's Progress cell while the intermediate step writes: its percentage (the bar's first
# half) and the time left, without a size.
intermediate_progress() {
    progress_text 0 | grep -Eq '^ ([0-9]|[1-4][0-9])[.][0-9]{2}%    Remain Time:[0-9]{2}:[0-9]{2}:[0-9]{2}$'
}
intermediates() { ls "$VARNELLO_DIST"/movie_*.avi "$VARNELLO_DIST"/movie_*.mpg 2>/dev/null || true; }

make_clip "$E2E_TMP/long.avi" 300 -s 640x480
make_clip "$E2E_TMP/clip.avi" 2
make_clip "$E2E_TMP/movie.rm" 300
start_varnello

# 1. Stop while the first of two plain tasks encodes.
add_file "$E2E_TMP/long.avi"
add_file "$E2E_TMP/clip.avi"
click_control 1048
wait_for 60 prefix_pids_exist 'venc[.]exe' || fail "plain task: the encoder did not start"
# Once the task shows progress, the encoder is truly at work.
wait_for 60 bash -c "'$WINE' '$VARNELLO_TEST_BIN/inspect.exe' state 2>/dev/null | tr -d '\r' | grep '^row 0 ' | grep -q 'Remain Time'" \
    || fail "plain task: no progress shown: $(row_text 0)"
stop_run "plain task"
expect_alive "plain task"
expect_idle "plain task"
case "$(progress_text 0)" in
    Finished|Failed|"") fail "plain task: the stopped task shows [$(progress_text 0)]" ;;
esac
[ -z "$(progress_text 1)" ] || fail "plain task: the task after the stop shows [$(progress_text 1)]"
expect_no_leftovers "plain task"
[ "$(cat "$out/long.mp4")" = "kept" ] || fail "plain task: the existing long.mp4 was overwritten"
[ ! -e "$out/clip.mp4" ] || fail "plain task: the task after the stop was converted"
[ "$(log_entries)" = "0" ] || fail "plain task: unexpected log entries: $(log_apis)"

# 2. Stop during the intermediate step of a RealMedia task: its intermediate file goes.
click_control 1014
add_file "$E2E_TMP/movie.rm"
[ -z "$(intermediates)" ] || fail "an intermediate file is there before the run: $(intermediates)"
click_control 1048
wait_for 60 bash -c "ls '$VARNELLO_DIST'/movie_*.avi '$VARNELLO_DIST'/movie_*.mpg 2>/dev/null | grep -q ." \
    || fail "RealMedia task: no intermediate file appeared"
wait_for 60 intermediate_progress || fail "RealMedia task: the intermediate step shows no progress: [$(progress_text 0)]"
stop_run "RealMedia task"
expect_alive "RealMedia task"
expect_idle "RealMedia task"
# Neither "Finished" nor "Failed" nor empty: the stopped task keeps the step's last progress.
intermediate_progress || fail "RealMedia task: the stopped task shows [$(progress_text 0)], not the step's progress"
expect_no_leftovers "RealMedia task"
wait_for 10 bash -c "[ -z \"\$(ls '$VARNELLO_DIST'/movie_*.avi '$VARNELLO_DIST'/movie_*.mpg 2>/dev/null)\" ]" \
    || fail "RealMedia task: the intermediate file is left: $(intermediates)"
[ -z "$(ls "$out" | grep -v '^long')" ] || fail "RealMedia task: an output was written: $(ls "$out")"

close_varnello
echo "ok: Stop ends a run cleanly during the encoder and during the intermediate step"
