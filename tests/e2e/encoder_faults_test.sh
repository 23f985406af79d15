#!/usr/bin/env bash
# Faults of the encoder and the source, on the real program: an encoder that crashes at start,
# one that is missing, one killed half-way, and a source deleted after it was added. Each time
# the program survives, the task shows "Failed", no file already in the output folder changes,
# no encoder process is left, and the log holds one entry per failed system call, besides the
# entry that tells why a task failed.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/fault_lib.sh"
trap 'keep_failure $?; clear_output_dir; restore_crash_handler; cleanup_e2e' EXIT

use_private_dist
real_venc="$E2E_TMP/venc.exe"
cp "$VARNELLO_DIST/app/venc.exe" "$real_venc"
quiet_crash_handler

out="$E2E_TMP/out"; mkdir -p "$out"
# Files a failed run must leave alone, under the names the run would choose first.
echo "kept" > "$out/long.mp4"
echo "kept too" > "$out/gone.mp4"
set_output_dir "$out"
before="$(folder_fingerprint "$out")"

# Long enough that the encoder is still at work when it is killed.
make_long_clip "$E2E_TMP/long.avi" 300 -s 640x480
start_varnello
add_file "$E2E_TMP/long.avi"

# 1. An encoder that crashes at start, before writing anything.
cp "$VARNELLO_TEST_BIN/faulty_encoder.exe" "$VARNELLO_DIST/app/venc.exe"
run_to_end "crashing encoder"
expect_alive "crashing encoder"
expect_row_failed 0 "crashing encoder"
expect_no_leftovers "crashing encoder"
[ "$(folder_fingerprint "$out")" = "$before" ] || fail "crashing encoder: the output folder changed: $(ls "$out")"
[ "$(log_entries)" = "0" ] || fail "crashing encoder: no system call failed, yet the log has: $(log_apis)"

# 2. No encoder at all: the start fails, and that is the one entry in the log.
rm "$VARNELLO_DIST/app/venc.exe"
run_to_end "missing encoder"
expect_alive "missing encoder"
expect_row_failed 0 "missing encoder"
[ "$(log_apis)" = "CreateProcess" ] || fail "missing encoder: the log should hold one CreateProcess entry, has: $(log_apis)"
[ "$(folder_fingerprint "$out")" = "$before" ] || fail "missing encoder: the output folder changed: $(ls "$out")"
clear_log

# 3. The real encoder, killed half-way: part of a file is written, but the task failed and
# the part is removed.
cp "$real_venc" "$VARNELLO_DIST/app/venc.exe"
click_control 1048
wait_for 60 prefix_pids_exist 'venc[.]exe' || fail "killed encoder: the encoder did not start"
# Wait until it has reported some progress, so that a partial file really exists.
wait_for 60 bash -c "[ -s '$out/long_2.mp4' ]" || fail "killed encoder: no output appeared"
# Killed as the task manager kills: TerminateProcess.
inspect kill venc.exe >/dev/null || fail "killed encoder: could not kill venc.exe"
wait_for 120 xdotool search --onlyvisible --name '^Information$' || fail "killed encoder: the run did not end"
box="$(xdotool search --onlyvisible --name '^Information$' | head -1)"
xdotool windowfocus "$box" 2>/dev/null || true; wait_for 10 has_focus "$box" || true; xdotool key Return
expect_alive "killed encoder"
expect_row_failed 0 "killed encoder"
expect_no_leftovers "killed encoder"
# The cut-off file is removed: it is no video, only a waste of disk.
[ "$(folder_fingerprint "$out")" = "$before" ] || fail "killed encoder: the output folder changed: $(ls -la "$out")"
[ "$(log_entries)" = "0" ] || fail "killed encoder: unexpected log entries: $(log_apis)"

# 4. A source deleted after it was added.
click_control 1014
make_clip "$E2E_TMP/gone.avi" 2
add_file "$E2E_TMP/gone.avi"
[ "$(list_count)" = "1" ] || fail "deleted source: expected one row, got $(list_count)"
rm "$E2E_TMP/gone.avi"
run_to_end "deleted source"
expect_alive "deleted source"
expect_row_failed 0 "deleted source"
expect_no_leftovers "deleted source"
[ "$(folder_fingerprint "$out")" = "$before" ] || fail "deleted source: the output folder changed: $(ls "$out")"
[ "$(log_entries)" = "0" ] || fail "deleted source: unexpected log entries: $(log_apis)"
# The log says why, in the encoder's words, under the task's source.
log="$(tr -d '\r' <"$VARNELLO_DATA/log.txt" 2>/dev/null || true)"
grep_q -F "source          =   $(winpath "$E2E_TMP/gone.avi")" <<<"$log" && grep_q -F "venc: input file not found" <<<"$log" \
    || fail "deleted source: the log does not say why the task failed: $log"

click_control 1014
close_varnello

# 5. An encoder that also talks to its console (the screen buffer, the title, a console child
# of its own) while its output goes to the program: it gets a console that works and shows
# no window, and its task converts.
cp "$VARNELLO_TEST_BIN/faulty_encoder.exe" "$VARNELLO_DIST/app/venc.exe"
FAULTY_ENCODER_MODE=console start_varnello
make_clip "$E2E_TMP/console.avi" 2
add_file "$E2E_TMP/console.avi"
run_to_end "console encoder"
[ "$(progress_text 0)" = "Finished" ] || fail "console encoder: row 0 shows [$(progress_text 0)]: $(tr -d '\r' <"$VARNELLO_DATA/log.txt" 2>/dev/null | grep -F 'faulty encoder:')"
expect_no_leftovers "console encoder"
close_varnello
echo "ok: crashed, missing and killed encoders and a vanished source fail cleanly; an encoder's console works unseen"
