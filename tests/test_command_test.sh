#!/usr/bin/env bash
# The test command's judgement (scripts/run-tests.sh), on a small ctest project of its own: a
# test that passes only when run once more fails the command unless the accepted-flakes list
# names it with an issue and a reason; a test that fails twice fails it; every test that did
# not run is named at the end.
set -euo pipefail
: "${VARNELLO_SOURCE:?}"
work="$(mktemp -d)"; trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

mkdir -p "$work/project" "$work/build"
cat > "$work/project/CMakeLists.txt" <<EOF
cmake_minimum_required(VERSION 3.16)
project(judged NONE)
enable_testing()
add_test(NAME steady COMMAND true)
add_test(NAME skipping COMMAND sh -c "exit 77")
set_tests_properties(skipping PROPERTIES SKIP_RETURN_CODE 77)
# Fails the first time after the marker folder is emptied, passes the next.
add_test(NAME flaky COMMAND sh -c "[ -e '$work/marks/flaky' ] || { touch '$work/marks/flaky'; exit 1; }")
add_test(NAME broken COMMAND false)
EOF
cmake -S "$work/project" -B "$work/build" >/dev/null || fail "the judged project does not configure"

# judge LIST CTEST-ARGS...: runs the command with LIST as the accepted flakes; its output is in
# $work/out, its exit code in $status.
judge() {
    local list="$1"; shift
    rm -rf "$work/marks"; mkdir -p "$work/marks"
    status=0
    VARNELLO_ACCEPTED_FLAKES="$list" "$VARNELLO_SOURCE/scripts/run-tests.sh" "$work/build" "$@" \
        >"$work/out" 2>&1 || status=$?
}
says() { grep -qF -- "$1" "$work/out" || fail "$2: the output does not say [$1]: $(cat "$work/out")"; }

: > "$work/empty.txt"
printf 'flaky #12 fails the first time in this project\n' > "$work/listed.txt"
printf 'flaky no reason or issue given\nflaky #12\n' > "$work/unowned.txt"

judge "$work/empty.txt" -R '^(steady|skipping|flaky)$'
[ "$status" != 0 ] || fail "a test that passed only on the second run left the command green: $(cat "$work/out")"
says "does not name it: flaky" "unlisted flake"
echo "ok: a rerun that passes is not silent"

judge "$work/unowned.txt" -R '^flaky$'
[ "$status" != 0 ] || fail "an entry without issue or reason accepted the flake: $(cat "$work/out")"
echo "ok: an entry needs an owner issue and a reason"

judge "$work/listed.txt" -R '^(steady|flaky)$'
[ "$status" = 0 ] || fail "a listed flake failed the command: $(cat "$work/out")"
says "Accepted: flaky passed only on the second run, a known flake (issue #12 fails the first time in this project)" "listed flake"
echo "ok: a listed flake is accepted, and said so"

judge "$work/listed.txt" -R '^(steady|broken)$'
[ "$status" != 0 ] || fail "a test that failed twice left the command green"
says "did not pass when run once more: broken" "broken test"
echo "ok: a test failing twice fails the command"

# What did not run is named after everything else, also when all that ran passed.
judge "$work/empty.txt" -R '^(steady|skipping)$'
[ "$status" = 0 ] || fail "a skip failed the command: $(cat "$work/out")"
[ "$(tail -2 "$work/out")" = "$(printf '== Did not run (1):\n     skipping (Skipped)')" ] \
    || fail "the output does not end with the skipped test: $(tail -5 "$work/out")"
judge "$work/empty.txt" -R '^steady$'
[ "$(tail -1 "$work/out")" = "== Every selected test ran." ] || fail "with nothing skipped the output ends: $(tail -3 "$work/out")"
echo "ok: the tests that did not run are named at the end"
