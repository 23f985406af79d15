#!/usr/bin/env bash
# A conversion run set up and watched as a person does it: one task trimmed with both thumbs
# of the slider, sizes and a title chosen in the panel; during the run each row's Progress
# cell shows percentage, size and remaining time, and Add, Remove, Remove all, row clicks,
# a size and a title change no task while a profile change does; the outputs have the
# trimmed lengths, the titles and the sizes; a second Start writes name_2.mp4 files.
#
# To act and look during a run without racing a fast encoder, the test holds the encoder's
# worker, ffmpeg.exe (SIGSTOP), while it acts, and lets it go on (SIGCONT) afterwards: to the
# program this is only an encoder that is slow to report, and its window stays serviced.
# venc.exe itself is never held: while a Wine process starts, its parent waits for it.
source "$(dirname "$0")/lib.sh"
trap 'keep_failure $?; release_encoder; clear_output_dir; cleanup_e2e' EXIT

workers() { prefix_pids 'ffmpeg[.]exe'; }
release_encoder() { local p; p="$(workers)"; [ -z "$p" ] || kill -CONT $p 2>/dev/null || true; }
# The window has taken everything queued before it once it answers a look of two messages
# (one round of its message loop takes the queue, the next answers).
settle() { inspect glance sel:1024 >/dev/null || fail "the window does not answer during the run"; }
# Picks a combo item during the run: open the list, find the item, click it.
pick_during_run() {
    local point=""
    click_control "$1"; settle
    point="$(inspect dropitem "$2")" || fail "combo $1 did not open during the run"
    xdotool mousemove $point click 1; settle
}

make_long_clip "$E2E_TMP/long.avi" 60 -r 50
make_clip "$E2E_TMP/b.mpg" 6 -c:v mpeg1video -c:a mp2 -ar 44100
make_clip "$E2E_TMP/c.avi" 4
out="$E2E_TMP/out"; mkdir -p "$out"
set_output_dir "$out"

# Waits for the box that ends a run, checks its text and closes it with Enter.
finish_run() {
    local box
    wait_for 300 xdotool search --onlyvisible --name '^Information$' || fail "$1: the run did not finish"
    inspect boxtext Information | grep_q '^\[ *Converting Finished *\]$' \
        || fail "$1: the box says: $(inspect boxtext Information)"
    box="$(xdotool search --onlyvisible --name '^Information$' | head -1)"
    xdotool windowfocus "$box" 2>/dev/null || true; wait_for 10 has_focus "$box" || true
    xdotool key Return
    wait_for 10 bash -c "! xdotool search --onlyvisible --name '^Information\$'" || fail "$1: the box stayed"
}
# An output file: expect_output NAME SECONDS WIDTHxHEIGHT TITLE
expect_output() {
    local f="$out/$1" length size title
    [ -f "$f" ] || fail "missing output $1; the folder holds: $(ls "$out")"
    length="$(ffprobe -v error -show_entries format=duration -of csv=p=0 "$f")"
    check "$length > $2 - 0.1 && $length < $2 + 0.1" || fail "$1 lasts $length s, expected $2"
    size="$(ffprobe -v error -select_streams v:0 -show_entries stream=width,height -of csv=s=x:p=0 "$f")"
    [ "$size" = "$3" ] || fail "$1 is $size, expected $3"
    title="$(ffprobe -v error -show_entries format_tags=title -of default=nw=1:nk=1 "$f")"
    [ "$title" = "$4" ] || fail "$1 has the title [$title], expected [$4]"
}

start_varnello
remember_rects
focus_varnello
add_file "$E2E_TMP/long.avi"; add_file "$E2E_TMP/b.mpg"; add_file "$E2E_TMP/c.avi"

# Row 0: the left thumb to 70 and the right one to 169 of the track's 196 pixels (21.4 s and
# 51.8 s of 60 s), pressing each thumb in its middle; 240 x 176; a new title.
click_row 0
slider=($(control_rect 1047))
drag_slider_thumb $((slider[0] + 6)) $((slider[0] + 6 + 70))
drag_slider_thumb $((slider[0] + 215)) $((slider[0] + 19 + 169))
row_text 0 | grep_q -F '| long.avi | 00:00:21 | 00:00:51 |' || fail "the trimmed row reads: $(row_text 0)"
pick_combo_item 1026 1
type_title "First part"
settle; shot three-tasks
# Row 1: 384 x 160. Row 2 stays at the defaults and is current during the run.
click_row 1
pick_combo_item 1026 5
click_row 2
[ "$(list_mark)" = "2" ] || fail "the third row is not current"

# 1. Start. The encoder starts freely (a Wine process needs a while to start) and is held
#    once it is writing the first output file (1500 frames, far more than it can encode
#    before the test holds it); then it goes on in short steps until a row shows progress.
row0="$(inspect rowpoint 0)"
click_control 1048
deadline=$((SECONDS + 60))
until [ -s "$out/First part.mp4" ] && [ -n "$(workers)" ]; do
    [ $SECONDS -lt $deadline ] || fail "the encoder did not start writing"
    sleep 0.02
