#!/usr/bin/env bash
# A whole conversion run with the real encoder on real clips: outputs never overwrite a file
# already in the folder (nor each other), a title full of path and shell characters becomes a
# safe file name and intact metadata, a second Start converts everything again, no encoder
# process outlives the run, files and titles named in any language convert as named, and
# profiles picked in the profile combo give outputs within their own limits. Then two tasks at
# once: tasks titled alike get names of their own, a RealMedia task converts among plain ones,
# and a task whose source has gone fails alone.
source "$(dirname "$0")/lib.sh"
source "$VARNELLO_SOURCE/encoder/tests/profile_limits.sh"
trap 'keep_failure $?; clear_output_dir; cleanup_e2e' EXIT

# Waits for the "Information" box that ends a run and closes it with Enter.
close_finished_box() {
    local box
    wait_for 180 xdotool search --onlyvisible --name '^Information$' || fail "$1: the run did not finish"
    box="$(xdotool search --onlyvisible --name '^Information$' | head -1)"
    xdotool windowfocus "$box" 2>/dev/null || true; wait_for 10 has_focus "$box" || true
    xdotool key Return
    wait_for 10 bash -c "! xdotool search --onlyvisible --name '^Information\$'" || fail "$1: the box stayed"
}

expect_rows_finished() {
    local row
    for row in $(seq 0 $(( $1 - 1 ))); do
        row_text "$row" | grep_q '| Finished' || fail "$2: row $row is not Finished: $(row_text "$row")"
    done
}

# A real, playable video of about the clip's length.
expect_video() {
    local length
    [ -f "$1" ] || fail "missing output $(basename "$1"); folder holds: $(ls "$(dirname "$1")")"
    length="$(ffprobe -v error -show_entries format=duration -of csv=p=0 "$1")"
    awk -v d="$length" 'BEGIN { exit !(d > 1.5 && d < 4) }' || fail "$(basename "$1") lasts ${length:-nothing}"
    ffprobe -v error -select_streams v -show_entries stream=codec_type -of csv=p=0 "$1" | grep_q video \
        || fail "$(basename "$1") has no video stream"
}

make_clip "$E2E_TMP/clip.avi" 2

# 1. Three tasks from the same file into a folder that already holds clip.mp4.
out="$E2E_TMP/out"; mkdir -p "$out"
echo "not to be touched" > "$out/clip.mp4"
set_output_dir "$out"
start_varnello
for i in 1 2 3; do add_file "$E2E_TMP/clip.avi"; done
[ "$(list_count)" = "3" ] || fail "expected 3 rows, got $(list_count)"
click_control 1048
close_finished_box "first run"
expect_rows_finished 3 "first run"
for n in 2 3 4; do expect_video "$out/clip_$n.mp4"; done
[ "$(cat "$out/clip.mp4")" = "not to be touched" ] || fail "the existing clip.mp4 was overwritten"
[ "$(ls "$out" | wc -l)" = "4" ] || fail "unexpected files after the first run: $(ls "$out")"

# 2. A second Start converts every task again, each under a new name.
click_control 1048
close_finished_box "second run"
expect_rows_finished 3 "second run"
for n in 5 6 7; do expect_video "$out/clip_$n.mp4"; done
[ "$(ls "$out" | wc -l)" = "7" ] || fail "unexpected files after the second run: $(ls "$out")"
encoders_gone || fail "encoder processes left after the runs: $(encoder_processes)"
close_varnello

# 3. A title with a slash, a colon, double quotes and something that looks like an option.
title='a/b: "c" -y'
out2="$E2E_TMP/titled"; mkdir -p "$out2"
set_output_dir "$out2"
start_varnello
add_file "$E2E_TMP/clip.avi"
inspect settext 1023 "$title" || fail "could not set the title"
# The page takes it for the task: its Output cell shows the title as typed.
row_text 0 | grep_q -F "| $title.mp4 |" || fail "the titled row reads: $(row_text 0)"
click_control 1048
close_finished_box "titled run"
expect_rows_finished 1 "titled run"
expected='a_b_ _c_ -y.mp4'
expect_video "$out2/$expected"
[ "$(ls "$out2" | wc -l)" = "1" ] || fail "the titled run wrote other files: $(ls "$out2")"
tag="$(ffprobe -v error -show_entries format_tags=title -of default=nw=1:nk=1 "$out2/$expected")"
[ "$tag" = "a/b: 'c' -y" ] || fail "title metadata is [$tag]"
encoders_gone || fail "encoder processes left after the titled run: $(encoder_processes)"
close_varnello

