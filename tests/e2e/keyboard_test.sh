#!/usr/bin/env bash
# Keys on the real window: Enter and Escape close nothing; the list's navigation keys land
# where they should on ten tasks; Home and End on an empty list change nothing; F1 opens the
# help file beside the program.
source "$(dirname "$0")/lib.sh"

make_clip "$E2E_TMP/clip.avi" 2
start_varnello
focus_varnello
xdotool key Return Escape; input_taken
varnello_running || fail "Enter or Escape closed the program"

# An empty list: Home and End move nothing.
click_in_control 1011 300 100
xdotool key Home End; input_taken
[ "$(list_mark)" = "-1" ] || fail "Home/End on an empty list moved the mark to $(list_mark)"

for i in $(seq 1 10); do add_file "$E2E_TMP/clip.avi"; done
[ "$(list_count)" = "10" ] || fail "expected 10 rows, got $(list_count)"
[ "$(list_mark)" = "9" ] || fail "the last added row is not current"

press() { xdotool key "$1"; input_taken; }
mark_is() { [ "$(list_mark)" = "$1" ]; }
expect_mark() { wait_for 10 mark_is "$1" || fail "$2: mark $(list_mark), expected $1"; }
click_in_control 1011 60 40   # a click on a row focuses the list and makes that row current
mark="$(list_mark)"; [ "$mark" -ge 0 ] || fail "a click on a row chose nothing"
state | grep_q "^row $mark state=3 " || fail "the clicked row is not selected and focused"
press Home;  expect_mark 0 "Home"
press Next;  expect_mark 3 "Page Down from 0"
press Next;  press Next; expect_mark 9 "Page Down from 6"
press Next;  expect_mark 9 "Page Down from the last row"
press Prior; expect_mark 6 "Page Up from 9"
press Home;  expect_mark 0 "Home"
press Down;  press Down; expect_mark 2 "Down twice"
press Prior; expect_mark 0 "Page Up from 2"
press End;   expect_mark 9 "End"
press Up;    expect_mark 8 "Up"
state | grep_q '^row 8 state=3 ' || fail "row 8 is not selected and focused"
press Return; press Escape
varnello_running || fail "Enter or Escape on the list closed the program"

# F1 asks the shell to open the help file beside the program: Wine's help viewer shows it.
focus_varnello
xdotool key F1
wait_for 15 xdotool search --onlyvisible --name 'Varnello Help' || fail "F1 opened no help window"
kill_prefix_pids 'hh[.]exe'
close_varnello
echo "ok: keys behave"
