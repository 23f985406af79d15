#!/usr/bin/env bash
# What a run does when tasks are done, with the real encoder, the real ViviRarir and the real
# shut-down call:
#  - Stop during the second of three tasks: the first stays "Finished", the second keeps its
#    last progress text, the third is empty, ViviRarir took only the first file, the run ends
#    with the "Converting Finished" box; with the shut-down box checked a stopped run does not
#    shut down either.
#  - Box clear: ViviRarir gets each finished file once, under its final numbered name.
#  - A task whose encoder cannot be started is "Failed", is logged once, gets no ViviRarir, and
#    the run goes on.
#  - A RealMedia task trimmed on the page converts through its intermediate step to the trimmed
#    length and is handed to ViviRarir; a source the video-editing control refuses fails alone.
#  - Two tasks at once: ViviRarir gets each numbered file once, as its task finishes.
#  - Box checked, two tasks at once: the system is shut down once every task has ended, and
#    no box is shown.
# Without iTunes, ViviRarir copies the file into "<My Music>\iTunes\iTunes Media\Automatically
# Add to iTunes" when that folder exists; here My Music is a folder of this test, so the copies
# show what ViviRarir was given.
# Under Wine the shut-down ends every Windows program of the prefix (the Linux machine is not
# touched). It must not end the programs of the session the other tests share, so this test
# runs in a display and Wine prefix of its own, made here and removed at the end. They have a
# fixed place in the build folder: a run killed by ctest's time-out leaves its Xvfb, wineserver
# and prefix there, and the next run ends and removes them before it begins.
set -euo pipefail
: "${VARNELLO_SOURCE:?}"
session_dir="${VARNELLO_BUILD:-$VARNELLO_SOURCE/build}/finishing-session"
export VARNELLO_BUILD_DIR="$session_dir"
# Its prefix is a copy of the build's pristine one.
export VARNELLO_PRISTINE_WINEPREFIX="${VARNELLO_BUILD:-$VARNELLO_SOURCE/build}/wineprefix-pristine"
stop_session() {
    "$VARNELLO_SOURCE/scripts/wine-run.sh" --session-stop >/dev/null 2>&1 || true
    rm -rf "$session_dir"
}
stop_session
mkdir -p "$session_dir"
"$VARNELLO_SOURCE/scripts/wine-run.sh" --session-start || { stop_session; echo "FAIL: no private session" >&2; exit 1; }

source "$(dirname "$0")/lib.sh"
trap 'keep_failure $?; cleanup_e2e; stop_session' EXIT
[ "$WINEPREFIX" = "$session_dir/wineprefix" ] || fail "not in the private prefix: $WINEPREFIX"

# Runs a command up to five times: the first registry writes into a new prefix can fail while
# Wine is still setting it up.
must() {
    local attempt
    for attempt in 1 2 3 4 5; do
        "$@" && return 0
        echo "retrying after a failure: $*" >&2
        sleep 2
    done
    fail "failed five times: $*"
}

music="$E2E_TMP/music"
autoadd="$music/iTunes/iTunes Media/Automatically Add to iTunes"
mkdir -p "$autoadd"
must "$WINE" reg add 'HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\User Shell Folders' \
    /v 'My Music' /t REG_EXPAND_SZ /d "$(winpath "$music")" /f >/dev/null
must "$WINE" reg add 'HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders' \
    /v 'My Music' /t REG_SZ /d "$(winpath "$music")" /f >/dev/null

finished_text="$(printf '%40s%s%40s' '' 'Converting Finished' '')"

# The Progress cell of a row; one quick question, so it may be asked while the encoder runs.
progress_cell() { inspect cell "$1" 4; }
running_progress() { progress_cell "$1" | grep -Eq '^ [0-9]+\.[0-9]{2}%  [0-9]+\.[0-9]{2}MB   Remain Time:'; }
row_finished() { [ "$(progress_cell "$1")" = "Finished" ]; }
task_ended() { case "$(progress_cell "$1")" in Finished | Failed) return 0 ;; esac; return 1; }

# Waits for the box that ends a run, checks its text word for word and closes it.
expect_finished_box() {
    local box text
    wait_for 180 xdotool search --onlyvisible --name '^Information$' || fail "$1: no Information box"
    text="$(inspect boxtext Information)"
    [ "$text" = "[$finished_text]" ] || fail "$1: the box says [$text]"
    box="$(xdotool search --onlyvisible --name '^Information$' | head -1)"
    xdotool windowfocus "$box" 2>/dev/null || true; wait_for 10 has_focus "$box" || true
    xdotool key Return
    wait_for 10 bash -c "! xdotool search --onlyvisible --name '^Information\$'" || fail "$1: the box stayed"
}

