#!/usr/bin/env bash
# Closing the window while a conversion runs stops it: the encoder is told to quit and is
# gone within a second, a RealMedia task's intermediate file is removed, nothing is left; with
# two tasks at once as well.
source "$(dirname "$0")/lib.sh"

# Intermediate files left in the staging folder by an earlier run that was killed.
rm -f "$VARNELLO_DIST"/movie_*.avi "$VARNELLO_DIST"/movie_*.mpg
out="$E2E_TMP/out"; mkdir -p "$out"
set_output_dir "$out"
trap 'keep_failure $?; clear_output_dir; cleanup_e2e' EXIT

# Closes the window and reports how long the encoder processes took to go (the time is a
# figure, not a pass mark: a loaded machine may take longer than the usual fraction of a second).
close_and_time_encoder_end() {
    local start=$(date +%s%N)
    inspect close || true
    wait_for 10 no_prefix_pids 'venc[.]exe|ffmpeg[.]exe' \
        || fail "$1: encoder processes left 10 s after closing: $(encoder_processes)"
    echo "$1: encoder gone $(( ($(date +%s%N) - start) / 1000000 )) ms after the close"
    wait_for 30 no_prefix_pids 'Varnello[.]exe' || fail "$1: Varnello did not exit: $(describe_pids 'Varnello[.]exe')"
}

# 1. During the encoder of a plain task.
# Long enough that the run is still encoding when the window closes.
make_long_clip "$E2E_TMP/long.avi" 400 -s 640x480
start_varnello
add_file "$E2E_TMP/long.avi"
click_control 1048
wait_for 30 prefix_pids_exist 'venc[.]exe' || fail "the encoder did not start"
# Once the task shows progress, the encoder is truly at work.
encoding() { inspect cell 0 4 | grep -q 'Remain Time'; }
wait_for 60 encoding || fail "plain task: no progress shown: [$(inspect cell 0 4)]"
close_and_time_encoder_end "plain task"

# 2. During the intermediate step of a RealMedia task.
make_long_clip "$E2E_TMP/movie.rm" 400
rm -f "$VARNELLO_DATA"/movie_*.avi "$VARNELLO_DATA"/movie_*.mpg
start_varnello
add_file "$E2E_TMP/movie.rm"
click_control 1048
wait_for 30 bash -c "ls '$VARNELLO_DATA'/movie_*.avi '$VARNELLO_DATA'/movie_*.mpg 2>/dev/null | grep -q ." \
    || fail "no intermediate file appeared"
wait_for 60 encoding || fail "RealMedia task: the intermediate step shows no progress: [$(inspect cell 0 4)]"
close_and_time_encoder_end "RealMedia task"
if ls "$VARNELLO_DATA"/movie_*.avi "$VARNELLO_DATA"/movie_*.mpg >/dev/null 2>&1; then
    fail "the intermediate file is still there: $(ls "$VARNELLO_DATA"/movie_*)"
fi

# 3. Two tasks at once, the RealMedia step and a plain task's encoder together: closing ends
#    both, and the intermediate file goes.
set_tasks_at_once 2
rm -f "$VARNELLO_DATA"/movie_*.avi "$VARNELLO_DATA"/movie_*.mpg
start_varnello
add_file "$E2E_TMP/movie.rm"
add_file "$E2E_TMP/long.avi"
click_control 1048
encoding_row1() { inspect cell 1 4 | grep -q 'Remain Time'; }
wait_for 60 encoding || fail "two at once: the intermediate step shows no progress: [$(inspect cell 0 4)]"
wait_for 60 encoding_row1 || fail "two at once: the plain task shows no progress: [$(inspect cell 1 4)]"
close_and_time_encoder_end "two at once"
if ls "$VARNELLO_DATA"/movie_*.avi "$VARNELLO_DATA"/movie_*.mpg >/dev/null 2>&1; then
    fail "two at once: the intermediate file is still there: $(ls "$VARNELLO_DATA"/movie_*)"
fi
set_tasks_at_once 1
echo "ok: closing during a run stops it and cleans up, one task or two at once"