# 4. Names in any language, converted in one run into a folder with a Japanese name: each
#    source chosen in the Open dialog, one of them given a Greek title pasted into the title
#    box, four others titles typed in Japanese, Greek, Cyrillic and Korean with an emoji (as
#    the keyboard sends them: one WM_CHAR per UTF-16 unit, which xdotool cannot do). Each row
#    shows its name, each output is named after its title and tagged with it, and nothing is
#    written under a "?" name. The RealMedia one goes through an intermediate file named
#    after it.
names=("日本の旅" "Ελληνικά" "Привет мир" "Café crème" "🎬 clip")
extensions=(avi avi rm avi avi)
greek="Πρώτο μέρος"
out3="$E2E_TMP/出力"; mkdir -p "$out3"
set_output_dir "$out3"
start_varnello
remember_rects
for i in "${!names[@]}"; do
    source_file="$E2E_TMP/src$i/${names[$i]}.${extensions[$i]}"
    mkdir -p "$E2E_TMP/src$i"
    make_clip "$source_file" 2
    add_file "$source_file"
    row_text "$i" | grep_q -F "| ${names[$i]}.${extensions[$i]} | 00:00:00 | 00:00:02 | ${names[$i]}.mp4 |" \
        || fail "row $i reads: $(row_text "$i")"
done
control_line 1023 | grep_q -F "text=${names[4]}" || fail "the title box shows: $(control_line 1023)"
click_row 3
inspect clip "$greek" || fail "could not put the title on the clipboard"
click_control 1023; xdotool key End shift+Home ctrl+v
wait_for 15 title_is "$greek" || fail "the pasted title reads: $(control_line 1023)"
row_text 3 | grep_q -F "| $greek.mp4 |" || fail "the retitled row reads: $(row_text 3)"
titles=("東京の夜" "Καλημέρα κόσμε" "Добрый вечер" "$greek" "한국어 제목 🎥")
for i in 0 1 2 4; do
    click_row "$i"
    inspect type 1023 "${titles[$i]}" || fail "could not type into the title box"
    wait_for 15 title_is "${titles[$i]}" || fail "the typed title reads: $(control_line 1023)"
    row_text "$i" | grep_q -F "| ${titles[$i]}.mp4 |" || fail "the row typed in reads: $(row_text "$i")"
done
click_control 1048
close_finished_box "run with names in any language"
expect_rows_finished 5 "run with names in any language"
for title in "${titles[@]}"; do
    expect_video "$out3/$title.mp4"
    tag="$(ffprobe -v error -show_entries format_tags=title -of default=nw=1:nk=1 "$out3/$title.mp4")"
    [ "$tag" = "$title" ] || fail "$title.mp4 has the title tag [$tag]"
done
[ "$(ls "$out3" | wc -l)" = "5" ] || fail "the run wrote: $(ls "$out3")"
! find "$E2E_TMP" "$VARNELLO_DIST" -name '*\?*' | grep . || fail "something was written under a \"?\" name"
encoders_gone || fail "encoder processes left after the run: $(encoder_processes)"
close_varnello
# 5. Two tasks, each given one of the newer devices' profiles in the open profile combo: the
#    720p Main one and the 48 kHz iPod classic one, found by their titles. Each output keeps
#    the limits of its profile's own command line in the shipped file.
ini="$VARNELLO_DIST/app/iPod_Profile.ini"
profile_index() {
    local n
    for n in $(seq 0 $(( $(profile_count "$ini") - 1 ))); do
        [[ "$(profile_title "$ini" "$n")" == $1* ]] && { echo "$n"; return; }
    done
    fail "no profile titled $1..."
}
hd="$(profile_index "iPhone, iPad: H.264 Main")"; classic="$(profile_index "iPod classic, nano")"
out4="$E2E_TMP/devices"; mkdir -p "$out4"
set_output_dir "$out4"
start_varnello
remember_rects
add_file "$E2E_TMP/clip.avi"
inspect settext 1023 "For the iPad" || fail "could not set the title"
click_control 1024
point=""
for _ in $(seq 50); do point="$(inspect dropitem "$hd")" && break; sleep 0.2; done
[ -n "$point" ] || fail "the profile combo opened no list showing item $hd"
shot profiles
xdotool mousemove $point click 1; input_taken
[ "$(combo_sel 1024)" = "$hd" ] || fail "the profile combo shows item $(combo_sel 1024), not $hd"
add_file "$E2E_TMP/clip.avi"
pick_combo_item 1024 "$classic"
click_control 1048
close_finished_box "run with device profiles"
expect_rows_finished 2 "run with device profiles"
for task in "For the iPad|$hd" "clip|$classic"; do
    name="${task%|*}"; n="${task#*|}"
    broken="$(check_profile_output "$out4/$name.mp4" "$(profile_template "$ini" "$n")" "$name" 25)"
    [ -z "$broken" ] || fail "$name.mp4 from profile $n: $(echo "$broken" | paste -sd ';')"
