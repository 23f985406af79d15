#!/usr/bin/env bash
# Varnello run from a folder it cannot write, as when it is installed under Program Files for
# a standard user or kept on a read-only medium: the program's folder is a read-only mount.
# In one run, a RealMedia task whose title holds path characters (..\ / ? * < > | :) and a
# task whose profile names a missing encoder: the RealMedia task converts, its intermediate
# file lies in the user's data folder while it is needed and is gone after, the failure is
# logged in the user's data folder, and nothing at all was written in the program's folder.
# Before that, the start removes what a crashed run left in the data folder, and nothing else.
# On a machine that allows neither a read-only bind mount nor immutable folders the folder
# stays writable: the test then runs the rest and exits with 77 ("Not Run" in ctest).
# VARNELLO_E2E_NO_MOUNT=1 behaves as such a machine.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/fault_lib.sh"

protection=""
unprotect() {
    case "$protection" in
        mount) umount "$VARNELLO_DIST" 2>/dev/null || umount -l "$VARNELLO_DIST" 2>/dev/null || true ;;
        immutable) find "$VARNELLO_DIST" -type d -exec chattr -i {} + 2>/dev/null || true ;;
    esac
    protection=""
}
trap 'keep_failure $?; clear_output_dir; unprotect; cleanup_e2e' EXIT

# Files named as the program names intermediate files (name_NNNNN.avi or .mpg).
intermediate_files() {
    find "$@" -type f -regextype posix-extended -regex '.*_[0-9]{5}[.](avi|mpg)' 2>/dev/null || true
}

use_private_dist
# Profile 1 names an encoder that does not exist: its task fails with a logged reason.
awk '/^\[/ { section = $0 }
     section == "[profile1]" && /^Command0=venc[.]exe / { sub(/^Command0=venc[.]exe/, "Command0=no_such_encoder.exe") }
     { print }' "$VARNELLO_DIST/app/iPod_Profile.ini" > "$E2E_TMP/profiles.ini"
grep_q '^Command0=no_such_encoder.exe ' "$E2E_TMP/profiles.ini" || fail "could not break profile1"
mv "$E2E_TMP/profiles.ini" "$VARNELLO_DIST/app/iPod_Profile.ini"
program_before="$(folder_fingerprint "$VARNELLO_DIST")"

# The test runs as root, whom Unix permissions do not stop, and so does Wine: the folder is made
# read-only for every process by a read-only bind mount, or else by immutable directories.
may_protect() { [ -z "${VARNELLO_E2E_NO_MOUNT:-}" ]; }
if may_protect && mount --bind "$VARNELLO_DIST" "$VARNELLO_DIST" 2>/dev/null; then
    protection=mount
    mount -o remount,bind,ro "$VARNELLO_DIST" || fail "could not make the program folder a read-only mount"
elif may_protect && find "$VARNELLO_DIST" -type d -exec chattr +i {} + 2>/dev/null; then
    protection=immutable
else
    echo "NOTE: this machine allows neither a bind mount nor chattr +i: the program folder stays" \
         "writable; the test runs the rest and then reports itself not run"
fi
echo "the program folder is protected by: ${protection:-nothing}"
if [ -n "$protection" ]; then
    ! touch "$VARNELLO_DIST/probe" 2>/dev/null || fail "the program folder is still writable"
fi

out="$E2E_TMP/out"; mkdir -p "$out"
set_output_dir "$out"
make_clip "$E2E_TMP/movie.rm" 20
make_clip "$E2E_TMP/clip.avi" 2

# What a crashed run left in the data folder: its intermediate files go at the next start; a
# file of another name stays.
mkdir -p "$VARNELLO_DATA"
for f in "crashed run_23456.avi" "clip_10000.mpg" "notes_123.avi" "keep_12345.txt"; do echo x > "$VARNELLO_DATA/$f"; done
touch "$E2E_TMP/started"
start_varnello
left="$(cd "$VARNELLO_DATA" && ls | tr '\n' ' ')"
[ "$left" = "keep_12345.txt notes_123.avi " ] || fail "start-up clean-up: the data folder holds [$left]"
rm -f "$VARNELLO_DATA/keep_12345.txt" "$VARNELLO_DATA/notes_123.avi"

title='..\a/b?*<>|:c'
add_file "$E2E_TMP/movie.rm"
inspect settext 1023 "$title" || fail "could not set the title"
add_file "$E2E_TMP/clip.avi"
inspect select 1024 1 || fail "could not choose profile 1"
# A device profile's own settings hold: the page greys the panel's settings out.
control_line 1025 | grep_q ' enabled=0 ' || fail "the settings stay enabled under profile 1: $(control_line 1025)"

# The intermediate file lives only for the few seconds of its task: a watcher notes each one.
( while :; do ls -A "$VARNELLO_DATA" 2>/dev/null | grep -E '_[0-9]{5}[.](avi|mpg)$' >> "$E2E_TMP/seen" || true; sleep 0.05; done ) &
watcher=$!
click_control 1048
wait_for 240 xdotool search --onlyvisible --name '^Information$' || fail "the run did not end"
kill "$watcher" 2>/dev/null || true; wait "$watcher" 2>/dev/null || true
seen="$(sort -u "$E2E_TMP/seen" 2>/dev/null)"
echo "$seen" | grep_q -xE '[.][.]_a_b______c_[0-9]{5}[.](avi|mpg)' \
    || fail "no intermediate file under the title's safe name in the user's data folder: [$seen]"
box="$(xdotool search --onlyvisible --name '^Information$' | head -1)"
xdotool windowfocus "$box" 2>/dev/null || true; sleep 0.3
xdotool key Return
expect_alive "read-only program"
expect_no_leftovers "read-only program"

[ "$(progress_text 0)" = "Finished" ] || fail "RealMedia task: row 0 shows [$(progress_text 0)]"
expect_row_failed 1 "missing encoder"
converted="$out/.._a_b______c.mp4"
[ "$(ls -A "$out")" = "$(basename "$converted")" ] || fail "the output folder holds [$(ls -A "$out")]"
length="$(ffprobe -v error -show_entries format=duration -of csv=p=0 "$converted")"
awk -v d="$length" 'BEGIN { exit !(d > 18 && d < 22) }' || fail "the RealMedia output lasts ${length:-nothing}"

log_apis | grep_q -x 'CreateProcess' || fail "the per-user log holds no CreateProcess entry: [$(log_apis)]"
[ "$(folder_fingerprint "$VARNELLO_DIST")" = "$program_before" ] \
    || fail "the program folder changed: $(diff <(echo "$program_before") <(folder_fingerprint "$VARNELLO_DIST"))"
left="$(intermediate_files "$VARNELLO_DATA" "$VARNELLO_DIST" "$out" "$E2E_TMP" "$WINEPREFIX/drive_c" -newer "$E2E_TMP/started")"
[ -z "$left" ] || fail "intermediate files are left: $left"

close_varnello
if [ -z "$protection" ]; then
    echo "NOT RUN: the program folder could not be made read-only; the rest passed"
    exit 77
fi
echo "ok: from a read-only folder a RealMedia task converts, a failure is logged per user, nothing is left"
