# Shared steps of the end-to-end tests: start the staged Varnello.exe under the test
# session's display, drive it with real input (xdotool) and read it back with inspect.exe.
# Source it from a test script; every function fails the test loudly on a timeout.
set -euo pipefail

: "${VARNELLO_DIST:?}" "${VARNELLO_SOURCE:?}" "${VARNELLO_TEST_BIN:?}"
eval "$("$VARNELLO_SOURCE/scripts/wine-run.sh" --session-env)"
WINE=/usr/lib/wine/wine64
[ -x "$WINE" ] || WINE=wine
# The test's scratch folder has a fixed place in the build folder, so that a run killed by
# ctest's time-out (no EXIT trap runs then) leaves nothing that the next run does not clear:
# file systems mounted inside it, immutable folders, big clips.
clear_scratch() {
    local m
    [ -d "$1" ] || return 0
    for m in $(awk -v base="$1/" 'index($2, base) == 1 { print $2 }' /proc/mounts | sort -r); do
        umount "$m" 2>/dev/null || umount -l "$m" 2>/dev/null || true
    done
    chattr -R -i "$1" 2>/dev/null || true
    chmod -R u+rwx "$1" 2>/dev/null || true
    rm -rf "$1"
}
if [ -n "${VARNELLO_BUILD:-}" ]; then
    E2E_TMP="$VARNELLO_BUILD/e2e-tmp/$(basename "$0" .sh)"
    clear_scratch "$E2E_TMP"
    mkdir -p "$E2E_TMP"
else
    E2E_TMP="$(mktemp -d)"
fi
VARNELLO_PID=""

fail() { echo "FAIL: $*" >&2; exit 1; }

# The program's data folder of this prefix's user, as a Unix path: where it writes its log and
# the intermediate files of RealMedia tasks (its own folder is only read). Every test starts
# with it gone, so that a log entry or a file found there is the test's own.
VARNELLO_DATA="$WINEPREFIX/drive_c/users/${USER:-$(id -un)}/AppData/Local/Varnello"
rm -rf "$VARNELLO_DATA"

# "grep -q" for the end of a pipeline: grep -q leaves at the first match, and under pipefail
# the writer's broken pipe would turn a match into a failure now and then. This reads it all.
grep_q() { grep "$@" >/dev/null; }

# Unix path -> the Windows path Wine shows for it (Z: is the Unix root).
winpath() { echo "Z:$(echo "$1" | sed 's#/#\\#g')"; }

inspect() { "$WINE" "$VARNELLO_TEST_BIN/inspect.exe" "$@" 2>/dev/null | tr -d '\r'; }

# Waits until the program has taken the input sent to it so far: its window's thread has
# answered three times in a row (inspect idle), so the clicks and keys have been dispatched.
# A handler that keeps the thread busy (a run, a modal box) pumps messages itself or makes the
# wait end after its time-out; either way no fixed pause stands in for the program's pace.
input_taken() { inspect idle >/dev/null || true; }

# Waits until a command succeeds: wait_for SECONDS CMD...
wait_for() {
    local seconds="$1"; shift
    local deadline=$((SECONDS + seconds))
    until "$@" >/dev/null 2>&1; do
        [ $SECONDS -lt $deadline ] || return 1
        sleep 0.2
    done
}