done
[ "$(ls "$out4" | wc -l)" = "2" ] || fail "the run with device profiles wrote: $(ls "$out4")"
close_varnello

# 6. Two tasks at once: four plain tasks and a RealMedia one, all titled clip, and a task whose
#    source is gone by the time the run starts, into a folder that already holds clip.mp4.
#    Two encoders run together; every clip task gets a name of its own and a whole video, the
#    RealMedia one through its intermediate step; the task without a source fails alone, with
#    one entry in the log. The number is chosen in the window menu, as a person does, and
#    cannot be changed during the run.
out5="$E2E_TMP/at-once"; mkdir -p "$out5"
echo "not to be touched" > "$out5/clip.mp4"
set_output_dir "$out5"
mkdir -p "$E2E_TMP/rm"; make_clip "$E2E_TMP/rm/clip.rm" 2
make_clip "$E2E_TMP/gone.avi" 2
rm -f "$VARNELLO_DATA/log.txt"
start_varnello
open_videos_at_once_menu
xdotool key 2
wait_for 10 no_menus_open || fail "two at once: the window menu stayed open after a choice"
wait_for 10 tasks_at_once_is 2 || fail "two at once: choosing 2 in the menu stored '$(tasks_at_once_setting)'"
for source in clip.avi clip.avi gone.avi rm/clip.rm clip.avi clip.avi; do add_file "$E2E_TMP/$source"; done
[ "$(list_count)" = "6" ] || fail "two at once: expected 6 rows, got $(list_count)"
rm -f "$E2E_TMP/gone.avi"
click_control 1048
two_encoders() { [ "$(prefix_pids 'venc[.]exe' | wc -l)" -ge 2 ]; }
wait_for 60 two_encoders || fail "two at once: never two encoders together: $(encoder_processes)"
# During the run the choices are grey: "1" is not taken.
open_videos_at_once_menu
xdotool key 1 Escape Escape
wait_for 10 no_menus_open || fail "two at once: the window menu did not close"
input_taken
[ "$(tasks_at_once_setting)" = 2 ] || fail "two at once: the setting changed during the run to '$(tasks_at_once_setting)'"
close_finished_box "two at once"
for row in 0 1 3 4 5; do
    row_text "$row" | grep_q '| Finished' || fail "two at once: row $row is not Finished: $(row_text "$row")"
done
row_text 2 | grep_q '| Failed' || fail "two at once: the task without a source reads: $(row_text 2)"
for n in 2 3 4 5 6; do expect_video "$out5/clip_$n.mp4"; done
[ "$(cat "$out5/clip.mp4")" = "not to be touched" ] || fail "two at once: the existing clip.mp4 was overwritten"
[ "$(ls "$out5" | wc -l)" = "6" ] || fail "two at once: the folder holds: $(ls "$out5")"
[ "$(tr -d '\r' <"$VARNELLO_DATA/log.txt" | grep -c '^FAILED TASK:')" = "1" ] \
    || fail "two at once: the log holds: $(cat "$VARNELLO_DATA/log.txt")"
grep_q -F "gone.avi" "$VARNELLO_DATA/log.txt" || fail "two at once: the failed task is not named: $(cat "$VARNELLO_DATA/log.txt")"
wait_for 15 bash -c "! ls '$VARNELLO_DATA'/clip_*.avi '$VARNELLO_DATA'/clip_*.mpg 2>/dev/null | grep -q ." \
    || fail "two at once: the intermediate file is left: $(ls "$VARNELLO_DATA")"
encoders_gone || fail "two at once: encoder processes left after the run: $(encoder_processes)"
close_varnello
set_tasks_at_once 1
echo "ok: conversion runs name, convert and tag their outputs, in any language, one or two at a time"