done
kill -STOP $(workers) 2>/dev/null || true
progress_re='^cell [0-9] 4= +[0-9]+\.[0-9]{2}%  [0-9]+\.[0-9]{2}MB   Remain Time:[0-9]{2}:[0-9]{2}:[0-9]{2}$'
deadline=$((SECONDS + 120))
until g="$(inspect glance cell:0:4 cell:1:4 cell:2:4)" && grep -qE "$progress_re" <<<"$g"; do
    [ $SECONDS -lt $deadline ] || fail "no row showed its progress during the run: $g"
    p="$(workers)"; kill -CONT $p 2>/dev/null || true; sleep 0.05; kill -STOP $p 2>/dev/null || true
    sleep 0.5
done
echo "during the run:"; echo "$g"
grep -q '^stop visible=1$' <<<"$g" || fail "Stop is not shown during the run"
grep -q '^cell 2 4=$' <<<"$g" || fail "the third row had started before the test looked: $g"
read -r percent megabytes <<<"$(grep -E "$progress_re" <<<"$g" | head -1 | sed -E 's/.*= +([0-9.]+)%  ([0-9.]+)MB .*/\1 \2/')"
check "$percent > 0 && $percent <= 100 && $megabytes > 0" || fail "implausible progress: $g"
settle; shot converting

# 2. While the run goes on, none of these changes a task: Add, Remove, Remove all, a click
#    on another row, a size, a title...
click_control 1012; settle; settle
! xdotool search --onlyvisible --name '^Open$' >/dev/null || fail "Add opened a file dialog during the run"
click_control 1013; click_control 1014
drop_paths "$E2E_TMP/b.mpg"; settle   # a drop adds nothing either
xdotool mousemove $row0 click 1; settle
pick_during_run 1026 0
click_control 1023; settle
xdotool key End BackSpace; xdotool type --delay 30 "Changed"; settle
g="$(inspect glance cell:2:3 sel:1026 text:1023)"
grep -q '^list count=3$' <<<"$g" || fail "Remove, Remove all or a drop changed the list during the run: $g"
grep -q '^text 1023=Changed$' <<<"$g" || fail "the typed title is not in the edit: $g"
grep -q '^sel 1026=0$' <<<"$g" || fail "the size combo did not take the choice: $g"
grep -q '^cell 2 3=c.mp4$' <<<"$g" || fail "the title typed during the run reached the task: $g"
# ... but a profile does: the current (third) task gets profile 5, 416 x 176.
pick_during_run 1024 5
g="$(inspect glance cell:2:4 sel:1024)"
grep -q '^sel 1024=5$' <<<"$g" || fail "the profile combo did not take the choice: $g"
grep -q '^settings enabled=000000000$' <<<"$g" || fail "profile 5 left the settings enabled: $g"
grep -q '^stop visible=1$' <<<"$g" || fail "the run ended while the test was still acting: $g"
grep -q '^cell 2 4=$' <<<"$g" || fail "the third row started before its profile was changed: $g"
release_encoder

finish_run "first run"
s="$(state)"
for r in 0 1 2; do grep -q "^row $r .*| Finished$" <<<"$s" || fail "row $r is not Finished: $(grep "^row $r " <<<"$s")"; done
expect_output "First part.mp4" 30 240x176 "First part"
expect_output "b.mp4" 6 384x160 "b"
expect_output "c.mp4" 4 416x176 "c"
[ "$(ls "$out" | wc -l)" = "3" ] || fail "the first run wrote: $(ls "$out")"
shot finished

# The click on the first row during the run did not make it current, nor may it leave the
# list's selection there: the slider, showing the third task, stores its range in the
# selected row, so a click on the slider now must leave the first row's trim alone.
s="$(state)"
grep -q '^list count=3 mark=2$' <<<"$s" && grep -q '^row 2 state=3 ' <<<"$s" \
    || fail "after the run the selection is not on the current row: $(grep '^list \|^row' <<<"$s")"
click_in_control 1047 111 9
row_text 0 | grep_q -F '| long.avi | 00:00:21 | 00:00:51 |' \
    || fail "a click on the slider after the run changed the first row: $(row_text 0)"

# 3. Start again: every task is converted again under a numbered name.
click_control 1048
finish_run "second run"
expect_output "First part_2.mp4" 30 240x176 "First part"
expect_output "b_2.mp4" 6 384x160 "b"
expect_output "c_2.mp4" 4 416x176 "c"
[ "$(ls "$out" | wc -l)" = "6" ] || fail "after the second run the folder holds: $(ls "$out")"
encoders_gone || fail "encoder processes left after the runs: $(encoder_processes)"
close_varnello
echo "ok: a run converts what was set up, shows its progress and ignores changes made meanwhile"