expect_video_of() {
    local length
    [ -f "$1" ] || fail "missing output $(basename "$1"); folder holds: $(ls "$(dirname "$1")")"
    length="$(ffprobe -v error -show_entries format=duration -of csv=p=0 "$1")"
    awk -v d="$length" -v want="$2" 'BEGIN { exit !(d > want - 0.7 && d < want + 0.7) }' \
        || fail "$(basename "$1") lasts ${length:-nothing}, not about $2 s"
}

autoadd_files() { ls "$autoadd" | sort | tr '\n' ' '; }

# Starts a run whose second task is long, waits until the second one is encoding, presses Stop.
stop_during_second_task() {
    click_control 1048
    wait_for 120 task_ended 0 || fail "$1: the first task did not end: $(row_cells 0)"
    row_finished 0 || fail "$1: the first task failed: $(row_cells 0); log.txt: $(cat "$VARNELLO_DATA/log.txt" 2>/dev/null)"
    wait_for 60 running_progress 1 || fail "$1: the second task shows no progress: $(row_cells 1)"
    click_control 1049
}

expect_stopped_rows() {
    local last
    row_finished 0 || fail "$1: row 0 is not Finished after the stop: $(row_cells 0)"
    running_progress 1 || fail "$1: row 1 lost its progress text: $(row_cells 1)"
    # Nothing is left to change it once the run's encoders are gone and the page has taken
    # what they sent.
    last="$(progress_cell 1)"
    encoders_gone || fail "$1: encoder processes left after the stop: $(encoder_processes)"
    input_taken
    [ "$(progress_cell 1)" = "$last" ] || fail "$1: row 1 still changes after the stop"
    [ -z "$(progress_cell 2)" ] || fail "$1: row 2 is not empty: $(row_cells 2)"
    control_line 1048 | grep_q 'visible=1' || fail "$1: Start is not back"
    control_line 1049 | grep_q 'visible=0' || fail "$1: Stop is still shown"
}

make_clip "$E2E_TMP/first.avi" 2
# Long enough to be still encoding when Stop is pressed, on any machine.
make_long_clip "$E2E_TMP/long.avi" 600
make_clip "$E2E_TMP/third.avi" 2

# 1. Stop during the second of three tasks, shut-down box clear.
out="$E2E_TMP/stopped"; mkdir -p "$out"
must set_output_dir "$out"
start_varnello
for clip in first long third; do add_file "$E2E_TMP/$clip.avi"; done
[ "$(list_count)" = "3" ] || fail "expected 3 rows, got $(list_count)"
[ "$(inspect checked 1059)" = "0" ] || fail "the shut-down box starts checked"
stop_during_second_task "stop, box clear"
wait_for 60 xdotool search --onlyvisible --name '^Information$' || fail "stop, box clear: no Information box"
expect_stopped_rows "stop, box clear"
expect_finished_box "stop, box clear"
[ "$(autoadd_files)" = "first.mp4 " ] || fail "ViviRarir was given: $(autoadd_files)"
cmp -s "$autoadd/first.mp4" "$out/first.mp4" || fail "ViviRarir was given another first.mp4"
[ ! -e "$out/third.mp4" ] || fail "the third task was started"
encoders_gone || fail "encoder processes left after the stop: $(encoder_processes)"
echo "ok: stop during the second task, box clear"

