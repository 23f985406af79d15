#!/usr/bin/env bash
# The output settings panel on the real window with mouse and keys: each task keeps its own
# settings and title as rows are clicked, the Output cell follows the title as it is typed,
# a profile other than the first disables the nine settings, removing rows leaves the panel
# showing the task that became current (or the defaults), a folder chosen with Browse is
# shown again at the next start, and the tasks' settings, titles, trims and profiles are saved
# as they change, so a program ended without closing keeps them.
source "$(dirname "$0")/lib.sh"
chosen="$WINEPREFIX/drive_c/varnello-e2e-out"
trap 'keep_failure $?; clear_output_dir; rm -rf "$chosen"; cleanup_e2e' EXIT

make_clip "$E2E_TMP/a.avi" 2
make_clip "$E2E_TMP/b.mpg" 3 -c:v mpeg1video -c:a mp2 -ar 44100
make_clip "$E2E_TMP/c.avi" 4

setting_combos="1025 1026 1027 1028 1029 1030 1031 1032 1033"
# The panel shows: expect_panel TITLE PROFILE VIDEO_SIZE ENABLED(0|1) WHEN [STATE]
expect_panel() {
    local s="${6:-$(state)}" id
    grep -q "^control 1023 .* text=$1\$" <<<"$s" || fail "$5: title edit: $(echo "$s" | grep '^control 1023 ')"
    grep -q "^combo 1024 sel=$2 " <<<"$s" || fail "$5: profile: $(echo "$s" | grep '^combo 1024 ')"
    grep -q "^combo 1026 sel=$3 " <<<"$s" || fail "$5: video size: $(echo "$s" | grep '^combo 1026 ')"
    for id in $setting_combos; do
        grep -q "^control $id ComboBox .* enabled=$4 " <<<"$s" || fail "$5: combo $id enabled is not $4"
    done
}
# Row R is current: the list's mark, selected and focused: expect_current R WHEN [STATE]
expect_current() {
    local s="${3:-$(state)}"
    grep -q "^row $1 state=3 " <<<"$s" || fail "$2: row $1 is not the selected, focused row"
    grep -q "^list count=[0-9]* mark=$1\$" <<<"$s" || fail "$2: $(grep '^list ' <<<"$s"), expected mark $1"
}

clear_output_dir
start_varnello
remember_rects
focus_varnello
add_file "$E2E_TMP/a.avi"; add_file "$E2E_TMP/b.mpg"; add_file "$E2E_TMP/c.avi"
[ "$(list_count)" = "3" ] || fail "expected 3 rows, got $(list_count)"
expect_panel c 0 3 1 "after adding"

# 1. The first row: its settings are shown; change its size and title.
click_row 0
s="$(state)"
expect_current 0 "first row clicked" "$s"
expect_panel a 0 3 1 "first row clicked" "$s"
pick_combo_item 1026 1
[ "$(combo_sel 1026)" = "1" ] || fail "Video Size did not take the choice: $(combo_sel 1026)"
type_title "Beach day"
row_text 0 | grep_q -F "| Beach day.mp4 |" || fail "the Output cell did not follow the title: $(row_text 0)"
shot settings

# 2. The second row shows its own (default) values; give it another size.
click_row 1
s="$(state)"
expect_current 1 "second row clicked" "$s"
expect_panel b 0 3 1 "second row clicked" "$s"
pick_combo_item 1026 4
# 3. Back to the first: each task kept its own values; the third was never touched.
click_row 0
expect_panel "Beach day" 0 1 1 "first row again"
click_row 2
expect_panel c 0 3 1 "third row"
click_row 1
expect_panel b 0 4 1 "second row again"
row_text 1 | grep_q -F "| b.mp4 |" || fail "the second row's output changed: $(row_text 1)"

# 4. A profile other than entry 0 disables the nine settings; entry 0 enables them again
#    showing what they showed; each task keeps its profile.
pick_combo_item 1024 5
expect_panel b 5 4 0 "second row on profile 5"
click_row 0
expect_panel "Beach day" 0 1 1 "first row while the second is on profile 5"
# A task on another profile does not load the nine combos: they stay as the first row left
# them, disabled; entry 0 enables them as they are, and the task's own size is shown once
# the row is chosen again.
click_row 1
expect_panel b 5 1 0 "second row, profile 5, shown again"
pick_combo_item 1024 0
expect_panel b 0 1 1 "second row back on entry 0"
click_row 0; click_row 1
expect_panel b 0 4 1 "second row chosen again"
pick_combo_item 1024 2

# 5. Removing rows: the middle (current) row goes and the task that moved up is current;
#    then the last row while current, then all rows.
click_control 1013
[ "$(list_count)" = "2" ] || fail "middle row not removed: $(list_count) rows"
s="$(state)"
expect_current 1 "middle row removed" "$s"
expect_panel c 0 3 1 "middle row removed" "$s"
click_control 1013
[ "$(list_count)" = "1" ] || fail "last row not removed: $(list_count) rows"
s="$(state)"
expect_current 0 "last row removed" "$s"
expect_panel "Beach day" 0 1 1 "last row removed" "$s"
pick_combo_item 1024 3
expect_panel "Beach day" 3 1 0 "the only row on profile 3"
click_control 1014
[ "$(list_count)" = "0" ] || fail "Remove all left $(list_count) rows"
expect_panel "" 0 3 1 "all rows removed"

