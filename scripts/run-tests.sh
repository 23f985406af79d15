#!/usr/bin/env bash
# Runs the built tests under ctest and judges the result: run-tests.sh BUILD [CTEST ARGS...]
#
# Under Wine and Xvfb a test now and then fails for the machine's sake rather than the
# program's (a Wine process that did not start on a busy machine, say), so the tests that
# failed run once more, in a new session: a fault of the program fails them again. But a test
# that passes only the second time still fails the command, unless it is named in
# tests/accepted-flakes.txt with the issue that owns its cause and the reason; the command says
# which it accepted. That list is meant to stay empty. VARNELLO_NO_RERUN=1 stops at the first
# run. At the end every test that did not run (skipped with exit code 77, disabled, missing)
# is named, so that a case that dropped out is seen.
#
# Each run's whole output is kept in BUILD/test-run-1.log and BUILD/test-run-2.log; a failed
# end-to-end test keeps its logs and a screenshot in BUILD/failed-tests/run-N/NAME/.
#
# Two tests run at once (VARNELLO_TEST_JOBS, 2 by default): the window tests one after another
# under their resource lock, the others (headless Windows tests in a prefix of their own, the
# native build, the source checks) beside them.
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$(cd "${1:?usage: run-tests.sh BUILD [CTEST ARGS...]}" && pwd)"; shift
accepted_file="${VARNELLO_ACCEPTED_FLAKES:-$root/tests/accepted-flakes.txt}"
cd "$build" || exit 1
rm -rf "$build/failed-tests" "$build"/test-run-[12].log

# A new Wine session: one left by an interrupted run, or by the first run, would hold a stale
# display and prefix. Without a prefix there is none to end.
new_session() {
    if [ -e "$build/wineprefix-headless" ]; then
        VARNELLO_BUILD_DIR="$build" VARNELLO_WINEPREFIX="$build/wineprefix-headless" VARNELLO_HEADLESS=1 \
            "$root/scripts/wine-run.sh" --session-stop >/dev/null 2>&1 || true
    fi
    [ -e "$build/wineprefix" ] || [ -e "$build/wine-session.env" ] || return 0
    VARNELLO_BUILD_DIR="$build" "$root/scripts/wine-run.sh" --session-stop >/dev/null 2>&1 || true
}

# Runs ctest once: run_ctest N ARGS...; its output goes to the terminal and to test-run-N.log.
run_ctest() {
    local n="$1"; shift
    VARNELLO_FAILED_TESTS="$build/failed-tests/run-$n" ctest --output-on-failure -j"${VARNELLO_TEST_JOBS:-2}" "$@" 2>&1 \
        | tee "$build/test-run-$n.log"
    return "${PIPESTATUS[0]}"
}

# The names in ctest's closing "did not run" list of a run's log, one a line, with the reason
# ctest gives ("Skipped", "Disabled", "Not Run").
not_run_of() {
    awk '/^The following tests did not run:/ { on = 1; next }
         on && /^[ \t]+[0-9]+ - / { sub(/^[ \t]+[0-9]+ - /, ""); print; next }
         { on = 0 }' "$1" 2>/dev/null
}

# The tests a run's log shows as passed, one name a line.
passed_of() {
    sed -n 's/^ *[0-9]*\/[0-9]* *Test *#[0-9]*: \([^ ]*\) .* Passed .*/\1/p' "$1" 2>/dev/null
}

# The tests that ctest recorded as failed by its last run, one name a line.
last_failed() { cut -d: -f2 Testing/Temporary/LastTestsFailed.log 2>/dev/null; }

# Prints, at the very end, what did not run, then leaves with STATUS.
finish() {
    local status="$1" skipped
    skipped="$( { not_run_of "$build/test-run-1.log"; not_run_of "$build/test-run-2.log"; } | sort -u)"
    if [ -n "$skipped" ]; then
        echo "== Did not run ($(echo "$skipped" | wc -l)):"
        echo "$skipped" | sed 's/^/     /'
    else
        echo "== Every selected test ran."
    fi
    [ ! -d "$build/failed-tests" ] || echo "== Logs and screenshots of the failed end-to-end tests: $build/failed-tests"
    exit "$status"
}

# The entry of tests/accepted-flakes.txt for a test: "NAME #ISSUE REASON...". Prints
# "#ISSUE REASON" when the test is listed with both; fails otherwise.
accepted_entry() {
    [ -f "$accepted_file" ] || return 1
    awk -v name="$1" '$1 == name && $2 ~ /^#[0-9]+$/ && NF >= 3 { $1 = ""; sub(/^ /, ""); print; found = 1; exit }
                      END { exit !found }' "$accepted_file"
}

new_session
run_ctest 1 "$@"
first_status=$?
[ "$first_status" != 0 ] || finish 0
failed="$(last_failed)"
if [ -z "$failed" ] || [ "${VARNELLO_NO_RERUN:-0}" = 1 ]; then finish 1; fi

echo "== Failed on the first run, run once more: $(echo $failed)"
new_session
run_ctest 2 --rerun-failed "$@"
second_passed="$(passed_of "$build/test-run-2.log")"

status=0
for name in $failed; do
    if ! grep -qxF "$name" <<<"$second_passed"; then
        echo "== Failed, and did not pass when run once more: $name"
        status=1
    elif entry="$(accepted_entry "$name")"; then
        echo "== Accepted: $name passed only on the second run, a known flake (issue $entry)"
    else
        echo "== Passed only on the second run, and $(basename "$accepted_file") does not name it: $name"
        status=1
    fi
done
finish "$status"
