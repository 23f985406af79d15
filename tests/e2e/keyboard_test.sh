#!/usr/bin/env bash
# Keys on the real window: Enter and Escape close nothing; the list's navigation keys land
# where they should on ten tasks; Home and End on an empty list change nothing; under Wine, F1
# and the Help button show the help page beside the program in the desktop's browser.
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

# Under Wine the help goes to the desktop's browser through winebrowser, which starts the
# program named in the prefix's WineBrowser setting: here a recorder of the address it gets.
browser_log="$E2E_TMP/browser.log"
printf '#!/bin/sh\necho "$@" >>"%s"\n' "$browser_log" >"$E2E_TMP/browser"
chmod +x "$E2E_TMP/browser"
"$WINE" reg add 'HKCU\Software\Wine\WineBrowser' /v Browsers /d "$E2E_TMP/browser" /f >/dev/null 2>&1
trap 'keep_failure $?; "$WINE" reg delete "HKCU\\Software\\Wine\\WineBrowser" /v Browsers /f >/dev/null 2>&1; cleanup_e2e' EXIT
help_page="file://$VARNELLO_DIST/help/help.html"
browser_calls() { [ -f "$browser_log" ] && [ "$(grep -cxF "$help_page" "$browser_log")" -ge "$1" ]; }
focus_varnello
xdotool key F1
wait_for 15 browser_calls 1 || fail "F1 did not open $help_page in the browser: $(cat "$browser_log" 2>/dev/null)"
no_prefix_pids 'hh[.]exe' || fail "F1 also opened the compiled help, which shows an empty page under Wine"
click_control 1016
wait_for 15 browser_calls 2 || fail "Help did not open $help_page in the browser: $(cat "$browser_log" 2>/dev/null)"
close_varnello
echo "ok: keys behave"
