#!/usr/bin/env bash
# Adding and removing tasks on the real window with real clips: each added file shows its
# name, begin time, length and output name and becomes the current row; removing a middle
# row, the last row, the only row and all rows leaves the right row current (or none).
source "$(dirname "$0")/lib.sh"

make_clip "$E2E_TMP/my.holiday.rmvb" 3 -f rm
make_clip "$E2E_TMP/film.avi" 2
make_clip "$E2E_TMP/show.mpg" 5 -c:v mpeg1video -c:a mp2 -ar 44100

expect_count_mark() {
    [ "$(list_count)" = "$1" ] || fail "$3: $(list_count) rows, expected $1"
    [ "$(list_mark)" = "$2" ] || fail "$3: mark $(list_mark), expected $2"
}
# The current row is selected and focused, and the title edit shows its task.
expect_current() {
    state | grep_q "^row $1 state=3 " || fail "$3: row $1 is not selected and focused: $(row_text "$1")"
    control_line 1023 | grep_q "text=$2\$" || fail "$3: the title edit shows $(control_line 1023)"
}
expect_row() {
    row_text "$1" | grep_q -F "| $2 | 00:00:00 | $3 | $4 |" || fail "row $1 reads: $(row_text "$1")"
}

start_varnello
focus_varnello
click_control 1013; click_control 1014   # removing from an empty list does nothing
varnello_running || fail "removing from an empty list ended the program"
expect_count_mark 0 -1 "empty list"

add_file "$E2E_TMP/my.holiday.rmvb"
add_file "$E2E_TMP/film.avi"
add_file "$E2E_TMP/show.mpg"
expect_count_mark 3 2 "three files added"
expect_row 0 my.holiday.rmvb 00:00:03 my.holiday.mp4
expect_row 1 film.avi 00:00:02 film.mp4
expect_row 2 show.mpg 00:00:05 show.mp4
expect_current 2 show "after adding"
control_line 1053 | grep_q 'visible=1' || fail "the video-editing control is not shown after an add"

# The middle row: the task that moves into its place becomes current.
click_in_control 1011 60 40
xdotool key Home Down; input_taken
expect_count_mark 3 1 "middle row chosen"
expect_current 1 film "middle row chosen"
click_control 1013
expect_count_mark 2 1 "middle row removed"
expect_row 1 show.mpg 00:00:05 show.mp4
expect_current 1 show "middle row removed"

# The last row while it is current: the new last row becomes current.
click_control 1013
expect_count_mark 1 0 "last row removed"
expect_row 0 my.holiday.rmvb 00:00:03 my.holiday.mp4
expect_current 0 my.holiday "last row removed"

# The only row: the list is empty and nothing is current; the video control stays.
click_control 1013
[ "$(list_count)" = "0" ] || fail "only row removed: $(list_count) rows left"
click_control 1013   # nothing is current any more: a further Remove does nothing
varnello_running || fail "Remove on the emptied list ended the program"
control_line 1053 | grep_q 'visible=1' || fail "the video-editing control went away with the last task"

# Remove all.
add_file "$E2E_TMP/film.avi"
add_file "$E2E_TMP/show.mpg"
expect_count_mark 2 1 "two added again"
click_control 1014
expect_count_mark 0 -1 "all removed"
add_file "$E2E_TMP/film.avi"
expect_count_mark 1 0 "added after removing all"
expect_row 0 film.avi 00:00:02 film.mp4
close_varnello
echo "ok: tasks are added and removed as they should be"