# The task list the program keeps between runs, in the prefix's local application data.
saved_list_file() {
    local base
    for base in "$WINEPREFIX"/drive_c/users/*/AppData/Local; do
        [ -d "$base" ] && { echo "$base/Varnello/tasks.lst"; return 0; }
    done
    echo "$WINEPREFIX/drive_c/users/$(id -un)/AppData/Local/Varnello/tasks.lst"
}
# Each test starts with an empty list unless it sets E2E_KEEP_LIST=1 to test the restoring.
forget_saved_list() { rm -f "$(saved_list_file)" "$(saved_list_file).new"; }

# A command that start_varnello puts before Wine, for a test that needs the program to run
# with fewer rights than the test itself (setpriv ...); empty for the others.
E2E_LAUNCH=()
start_varnello() {
    [ "${E2E_KEEP_LIST:-0}" = 1 ] || forget_saved_list
    (cd "$VARNELLO_DIST" && exec "${E2E_LAUNCH[@]}" "$WINE" ./Varnello.exe >"$E2E_TMP/varnello.log" 2>&1) &
    VARNELLO_PID=$!
    E2E_RECTS=()
    wait_for 30 inspect frame || fail "the Varnello window did not appear"
}

# Processes whose command line matches PATTERN and that run in this test's Wine prefix.
# Other test sessions on the same machine have prefixes of their own; their programs are
# never seen or touched here.
prefix_pids() {
    local pid
    for pid in $(pgrep -f "$1" || true); do
        tr '\0' '\n' 2>/dev/null <"/proc/$pid/environ" | grep_q -xF "WINEPREFIX=$WINEPREFIX" \
            && echo "$pid"
    done
    return 0
}
# The command lines of those processes, for a failure message.
describe_pids() {
    local pid
    for pid in $(prefix_pids "$1"); do
        echo "[$pid: $(tr '\0' ' ' 2>/dev/null <"/proc/$pid/cmdline")]"
    done
}
no_prefix_pids() { [ -z "$(prefix_pids "$1")" ]; }
prefix_pids_exist() { ! no_prefix_pids "$1"; }
kill_prefix_pids() {
    local pids
    pids="$(prefix_pids "$1")"
    [ -z "$pids" ] || kill $pids 2>/dev/null || true
}

# Gives this test a private copy of the staged program, in $E2E_TMP/dist, and points
# VARNELLO_DIST (and so start_varnello) at it, so the test may change or remove any of its
# files: a profile file, the encoder. ffmpeg.exe is a hard link to save 60 MB: replace it with
# rm and a new file, never write into it.
use_private_dist() {
    local copy="$E2E_TMP/dist"
    mkdir -p "$copy"
    (cd "$VARNELLO_DIST" && find . -type d -exec mkdir -p "$copy/{}" \; \
        && find . -type f ! -name 'ffmpeg.exe' ! -name '*_[0-9]*.avi' ! -name '*_[0-9]*.mpg' \
               -exec cp "{}" "$copy/{}" \; \
        && find . -type f -name 'ffmpeg.exe' -exec sh -c 'ln "$1" "$2/$1" 2>/dev/null || cp "$1" "$2/$1"' _ "{}" "$copy" \;)
    VARNELLO_DIST="$copy"
}

varnello_running() { prefix_pids_exist 'Varnello[.]exe'; }

# Closes the window and waits for the program to end.
close_varnello() {
    inspect close || true
    wait_for 30 no_prefix_pids 'Varnello[.]exe' || fail "Varnello did not exit within 30 s: $(describe_pids 'Varnello[.]exe|hh[.]exe')"
}

# When the test has failed (STATUS neither 0 nor 77, the skip), keeps what shows why before
# the clean-up removes it: the screen, the program's console output (varnello.log) and its
# log.txt, in build/failed-tests/NAME (under scripts/run-tests.sh, failed-tests/run-N/NAME),
# and prints where. Every test's exit trap calls it first: keep_failure $?
keep_failure() {
    local status="$1" kept
    [ "$status" != 0 ] && [ "$status" != 77 ] && [ -n "${VARNELLO_BUILD:-}" ] || return 0
    kept="$(kept_failure_folder)"
    rm -rf "$kept"; mkdir -p "$kept"
    import -window root "$kept/screen.png" 2>/dev/null || echo "(no screenshot: the display is gone)" >"$kept/screen.txt"
    [ ! -f "$E2E_TMP/varnello.log" ] || cp "$E2E_TMP/varnello.log" "$kept/"
    [ ! -f "$VARNELLO_DATA/log.txt" ] || cp "$VARNELLO_DATA/log.txt" "$kept/"
    echo "The failed test's screen and logs are kept in $kept" >&2
}
kept_failure_folder() { echo "${VARNELLO_FAILED_TESTS:-$VARNELLO_BUILD/failed-tests}/$(basename "$0" .sh)"; }
# What an earlier failure of this test kept would be taken for this run's.
[ -z "${VARNELLO_BUILD:-}" ] || rm -rf "$(kept_failure_folder)"

# The display scale of the programs started from now on, in dpi (the prefix's LogPixels, which
# Wine reads at each program's start); the clean-up, or the next test's start after a test that
# was killed, puts back the 96 dpi every other test expects.
E2E_SCALED=0
reset_display_scale_if_set() { [ "$E2E_SCALED" = 0 ] || reset_display_scale; }
set_display_scale() {
    E2E_SCALED=1
    "$WINE" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
}
reset_display_scale() {
    "$WINE" reg delete 'HKCU\Control Panel\Desktop' /v LogPixels /f >/dev/null 2>&1 || true
}
if grep_q -i '^"LogPixels"' "$WINEPREFIX/user.reg" 2>/dev/null; then reset_display_scale; fi

cleanup_e2e() {
    kill_prefix_pids 'Varnello[.]exe'
    kill_prefix_pids 'venc[.]exe'
    kill_prefix_pids 'ffmpeg[.]exe'
    reset_display_scale_if_set
    forget_saved_list   # the next test, or program started in this prefix, begins empty
    clear_scratch "$E2E_TMP"
}
trap 'keep_failure $?; cleanup_e2e' EXIT
# Programs a killed earlier run left in this prefix would answer in place of this run's own.
kill_prefix_pids 'Varnello[.]exe|venc[.]exe|ffmpeg[.]exe|ViviRarir[.]exe'
wait_for 10 no_prefix_pids 'Varnello[.]exe' || true

# Screen rectangles of the page's controls, read once by remember_rects: controls do not
# move, and each look costs a Wine process start. start_varnello forgets them.
declare -A E2E_RECTS=()
remember_rects() {
    local id rect
    while read -r id rect; do E2E_RECTS[$id]="$rect"; done < <(inspect rects)
}
# Screen rectangle of a page control: "left top right bottom".
control_rect() {
    if [ -n "${E2E_RECTS[$1]:-}" ]; then echo "${E2E_RECTS[$1]}"; else inspect rect "$1"; fi
}

# Screen centre of a page control: "x y".
control_centre() {
    local r
    r="$(control_rect "$1")" || fail "no control $1"
    set -- $r
    echo "$(( ($1 + $3) / 2 )) $(( ($2 + $4) / 2 ))"
}

click_control() {
    local xy
    xy="$(control_centre "$1")"
    xdotool mousemove $xy click 1
    input_taken
}

# Clicks a point inside a control, given as offsets from its top-left corner.
click_in_control() {
    local r
    r="$(control_rect "$1")" || fail "no control $1"
    set -- $r "$2" "$3"
    xdotool mousemove $(( $1 + $5 )) $(( $2 + $6 )) click 1
    input_taken
}

# True when the X input focus is on WINDOW.
has_focus() { [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ]; }
focus_varnello() {
    local frame
    frame="$(xdotool search --onlyvisible --name '^Varnello V' | head -1)"
    xdotool windowfocus "$frame" 2>/dev/null || true
    wait_for 10 has_focus "$frame" || fail "the Varnello window did not take the focus (it is on $(xdotool getwindowfocus getwindowname 2>&1))"
    input_taken
}

# Adds a file through the Add button and the real open-file dialog, typing its path. Returns
# once the list has one row more, or once the program answered with a box instead.
add_file() {
    local path="$1" dialog before
    before="$(list_count)"
    click_control 1012
    wait_for 15 xdotool search --onlyvisible --name '^Open$' || fail "no Open dialog"
    dialog="$(xdotool search --onlyvisible --name '^Open$' | head -1)"
    xdotool windowfocus "$dialog" 2>/dev/null || true
    wait_for 10 has_focus "$dialog" || fail "the Open dialog did not take the focus"
    if LC_ALL=C grep_q '[^ -~]' <<<"$path"; then
        # xdotool cannot type characters outside the keyboard layout into Wine: enter the
        # file's folder by its (ASCII) path, then pick the file, its folder's only one, from
        # the dialog's file list with the keys.
        [ "$(ls -A "$(dirname "$path")" | wc -l)" = "1" ] || fail "$path is not alone in its folder"
        # The dialog runs in the program's window thread: once that thread has answered, it has
        # entered the folder, or moved the focus, and lists what it holds.
        xdotool type --delay 5 "$(winpath "$(dirname "$path")")\\"
        xdotool key Return; input_taken
        xdotool key shift+Tab; input_taken; xdotool key Down; input_taken
    else
        xdotool type --delay 5 "$(winpath "$path")"
    fi
    xdotool key Return
    wait_for 15 bash -c "! xdotool search --onlyvisible --name '^Open\$'" || fail "the Open dialog stayed"
    wait_for 30 added_or_answered "$before" \
        || fail "adding $path: the list still has $(list_count) rows (before: $before); windows: $(inspect topwindows | tr '\n' ' ')"
}
# The list has more than BEFORE rows, or the program shows a window besides its frame.
added_or_answered() {
    [ "$(list_count)" -gt "$1" ] 2>/dev/null && return 0
    [ "$(inspect topwindows | grep -cv '^Varnello V')" -gt 0 ]
}

# Adds several files of one folder in one go through the real Open dialog: enters the folder
# by typing its path, then chooses the names, quoted, in the order given. add_files DIR NAME...
add_files() {
    local folder="$1" dialog names=""; shift
    for name in "$@"; do names+="\"$name\" "; done
    click_control 1012
    wait_for 15 xdotool search --onlyvisible --name '^Open$' || fail "no Open dialog"
    dialog="$(xdotool search --onlyvisible --name '^Open$' | head -1)"
    xdotool windowfocus "$dialog" 2>/dev/null || true
    wait_for 10 has_focus "$dialog" || fail "the Open dialog did not take the focus"
    xdotool type --delay 5 "$(winpath "$folder")"
    xdotool key Return; input_taken   # the dialog, in the window's thread, has entered the folder
    xdotool type --delay 5 "$names"
    xdotool key Return
    wait_for 60 bash -c "! xdotool search --onlyvisible --name '^Open\$'" || fail "the Open dialog stayed"
    input_taken
}
# Drops files or folders (Unix paths) on the window as a file manager does; prints the tick
# count of the drop.
drop_paths() {
    local args=() p
    for p in "$@"; do args+=("$(winpath "$p")"); done
    "$WINE" "$VARNELLO_TEST_BIN/inspect.exe" drop "${args[@]}" 2>"$E2E_TMP/drop.err" | tr -d '\r' \
        || fail "could not drop $*: $(tr -d '\r' <"$E2E_TMP/drop.err")"
    input_taken
}
# Waits for the message box captioned CAPTION, prints its texts, closes it with Enter.
answer_box() {
    local box
    wait_for 30 xdotool search --onlyvisible --name "^$1\$" || fail "no box captioned $1"
    inspect boxtext "$1"
    box="$(xdotool search --onlyvisible --name "^$1\$" | head -1)"
    xdotool windowfocus "$box" 2>/dev/null || true; sleep 0.3
    xdotool key Return
    wait_for 10 bash -c "! xdotool search --onlyvisible --name '^$1\$'" || fail "the $1 box stayed"
}

# Drags a thumb of the range slider from screen x FROM to x TO along the track's middle, in
# steps the program sees one by one. drag_slider_thumb FROM TO
drag_slider_thumb() {
    local r y
    r=($(control_rect 1047)); y=$(( (r[1] + r[3]) / 2 ))
    xdotool mousemove "$1" "$y" mousedown 1; input_taken
    xdotool mousemove $(( ($1 + $2) / 2 )) "$y"; input_taken
    xdotool mousemove "$2" "$y"; input_taken
    xdotool mouseup 1; input_taken
}

# The state lines of inspect.exe, and single facts from them.
state() { inspect state; }
list_count() { state | sed -n 's/^list count=\([0-9-]*\) .*/\1/p'; }
list_mark() { state | sed -n 's/^list count=[0-9-]* mark=\([0-9-]*\)/\1/p'; }
row_text() { state | grep "^row $1 " ; }
control_line() { state | grep "^control $1 "; }
# A row's five cells, "| SOURCE | START | END | TITLE | PROGRESS", and whether Stop shows, asked
# with the few messages that a page busy with a run answers (inspect glance). row_text asks
# for the whole state, which a page in a run cannot give: it prints nothing then.
row_cells() {
    inspect glance cell:$1:0 cell:$1:1 cell:$1:2 cell:$1:3 cell:$1:4 | awk -v row="$1" '
        $1 == "stop" { stop = ($2 == "visible=1") ? "Stop shown" : "Stop hidden" }
        $1 == "cell" && $2 == row { sub(/^cell [0-9]+ [0-9]+=/, ""); cells = cells "| " $0 " " }
        END { print (stop == "" ? "(no answer)" : cells "(" stop ")") }'
}

# Makes a short test clip with the native ffmpeg: make_clip PATH SECONDS [extra args]
make_clip() {
    local path="$1" seconds="$2"; shift 2
    ffmpeg -v error -y -f lavfi -i "testsrc=duration=$seconds:size=320x240:rate=25" \
        -f lavfi -i "sine=frequency=440:duration=$seconds" -shortest "$@" "$path"
}

# Makes a long test clip in a fraction of the time its encoding would take: a ten-second
# piece made by make_clip, repeated without encoding it again (stream copy). RealMedia's
# muxer cannot take its pictures copied, so those are encoded again; its sound is copied.
# make_long_clip PATH SECONDS [make_clip's extra args]
make_long_clip() {
    local path="$1" seconds="$2" piece; shift 2
    piece="$E2E_TMP/long-clip-piece.${path##*.}"
    make_clip "$piece" 10 "$@"
    local copy=(-c copy)
    [ "${path##*.}" != rm ] || copy=(-c:v rv10 -c:a copy)
    ffmpeg -v error -y -stream_loop $(( (seconds + 9) / 10 - 1 )) -i "$piece" "${copy[@]}" -t "$seconds" "$path"
    rm -f "$piece"
}

screenshot() { import -window root "$1"; }

# The output folder the program shows at start-up (its registry value), or none.
set_output_dir() {
    "$WINE" reg add 'HKCU\Software\Varnello\destination' /ve /t REG_SZ /d "$(winpath "$1")" /f >/dev/null 2>&1
}
clear_output_dir() {
    "$WINE" reg delete 'HKCU\Software\Varnello\destination' /f >/dev/null 2>&1 || true
}
# How many tasks a run converts at once (the registry value beside the output folder). Every
# test runs one at a time, the program's behaviour with "1", unless it sets another number
# for a pass of its own.
# (Tried again: the first registry writes into a new prefix can fail while Wine sets it up.)
set_tasks_at_once() {
    local attempt
    for attempt in 1 2 3 4 5; do
        "$WINE" reg add 'HKCU\Software\Varnello\TasksAtOnce' /ve /t REG_SZ /d "$1" /f >/dev/null 2>&1 && return 0
        sleep 2
    done
    fail "could not set TasksAtOnce to $1"
}
set_tasks_at_once 1
# The stored setting as the program reads it ("" when none or empty).
tasks_at_once_setting() {
    "$WINE" reg query 'HKCU\Software\Varnello\TasksAtOnce' /ve 2>/dev/null | tr -d '\r' \
        | sed -n 's/.*REG_SZ[[:space:]]*//p'
}
# How many menus the program shows now (the window menu, its open submenus).
menus_open() { inspect topwindows | grep -c '|#32768$' || true; }
menus_at_least() { [ "$(menus_open)" -ge "$1" ]; }
no_menus_open() { [ "$(menus_open)" = 0 ]; }
tasks_at_once_is() { [ "$(tasks_at_once_setting)" = "$1" ]; }
# Opens the window menu's "Videos at once" with the keyboard, as a person does: Alt+Space, V.
open_videos_at_once_menu() {
    focus_varnello
    xdotool key alt+space
    wait_for 10 menus_at_least 1 || fail "Alt+Space opened no window menu"
    xdotool key v
    wait_for 10 menus_at_least 2 || fail "the window menu has no Videos at once submenu"
}

encoder_processes() { prefix_pids 'venc[.]exe|ffmpeg[.]exe'; }
# The program does not wait for an encoder it has told to quit: give the processes a moment
# to end before calling them left over.
encoders_gone() { wait_for 10 no_prefix_pids 'venc[.]exe|ffmpeg[.]exe'; }

# Picks item INDEX of combo box ID with the mouse: opens its list, clicks the item.
pick_combo_item() {
    local point=""
    click_control "$1"
    for _ in $(seq 50); do point="$(inspect dropitem "$2")" && break; sleep 0.2; done
    [ -n "$point" ] || fail "combo $1 opened no list showing item $2"
    xdotool mousemove $point click 1
    input_taken
}
combo_sel() { state | sed -n "s/^combo $1 sel=\([0-9-]*\) .*/\1/p"; }

# What a page control shows on the screen, as a PNG: control_pixels ID FILE
control_pixels() {
    local r
    r=($(control_rect "$1")) || fail "no control $1"
    import -window root -crop "$((r[2] - r[0]))x$((r[3] - r[1]))+${r[0]}+${r[1]}" +repage "$2"
}
# The frame window as a PNG, for the documentation's pictures.
window_picture() {
    local r
    r=($(inspect frame)) || fail "no Varnello window"
    import -window root -crop "$((r[2] - r[0]))x$((r[3] - r[1]))+${r[0]}+${r[1]}" +repage "$1"
}
# Root-mean-square difference of two pictures of the same size: 0 (equal) to 1.
picture_distance() {
    { compare -metric RMSE "$1" "$2" null: 2>&1 || true; } | sed -n 's/.*(\(.*\)).*/\1/p'
}
# True when awk finds the expression true: check "$a < 0.05"
check() { awk "BEGIN { exit !($1) }"; }
# With VARNELLO_E2E_SHOTS set to a folder, saves the window there as NAME.png (pictures for
# the documentation); otherwise does nothing.
# The pointer goes to the screen's corner first, so that no tooltip is in the picture.
shot() {
    [ -n "${VARNELLO_E2E_SHOTS:-}" ] || return 0
    local screen
    screen=($(xdotool getdisplaygeometry))
    xdotool mousemove $((screen[0] - 1)) $((screen[1] - 1)); sleep 0.5
    mkdir -p "$VARNELLO_E2E_SHOTS"; window_picture "$VARNELLO_E2E_SHOTS/$1.png"
}

# Clicks list row ROW with the mouse, in its Source cell.
click_row() {
    local point
    point="$(inspect rowpoint "$1")" || fail "no row $1 to click"
    xdotool mousemove $point click 1
    input_taken
}
# Replaces the title edit's text by typing, as a person does.
type_title() {
    local old
    click_control 1023
    old="$(control_line 1023 | sed 's/.* text=//')"
    xdotool key End $(for _ in $(seq ${#old}); do echo BackSpace; done)
    xdotool type --delay 30 "$1"
    wait_for 15 title_is "$1" || fail "the title box shows [$(control_line 1023 | sed 's/.* text=//')], not [$1]"
}
title_is() { [ "$(control_line 1023 | sed 's/.* text=//')" = "$1" ]; }
