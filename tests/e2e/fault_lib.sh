# Steps shared by the fault tests: runs that must end cleanly however the encoder, the source,
# the output folder or the profile file misbehave. Source after lib.sh.

# Starts a run with Start and waits for the "Information" box that ends it; closes the box.
run_to_end() {
    local what="$1" box
    click_control 1048
    wait_for 240 xdotool search --onlyvisible --name '^Information$' || fail "$what: the run did not end"
    box="$(xdotool search --onlyvisible --name '^Information$' | head -1)"
    xdotool windowfocus "$box" 2>/dev/null || true; wait_for 10 has_focus "$box" || true
    xdotool key Return
    wait_for 10 bash -c "! xdotool search --onlyvisible --name '^Information\$'" || fail "$what: the box stayed"
}

# The Progress cell of a row.
progress_text() { row_text "$1" | awk -F' [|] ' '{ print $6 }'; }

expect_row_failed() {
    local cell
    cell="$(progress_text "$1")"
    [ "$cell" = "Failed" ] || fail "$2: row $1 shows [$cell], not Failed"
}

# The program is still there, with its window.
expect_alive() {
    varnello_running || fail "$1: Varnello is gone (crashed?); its output: $(cat "$E2E_TMP/varnello.log")"
    inspect frame >/dev/null || fail "$1: the Varnello window is gone"
}

# No encoder, ffmpeg or crash handler of this prefix is left running.
expect_no_leftovers() {
    encoders_gone || fail "$1: encoder processes left: $(encoder_processes)"
    wait_for 10 no_prefix_pids 'winedbg' || fail "$1: a crash handler is left running"
}

# Number of error entries in the program's log (in the user's data folder of the program).
log_entries() {
    local log="$VARNELLO_DATA/log.txt"
    [ -f "$log" ] || { echo 0; return; }
    grep -c '^ERROR:' "$log" || true
}
# The API names of the log's entries, one line each.
log_apis() {
    local log="$VARNELLO_DATA/log.txt"
    [ -f "$log" ] || return 0
    tr -d '\r' <"$log" | sed -n 's/^ERROR:   API         =   \(.*\)\.$/\1/p'
}
clear_log() { rm -f "$VARNELLO_DATA/log.txt"; }

# A listing of a folder with sizes and checksums, to show that nothing in it changed.
folder_fingerprint() { (cd "$1" && find . -type f -exec md5sum {} + | sort); }

# Without a person to dismiss it, Wine's crash dialog would hold a crashed encoder forever:
# let a crash end the process at once in this test's prefix, as an unattended machine does.
quiet_crash_handler() {
    "$WINE" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
}
restore_crash_handler() {
    "$WINE" reg delete 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /f >/dev/null 2>&1 || true
}
# A fault test killed by ctest's time-out cannot restore the shared prefix at its exit: every
# fault test starts by undoing what such a run may have left there.
restore_crash_handler
clear_output_dir
