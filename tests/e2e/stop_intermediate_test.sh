#!/usr/bin/env bash
# The Stop button while a RealMedia task is being transcoded into its intermediate file: the
# file is deleted, the run ends with its box, the task is not finished, no encoder is started
# for it and no transcoding process is left. Then the step's writer killed part-way: the task
# fails with a log entry instead of converting the cut-off file.
source "$(dirname "$0")/lib.sh"
trap 'keep_failure $?; clear_output_dir; cleanup_e2e' EXIT
# A private copy of the program, so that nothing here touches the shared staging folder.
use_private_dist

intermediate_files() { ls "$VARNELLO_DATA"/movie_*.avi "$VARNELLO_DATA"/movie_*.mpg 2>/dev/null || true; }
has_intermediate() { [ -n "$(intermediate_files)" ]; }
has_no_intermediate() { [ -z "$(intermediate_files)" ]; }
# The Progress cell while the intermediate step writes: its percentage (the bar's first half)
# and the time left, without a size.
intermediate_progress() {
    inspect cell 0 4 | grep -Eq '^ ([0-9]|[1-4][0-9])[.][0-9]{2}%    Remain Time:[0-9]{2}:[0-9]{2}:[0-9]{2}$'
}
finished_text="$(printf '%40s%s%40s' '' 'Converting Finished' '')"

out="$E2E_TMP/out"; mkdir -p "$out"
set_output_dir "$out"
# Long enough that the transcoding still runs when Stop is pressed.
make_long_clip "$E2E_TMP/movie.rm" 600
start_varnello
add_file "$E2E_TMP/movie.rm"
click_control 1048
wait_for 60 has_intermediate || fail "no intermediate file appeared"
# The step has begun writing; its progress shows in the first half of the bar.
wait_for 60 bash -c "[ -s \"\$(ls '$VARNELLO_DATA'/movie_*.* | head -1)\" ]" || fail "the intermediate file stays empty"
wait_for 60 intermediate_progress || fail "the intermediate step shows no progress: [$(inspect cell 0 4)]"
click_control 1049
wait_for 60 xdotool search --onlyvisible --name '^Information$' || fail "the stopped run shows no Information box"
[ "$(inspect boxtext Information)" = "[$finished_text]" ] || fail "the box says $(inspect boxtext Information)"
has_no_intermediate || fail "the intermediate file is still there: $(intermediate_files)"
# Neither "Finished" nor "Failed" nor empty: the stopped task keeps the step's last progress.
intermediate_progress || fail "the stopped task shows [$(inspect cell 0 4)], not the intermediate step's progress"
encoders_gone || fail "processes left after the stop: $(encoder_processes)"
# Nothing may bring the file back once the transcoding process has gone.
has_no_intermediate || fail "the intermediate file came back: $(intermediate_files)"
[ -z "$(ls "$out")" ] || fail "an encoder wrote into the output folder: $(ls "$out")"
control_line 1048 | grep_q 'visible=1' || fail "Start is not back after the stop"
box="$(xdotool search --onlyvisible --name '^Information$' | head -1)"
xdotool windowfocus "$box" 2>/dev/null || true; wait_for 10 has_focus "$box" || true
xdotool key Return
wait_for 10 bash -c "! xdotool search --onlyvisible --name '^Information\$'" || fail "the box stayed"

# The control's writer dies part-way (killed, a crash, a full disk): the control still reports
# its step finished, but the cut-off file must not be converted as the whole range. The task
# fails with an entry in log.txt and nothing is handed to the encoder.
rm -f "$VARNELLO_DATA/log.txt"
click_control 1048
wait_for 60 bash -c "[ -s \"\$(ls '$VARNELLO_DATA'/movie_*.* 2>/dev/null | head -1)\" ]" || fail "second run: no intermediate file"
wait_for 60 intermediate_progress || fail "second run: no progress of the step: [$(inspect cell 0 4)]"
writer="$(prefix_pids 'ffmpeg[.]exe')"
[ -n "$writer" ] || fail "second run: no writing process to end"
kill -9 $writer
wait_for 60 xdotool search --onlyvisible --name '^Information$' || fail "the run with a dead writer did not end"
[ "$(inspect cell 0 4 | sed 's/^ *//')" = "Failed" ] || fail "the task whose step died shows [$(inspect cell 0 4)]"
[ -z "$(ls "$out")" ] || fail "the cut-off intermediate file was converted: $(ls "$out")"
grep_q -F "movie.rm" "$VARNELLO_DATA/log.txt" 2>/dev/null || fail "log.txt names no failed task: $(cat "$VARNELLO_DATA/log.txt" 2>/dev/null)"
grep_q -F "intermediate" "$VARNELLO_DATA/log.txt" || fail "log.txt does not say the step failed: $(cat "$VARNELLO_DATA/log.txt")"
wait_for 15 has_no_intermediate || fail "the cut-off intermediate file stayed: $(intermediate_files)"
box="$(xdotool search --onlyvisible --name '^Information$' | head -1)"
xdotool windowfocus "$box" 2>/dev/null || true; wait_for 10 has_focus "$box" || true
xdotool key Return
wait_for 10 bash -c "! xdotool search --onlyvisible --name '^Information\$'" || fail "the second box stayed"
close_varnello
echo "ok: Stop during the intermediate step removes its file and ends the run; a writer that dies fails its task"