# 2. The same with the box checked: a stopped run does not shut down.
rm -f "$autoadd"/*
click_control 1059
[ "$(inspect checked 1059)" = "1" ] || fail "the shut-down box did not get checked"
stop_during_second_task "stop, box checked"
wait_for 60 xdotool search --onlyvisible --name '^Information$' \
    || fail "stop, box checked: no Information box (Varnello running: $(prefix_pids 'Varnello[.]exe'))"
expect_stopped_rows "stop, box checked"
expect_finished_box "stop, box checked"
varnello_running || fail "Varnello ended after a stopped run"
prefix_pids_exist 'services[.]exe' || fail "the prefix's services ended after a stopped run"
[ -z "$(autoadd_files)" ] || fail "ViviRarir ran with the box checked: $(autoadd_files)"
encoders_gone || fail "encoder processes left after the second stop: $(encoder_processes)"
close_varnello
echo "ok: stop during the second task, box checked"

# 3. Box clear, no stop: ViviRarir gets each final file once. Three clips of different lengths
# all named clip, into a folder that already holds a clip.mp4: their files are clip_2 (2 s),
# clip_3 (3 s) and clip_4 (4 s).
out="$E2E_TMP/numbered"; mkdir -p "$out"
echo "not a video" > "$out/clip.mp4"
must set_output_dir "$out"
for n in 2 3 4; do mkdir -p "$E2E_TMP/src$n"; make_clip "$E2E_TMP/src$n/clip.avi" "$n"; done
start_varnello
for n in 2 3 4; do add_file "$E2E_TMP/src$n/clip.avi"; done
[ "$(list_count)" = "3" ] || fail "expected 3 rows, got $(list_count)"
click_control 1048
expect_finished_box "box clear"
for n in 2 3 4; do
    row_finished $((n - 2)) || fail "box clear: row $((n - 2)) is not Finished: $(row_text $((n - 2)))"
    expect_video_of "$out/clip_$n.mp4" "$n"
    cmp -s "$autoadd/clip_$n.mp4" "$out/clip_$n.mp4" || fail "ViviRarir's clip_$n.mp4 is not the output"
done
[ "$(autoadd_files)" = "clip_2.mp4 clip_3.mp4 clip_4.mp4 " ] || fail "ViviRarir was given: $(autoadd_files)"
encoders_gone || fail "encoder processes left: $(encoder_processes)"
close_varnello
echo "ok: ViviRarir once per task with the numbered names"

# 3b. The same three tasks two at once, into a folder of their own that already holds a
# clip.mp4: each task's name is reserved as it starts, in list order, so the names are the
# same, and ViviRarir gets each file once, whole, as its task finishes.
set_tasks_at_once 2
rm -f "$autoadd"/*
out="$E2E_TMP/numbered-at-once"; mkdir -p "$out"
echo "not a video" > "$out/clip.mp4"
must set_output_dir "$out"
start_varnello
for n in 2 3 4; do add_file "$E2E_TMP/src$n/clip.avi"; done
click_control 1048
expect_finished_box "box clear, two at once"
for n in 2 3 4; do
    row_finished $((n - 2)) || fail "two at once: row $((n - 2)) is not Finished: $(row_text $((n - 2)))"
    expect_video_of "$out/clip_$n.mp4" "$n"
    cmp -s "$autoadd/clip_$n.mp4" "$out/clip_$n.mp4" || fail "two at once: ViviRarir's clip_$n.mp4 is not the output"
done
[ "$(autoadd_files)" = "clip_2.mp4 clip_3.mp4 clip_4.mp4 " ] || fail "two at once: ViviRarir was given: $(autoadd_files)"
encoders_gone || fail "two at once: encoder processes left: $(encoder_processes)"
close_varnello
set_tasks_at_once 1
echo "ok: two at once, ViviRarir once per task with the numbered names"

# 4. A task whose profile names an encoder that does not exist: it shows "Failed", costs one
# log entry, is not handed to ViviRarir, and the task after it converts all the same.
use_private_dist
awk '/^\[/ { section = $0 }
     section == "[profile1]" && /^Command0=venc[.]exe / { sub(/^Command0=venc[.]exe/, "Command0=no_such_encoder.exe") }
     { print }' "$VARNELLO_DIST/app/iPod_Profile.ini" > "$E2E_TMP/profiles.ini"
grep -q '^Command0=no_such_encoder.exe ' "$E2E_TMP/profiles.ini" || fail "could not break profile1"
mv "$E2E_TMP/profiles.ini" "$VARNELLO_DIST/app/iPod_Profile.ini"
rm -f "$VARNELLO_DATA/log.txt" "$autoadd"/*
out="$E2E_TMP/failed"; mkdir -p "$out"
must set_output_dir "$out"
start_varnello
add_file "$E2E_TMP/src2/clip.avi"
add_file "$E2E_TMP/src3/clip.avi"
inspect select 1024 1 || fail "could not choose profile 1"
# The page keeps the choice with the task: away to the first row and back, the combo shows it.
click_row 0
[ "$(combo_sel 1024)" = "0" ] || fail "the first task shows profile $(combo_sel 1024), not 0"
click_row 1
[ "$(combo_sel 1024)" = "1" ] || fail "the second task shows profile $(combo_sel 1024) after choosing 1"
add_file "$E2E_TMP/src4/clip.avi"
state | grep_q '^combo 1024 sel=0 ' || fail "the third task does not start with profile 0"
click_control 1048
expect_finished_box "missing encoder"
[ "$(progress_cell 0)" = "Finished" ] || fail "missing encoder: row 0: $(row_text 0)"
[ "$(progress_cell 1)" = "Failed" ] || fail "missing encoder: row 1: $(row_text 1)"
[ "$(progress_cell 2)" = "Finished" ] || fail "missing encoder: row 2: $(row_text 2)"
# The failed task wrote nothing, so the third takes the next free name.
expect_video_of "$out/clip.mp4" 2
expect_video_of "$out/clip_2.mp4" 4
[ "$(ls "$out" | wc -l)" = "2" ] || fail "missing encoder: the folder holds $(ls "$out")"
[ "$(autoadd_files)" = "clip.mp4 clip_2.mp4 " ] || fail "ViviRarir was given: $(autoadd_files)"
log="$VARNELLO_DATA/log.txt"
[ -f "$log" ] || fail "no log.txt in the user's data folder"
[ ! -e "$VARNELLO_DIST/app/log.txt" ] || fail "a log.txt was written beside the program"
tr -d '\r' < "$log" > "$E2E_TMP/log"
[ "$(grep -c '^ERROR:' "$E2E_TMP/log")" = "1" ] || fail "the log holds other than one entry: $(cat "$E2E_TMP/log")"
[ "$(sed -n 2p "$E2E_TMP/log")" = "ERROR:   API         =   CreateProcess." ] || fail "log entry: $(cat "$E2E_TMP/log")"
sed -n 3p "$E2E_TMP/log" | grep -Eq '^       error   code   =   [1-9][0-9]*[.]$' || fail "log entry: $(cat "$E2E_TMP/log")"
sed -n 4p "$E2E_TMP/log" | grep -Eq '^       message         =   .+[.]$' || fail "log entry: $(cat "$E2E_TMP/log")"
# Besides the failed call, one entry for the failed task, which names its source.
[ "$(grep -c '^FAILED TASK:' "$E2E_TMP/log")" = "1" ] || fail "the log holds other than one failed task: $(cat "$E2E_TMP/log")"
grep -Eq '^       source          =   .*clip[.]avi$' "$E2E_TMP/log" || fail "the failed task's entry names no source: $(cat "$E2E_TMP/log")"
[ "$(grep -c '^[^ ]' "$E2E_TMP/log")" = "2" ] || fail "the log holds more than the two entries: $(cat "$E2E_TMP/log")"
encoders_gone || fail "encoder processes left: $(encoder_processes)"
close_varnello
echo "ok: a missing encoder fails its task only"

# 5. RealMedia through the page, box clear: a 12 s clip trimmed with the slider's two thumbs to
# 3 s - 9 s, then a source the video-editing control refuses to transcode. The first goes
# through its intermediate step (a file in the user's data folder, from the trimmed start to
# the end time, deleted once the task is done), the encoder reads that file and is stopped
# early at the trimmed length (6 s), the row shows "Finished" and ViviRarir gets the file. The
# refused one leaves no intermediate file; its encoder finds nothing to read, so it is
# "Failed" and not handed on.
rm -f "$VARNELLO_DATA/log.txt" "$autoadd"/* "$VARNELLO_DATA"/movie_* "$VARNELLO_DATA"/refused_*
out="$E2E_TMP/realmedia"; mkdir -p "$out"
must set_output_dir "$out"
make_clip "$E2E_TMP/movie.rm" 12
make_clip "$E2E_TMP/refused.rm" 2
start_varnello
remember_rects
add_file "$E2E_TMP/movie.rm"
row_text 0 | grep_q -F '| movie.rm | 00:00:00 | 00:00:12 |' || fail "realmedia: the added clip reads: $(row_text 0)"
# The thumbs' track is 196 pixels for the 12 s: 49 pixels is 3 s, 147 is 9 s. Each thumb is
# pressed in its middle, so the value follows the pointer exactly.
slider=($(control_rect 1047))
drag_slider_thumb $((slider[0] + 6)) $((slider[0] + 6 + 49))
drag_slider_thumb $((slider[0] + 215)) $((slider[0] + 19 + 147))
trimmed() { row_text 0 | grep_q -F '| movie.rm | 00:00:03 | 00:00:09 |'; }
wait_for 15 trimmed || fail "realmedia: the trimmed row reads: $(row_text 0)"
add_file "$E2E_TMP/refused.rm"
[ "$(list_count)" = "2" ] || fail "realmedia: the refused source was not added: $(list_count) rows, windows: $(inspect topwindows)"
# A file whose length cannot be read is not added at all: the source turns unreadable after it
# was added, so that the video-editing control refuses it when its turn comes.
echo "not a video at all" > "$E2E_TMP/refused.rm"
click_control 1048
intermediates() { ls "$VARNELLO_DATA"/movie_*.avi "$VARNELLO_DATA"/movie_*.mpg 2>/dev/null || true; }
wait_for 120 bash -c "ls '$VARNELLO_DATA'/movie_*.avi '$VARNELLO_DATA'/movie_*.mpg 2>/dev/null | grep -q ." \
    || fail "realmedia: no intermediate file appeared: $(ls "$VARNELLO_DATA")"
# The step's file is complete once the encoder starts, and deleted when the task is done: the
# encoder is held while the file is measured.
encoder_started() { [ -n "$(prefix_pids 'venc[.]exe')" ]; }
wait_for 120 encoder_started || fail "realmedia: no encoder started"
held="$(encoder_processes)"; kill -STOP $held 2>/dev/null || true
intermediate="$(intermediates)"
[ "$(echo "$intermediate" | wc -l)" = "1" ] || { kill -CONT $held 2>/dev/null; fail "realmedia: intermediate files: $intermediate"; }
step_length="$(ffprobe -v error -show_entries format=duration -of csv=p=0 "$intermediate")"
kill -CONT $held 2>/dev/null || true
check "${step_length:-0} > 8" || fail "realmedia: the intermediate file lasts ${step_length:-nothing} s, not the 9 s from the trimmed start to the end time"
expect_finished_box "realmedia"
[ "$(progress_cell 0)" = "Finished" ] || fail "realmedia: row 0: $(row_text 0)"
[ "$(progress_cell 1)" = "Failed" ] || fail "realmedia: the refused source's row: $(row_text 1)"
[ -z "$(intermediates)" ] || fail "realmedia: the intermediate file is left after the run: $(intermediates)"
expect_video_of "$out/movie.mp4" 6
[ -z "$(ls "$VARNELLO_DATA" | grep '^refused_')" ] || fail "realmedia: the refused source left $(ls "$VARNELLO_DATA" | grep '^refused_')"
[ "$(ls "$out")" = "movie.mp4" ] || fail "realmedia: the output folder holds $(ls "$out")"
[ "$(autoadd_files)" = "movie.mp4 " ] || fail "realmedia: ViviRarir was given: $(autoadd_files)"
cmp -s "$autoadd/movie.mp4" "$out/movie.mp4" || fail "realmedia: ViviRarir was given another movie.mp4"
encoders_gone || fail "realmedia: encoder processes left: $(encoder_processes)"
close_varnello
echo "ok: a trimmed RealMedia task converts through its intermediate step; a refused source fails alone"

# 6. Box checked, no stop, three tasks two at once (the system can be shut down once only in
# this prefix, so this pass is the one with several at once): all three are converted, the
# 12 s one whole although the two short ones end long before it, then the system is shut
# down, which under Wine ends every program of the prefix, Varnello and Wine's own services
# included. No box may appear meanwhile, and ViviRarir runs for no task.
set_tasks_at_once 2
rm -f "$autoadd"/*
out="$E2E_TMP/shutdown"; mkdir -p "$out"
must set_output_dir "$out"
make_clip "$E2E_TMP/twelve.avi" 12
start_varnello
add_file "$E2E_TMP/twelve.avi"
add_file "$E2E_TMP/first.avi"
add_file "$E2E_TMP/third.avi"
click_control 1059
[ "$(inspect checked 1059)" = "1" ] || fail "the shut-down box did not get checked"
prefix_pids_exist 'services[.]exe' || fail "no Wine services before the run"
click_control 1048
deadline=$((SECONDS + 180))
while varnello_running; do
    if xdotool search --onlyvisible --name '^(Information|Warning)$' >/dev/null 2>&1; then
        fail "box checked: a box was shown: $(inspect topwindows)"
    fi
    [ $SECONDS -lt $deadline ] || fail "box checked: Varnello still runs 180 s after Start: $(row_cells 0) $(row_cells 1)"
    sleep 0.2
done
wait_for 20 no_prefix_pids 'services[.]exe|explorer[.]exe' \
    || fail "box checked: Varnello ended but the system was not shut down: $(prefix_pids 'services[.]exe|explorer[.]exe')"
expect_video_of "$out/twelve.mp4" 12
expect_video_of "$out/first.mp4" 2
expect_video_of "$out/third.mp4" 2
[ -z "$(autoadd_files)" ] || fail "ViviRarir ran with the box checked: $(autoadd_files)"
encoders_gone || fail "encoder processes left: $(encoder_processes)"
echo "ok: stopped runs, ViviRarir and the shut-down behave as the check box says"
