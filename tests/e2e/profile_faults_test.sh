#!/usr/bin/env bash
# A broken profile file, on the real program: missing, empty, cut off in the middle of a line,
# and 1 MB of random bytes. Each time the program starts, its window works, a run over one task
# ends with the task "Failed", nothing is written in the output folder or beside the program,
# no process is left, and the log holds one entry per failed system call.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/fault_lib.sh"
trap 'keep_failure $?; clear_output_dir; cleanup_e2e' EXIT

use_private_dist
profile="$VARNELLO_DIST/app/iPod_Profile.ini"
cp "$profile" "$E2E_TMP/shipped.ini"
make_clip "$E2E_TMP/clip.avi" 2
out="$E2E_TMP/out"; mkdir -p "$out"
set_output_dir "$out"

# The program folder, to show that nothing was written beside the program (the log included).
program_files() { folder_fingerprint "$VARNELLO_DIST"; }

# check_profile WHAT COMBO_ITEMS LOG_APIS: starts the program on the profile file in place,
# runs one task and checks the outcome.
check_profile() {
    local what="$1" items="$2" apis="$3" before
    clear_log
    before="$(program_files)"
    start_varnello
    expect_alive "$what"
    [ "$(state | sed -n 's/^combo 1024 sel=[0-9-]* count=\([0-9]*\)/\1/p')" = "$items" ] \
        || fail "$what: the profile combo should hold $items items: $(state | grep '^combo 1024')"
    add_file "$E2E_TMP/clip.avi"
    run_to_end "$what"
    expect_alive "$what"
    expect_row_failed 0 "$what"
    expect_no_leftovers "$what"
    [ -z "$(ls -A "$out")" ] || fail "$what: something was written: $(ls "$out")"
    [ "$(program_files)" = "$before" ] || fail "$what: files beside the program changed"
    [ "$(log_apis | tr '\n' ' ')" = "$apis" ] || fail "$what: the log should list [$apis], lists [$(log_apis | tr '\n' ' ')]"
    close_varnello
}

# 1. No profile file: no profiles, and an empty command line that cannot start.
rm "$profile"
check_profile "missing profile file" 0 "CreateProcess "

# 2. An empty one: the same.
: > "$profile"
check_profile "empty profile file" 0 "CreateProcess "

# 3. Cut off in the middle of the first template's line: the profile is there, but its command
# names no output file, so the encoder refuses to start work; no call of the program fails.
line="$(grep -n '^Command0=' "$E2E_TMP/shipped.ini" | head -1 | cut -d: -f1)"
head -n $(( line - 1 )) "$E2E_TMP/shipped.ini" > "$profile"
text="$(sed -n "${line}p" "$E2E_TMP/shipped.ini")"
printf '%s' "${text:0:$(( ${#text} / 2 ))}" >> "$profile"
grep -q 'OUTPUT_FILE' "$profile" && fail "the cut profile still names the output file"
check_profile "profile file cut in a line" 1 ""

# 4. A megabyte of random bytes (the same bytes every run).
python3 -c 'import random, sys; random.seed(20261207); sys.stdout.buffer.write(bytes(random.getrandbits(8) for _ in range(1 << 20)))' > "$profile"
[ "$(stat -c %s "$profile")" = "1048576" ] || fail "the random profile file has the wrong size"
check_profile "random profile file" 0 "CreateProcess "

echo "ok: missing, empty, cut and random profile files leave a working program and a failed task"
