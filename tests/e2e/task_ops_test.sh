#!/usr/bin/env bash
# Adding and removing tasks on the real window with real clips: each added file shows its
# name, begin time, length and output name and becomes the current row; removing a middle
# row, the last row, the only row and all rows leaves the right row current (or none).
# Several files chosen at once, and files and folders dropped on the window, are added too.
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
# A row reads so, at once or once its length has been read: expect_row ROW NAME END OUTPUT
row_reads() { row_text "$1" | grep_q -F "| $2 | 00:00:00 | $3 | $4 |"; }
expect_row() { wait_for 15 row_reads "$@" || fail "row $1 reads: $(row_text "$1")"; }

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

# A letter typed in the list looks for the next source name that begins with it: no name
# begins with "x", so nothing moves and Remove removes the task the panel shows; "m" (typed
# after the list's type-ahead pause, which the add below outlasts) makes my.holiday current.
focus_varnello
xdotool key x; input_taken
expect_count_mark 3 2 "x typed"
expect_current 2 show "x typed"
click_control 1013
expect_count_mark 2 1 "removed after x typed"
expect_row 0 my.holiday.rmvb 00:00:03 my.holiday.mp4
expect_row 1 film.avi 00:00:02 film.mp4
add_file "$E2E_TMP/show.mpg"
focus_varnello
xdotool key m; input_taken
expect_count_mark 3 0 "m typed"
expect_current 0 my.holiday "m typed"

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

# Several files chosen at once in the Open dialog become tasks in the order chosen; the two
# whose length cannot be read are left out and named together in one message, shown once
# the others are in the list.
mkdir -p "$E2E_TMP/many"
make_clip "$E2E_TMP/many/b.avi" 2
make_clip "$E2E_TMP/many/a.mpg" 3 -c:v mpeg1video -c:a mp2 -ar 44100
echo "not a video" >"$E2E_TMP/many/broken.avi"
echo "nor this" >"$E2E_TMP/many/junk.wmv"
add_files "$E2E_TMP/many" b.avi broken.avi a.mpg junk.wmv
wait_for 30 xdotool search --onlyvisible --name '^Warning$' || fail "no message named the unreadable files"
expect_count_mark 3 2 "several files added"
box="$(answer_box Warning)"
grep_q -F broken.avi <<<"$box" && grep_q -F junk.wmv <<<"$box" || fail "the message says: $box"
expect_row 1 b.avi 00:00:02 b.mp4
expect_row 2 a.mpg 00:00:03 a.mp4
# The add is over once every length is shown and the window's thread has answered since: a
# second message would be on the screen by then.
input_taken
! xdotool search --onlyvisible --name '^Warning$' >/dev/null || fail "a second message followed the first"
expect_current 2 a "several files added"

# Files and folders dropped on the window: a file as it is; a folder gives the videos in it
# and its sub-folders that the Open dialog's filter lists, sorted by path ("\" first).
mkdir -p "$E2E_TMP/drop/a"
make_clip "$E2E_TMP/drop/a/c.avi" 1
make_clip "$E2E_TMP/drop/a b.avi" 1
make_clip "$E2E_TMP/drop/B.MPG" 1 -c:v mpeg1video -c:a mp2 -ar 44100 -f mpeg
# A song and a note beside the videos are not taken (a .mp4 is: today's videos have
# their own test).
ffmpeg -v error -y -f lavfi -i "sine=frequency=440:duration=1" "$E2E_TMP/drop/a/song.mp3"
echo notes >"$E2E_TMP/drop/notes.txt"
click_control 1014
drop_paths "$E2E_TMP/show.mpg" "$E2E_TMP/drop"
has_rows() { [ "$(list_count)" = "$1" ]; }
wait_for 30 has_rows 4 || fail "the drop gave $(list_count) rows, expected 4"
expect_row 0 show.mpg 00:00:05 show.mp4
expect_row 1 c.avi 00:00:01 c.mp4
expect_row 2 "a b.avi" 00:00:01 "a b.mp4"
expect_row 3 B.MPG 00:00:01 B.mp4
expect_current 3 B "after the drop"
shot dropped-folder

# A name in another script comes whole: the shell hands dropped names over in UTF-16.
mkdir -p "$E2E_TMP/cyrillic"
make_clip "$E2E_TMP/cyrillic/Зимний вечер.avi" 1
drop_paths "$E2E_TMP/cyrillic/Зимний вечер.avi"
wait_for 30 has_rows 5 || fail "the drop of a Cyrillic name gave $(list_count) rows, expected 5"
expect_row 4 "Зимний вечер.avi" 00:00:01 "Зимний вечер.mp4"