# 6. The output folder: the shell's own folder browser, driven by keys (type-ahead in its
#    tree: My Computer, the C: drive, then our folder, the only one there starting with v).
mkdir -p "$chosen"
control_line 1021 | grep_q -E 'text=[Cc]:\\users\\[^\\]+\\Videos$' || fail "with no folder stored the edit shows: $(control_line 1021)"
open_browser() {
    local dialog
    click_control 1022
    wait_for 15 xdotool search --onlyvisible --name '^Browse for Folder$' || fail "no folder browser"
    dialog="$(xdotool search --onlyvisible --name '^Browse for Folder$' | head -1)"
    xdotool windowfocus "$dialog" 2>/dev/null || true
    wait_for 10 has_focus "$dialog" || fail "the folder browser did not take the focus"
    input_taken
}
browser_gone() { wait_for 10 bash -c "! xdotool search --onlyvisible --name '^Browse for Folder\$'"; }
open_browser
xdotool key Escape
browser_gone || fail "Escape did not close the folder browser"
control_line 1021 | grep_q -E 'text=[Cc]:\\users\\[^\\]+\\Videos$' || fail "a cancelled browser changed the folder: $(control_line 1021)"
open_browser
xdotool key m; input_taken; xdotool key Right; input_taken
xdotool key Down; input_taken; xdotool key Right; input_taken
# The tree joins letters typed within a short while into one search ("mv" finds nothing):
# the pause makes "v" a search of its own, however quickly the keys before it were taken.
sleep 1; xdotool key v; input_taken
shot browse
xdotool key Return
browser_gone || fail "the folder browser stayed open"
control_line 1021 | grep_q -F 'text=C:\varnello-e2e-out' || fail "the chosen folder is not shown: $(control_line 1021)"
close_varnello
start_varnello
remember_rects
control_line 1021 | grep_q -F 'text=C:\varnello-e2e-out' || fail "after a restart the edit shows: $(control_line 1021)"

# 7. The list is saved as it changes, not only at exit: the program is ended without being
#    closed, and at the next start the first task has its nine settings (each a choice of its
#    own and none the default, but for the codec and the channels, which have two choices
#    each), its title and its trim back, the second its codec (telling it from the channels)
#    and the third its profile.
focus_varnello
add_file "$E2E_TMP/c.avi"; add_file "$E2E_TMP/a.avi"; add_file "$E2E_TMP/b.mpg"
# combo=choice: codec, size, frame rate, video bit rate, aspect, audio bit rate, channels,
# sample rate, volume
first_settings="1025=0 1026=7 1027=3 1028=4 1029=1 1030=5 1031=0 1032=2 1033=6"
second_settings="1025=0 1026=3 1027=0 1028=6 1029=0 1030=2 1031=1 1032=0 1033=1"
expect_settings() {
    local s pair
    s="$(state)"
    for pair in $1; do
        grep -q "^combo ${pair%=*} sel=${pair#*=} " <<<"$s" \
            || fail "$2: $(grep "^combo ${pair%=*} " <<<"$s"), expected sel=${pair#*=}"
    done
}
pick_combo_item 1024 4
click_row 1
inspect select 1025 0 || fail "could not choose the codec"
click_row 0
for pair in $first_settings; do inspect select "${pair%=*}" "${pair#*=}" || fail "could not choose $pair"; done
expect_settings "$first_settings" "first row set"
slider=($(control_rect 1047))
drag_slider_thumb $((slider[0] + 6)) $((slider[0] + 104))
trim() { row_text 0 | awk -F' \\| ' '{ print $3, $4 }'; }
kept_trim="$(trim)"
[ "$kept_trim" = "00:00:02 00:00:04" ] || fail "the drag trimmed the first row to: $(row_text 0)"
type_title "Harbour at dusk"
list_file="$(saved_list_file)"
saved_with_title() { grep_q -F "Harbour at dusk" "$list_file"; }
wait_for 15 saved_with_title || fail "15 s after the last change the saved list does not hold it"
kill_prefix_pids 'Varnello[.]exe'
wait_for 30 no_prefix_pids 'Varnello[.]exe' || fail "Varnello did not end when killed"
E2E_KEEP_LIST=1 start_varnello
remember_rects
[ "$(list_count)" = 3 ] || fail "after the kill the list has $(list_count) rows, not 3"
s="$(state)"
expect_current 0 "after the kill" "$s"
expect_panel "Harbour at dusk" 0 7 1 "after the kill" "$s"
expect_settings "$first_settings" "after the kill, first row"
[ "$(trim)" = "$kept_trim" ] || fail "after the kill the first row reads: $(row_text 0)"
click_row 1
expect_settings "$second_settings" "after the kill, second row"
click_row 2
expect_panel b 4 3 0 "after the kill, third row"
close_varnello
echo "ok: the panel keeps each task's settings, follows removals and remembers the folder; the list is saved as it changes"