# A large drop: the rows come at once and their lengths are read in the background, while the
# window goes on answering: Remove all, clicked at once, takes effect at once, not after every
# length has been read (150 lengths take half a minute here).
mkdir -p "$E2E_TMP/big" "$E2E_TMP/few"
for i in $(seq -w 1 150); do ln "$E2E_TMP/show.mpg" "$E2E_TMP/big/v$i.mpg"; done
for i in $(seq -w 1 12); do ln "$E2E_TMP/show.mpg" "$E2E_TMP/few/w$i.mpg"; done
click_control 1014
inspect drop "$(winpath "$E2E_TMP/big")" || fail "could not drop the large folder"
click_control 1014
wait_for 3 has_rows 0 || fail "Remove all waited for the lengths being read: $(list_count) rows"
# Dropped and left alone, every length is read.
drop_paths "$E2E_TMP/few"
all_lengths_read() { [ "$(list_count)" = 12 ] && ! state | grep_q -F '| ... |'; }
wait_for 60 all_lengths_read || fail "lengths left unread: $(state | grep -cF '| ... |') of $(list_count) rows"
expect_row 11 w12.mpg 00:00:05 w12.mp4

# One program at a time: a second start brings the running window forward and ends, so two
# never keep two versions of the list.
(cd "$VARNELLO_DIST" && exec "$WINE" ./Varnello.exe >"$E2E_TMP/second.log" 2>&1) &
second=$!
wait_for 30 bash -c "! kill -0 $second 2>/dev/null" || fail "a second Varnello kept running"
[ "$(prefix_pids 'Varnello[.]exe' | wc -l)" = 1 ] || fail "not one Varnello: $(describe_pids 'Varnello[.]exe')"
[ "$(list_count)" = 12 ] || fail "the running program's list changed: $(list_count) rows"
click_control 1014
drop_paths "$E2E_TMP/show.mpg" "$E2E_TMP/drop"
wait_for 30 has_rows 4 || fail "the drop after the second start gave $(list_count) rows, expected 4"

# The list survives a restart: its rows, the current row and that row's panel come back; a
# source deleted meanwhile comes back marked.
click_row 1
pick_combo_item 1026 0
expect_current 1 c "before the restart"
close_varnello
[ -s "$(saved_list_file)" ] || fail "no saved list at $(saved_list_file)"
cp "$(saved_list_file)" "$E2E_TMP/saved.lst"
rm "$E2E_TMP/drop/B.MPG"
E2E_KEEP_LIST=1 start_varnello
expect_count_mark 4 1 "after the restart"
expect_row 0 show.mpg 00:00:05 show.mp4
expect_row 2 "a b.avi" 00:00:01 "a b.mp4"
expect_current 1 c "after the restart"
[ "$(combo_sel 1026)" = 0 ] || fail "the restored row's size is $(combo_sel 1026), expected 0"
# The sources are looked for once the window is there (a share that has gone can take
# minutes to answer).
source_marked() { row_text 3 | grep_q -F "| Source file not found"; }
wait_for 15 source_marked || fail "the missing source is not marked: $(row_text 3)"
control_line 1053 | grep_q 'visible=1' || fail "the video-editing control is not shown for a restored list"
close_varnello

# A saved list that is cut short, from a newer version or random bytes gives an empty list
# and one entry each in the log of the user's data folder, none beside the program.
log_entries() { cat "$VARNELLO_DATA/log.txt" 2>/dev/null | grep -c 'task list .* was not restored' || true; }
head -c 150 "$E2E_TMP/saved.lst" >"$E2E_TMP/cut.lst"
sed '1s/ [0-9]*$/ 99/' "$E2E_TMP/saved.lst" >"$E2E_TMP/newer.lst"
head -c 3000 /dev/urandom >"$E2E_TMP/random.lst"
for bad in cut newer random; do
    before="$(log_entries)"
    cp "$E2E_TMP/$bad.lst" "$(saved_list_file)"
    E2E_KEEP_LIST=1 start_varnello
    varnello_running || fail "the $bad list file ended the program"
    expect_count_mark 0 -1 "a $bad list file"
    close_varnello
    [ "$(log_entries)" = $((before + 1)) ] || fail "a $bad list file gave $(( $(log_entries) - before )) log entries"
done
[ ! -e "$VARNELLO_DIST/app/log.txt" ] && [ ! -e "$VARNELLO_DIST/log.txt" ] || fail "a log.txt was written beside the program"

# Remove all clears the saved list too.
cp "$E2E_TMP/saved.lst" "$(saved_list_file)"
E2E_KEEP_LIST=1 start_varnello
expect_count_mark 4 1 "restored again"
click_control 1014
close_varnello
E2E_KEEP_LIST=1 start_varnello
expect_count_mark 0 -1 "restarted after Remove all"
close_varnello
echo "ok: tasks are added and removed as they should be"
