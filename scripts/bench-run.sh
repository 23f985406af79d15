#!/usr/bin/env bash
# How much a whole conversion run costs over the encoder itself.
#
#   scripts/bench-run.sh [ROUNDS]     (default 5; needs a build: scripts/build.sh)
#
# Three generated clips (5, 12 and 20 s) are converted ROUNDS times by the whole program
# (from the click on Start to the "Converting Finished" box: command lines, encoder runs,
# progress parsing and painting, ViviRarir after each task) and ROUNDS times by the same
# three command lines given to app/venc.exe one after the other. The rounds alternate, so a
# change in the machine's load falls on both; which of the two goes first alternates too. Prints every time, each round's ratio and the
# median ratio (program / encoder alone); the target is at most 1.03. Twice: as shipped, with
# ViviRarir run after each task, and with ViviRarir absent, which leaves the run's own cost.
# Runs in an Xvfb display and Wine prefix of its own, removed at the end.
set -euo pipefail
rounds="${1:-5}"
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bench_private=1
source "$root/scripts/bench_window.sh"
trap end_bench_window EXIT

clips=(bench5 bench12 bench20)
lengths=(5 12 20)
out="$E2E_TMP/out"; mkdir -p "$out"
for i in 0 1 2; do make_clip "$E2E_TMP/${clips[$i]}.avi" "${lengths[$i]}"; done
set_output_dir "$out"

# Every task uses profile 1, whose options are all literal: the script can build the very
# command line the program builds from the same template.
profile_index=1
template="$(awk -v want="[profile$profile_index]" '/^\[/ { s = $0 } s == want && /^Command0=/ { sub(/^Command0=/, ""); print }' \
    "$VARNELLO_DIST/app/iPod_Profile.ini" | tr -d '\r')"
[ -n "$template" ] || { echo "no template for profile $profile_index" >&2; exit 1; }

# The command line of task i, as the program expands it (untrimmed: start 0, the length the
# program shows in the End Time column).
command_line() {
    local i="$1" end cmd
    end="$(inspect cell "$i" 2)"
    cmd="${template//\$INPUT_FILE/$(winpath "$E2E_TMP/${clips[$i]}.avi")}"
    cmd="${cmd//\$START/ -ss 00:00:00}"
    cmd="${cmd//\$LENGTH/ -t $end}"
    cmd="${cmd//\$TITLE/${clips[$i]}}"
    cmd="${cmd//\$TIMESTAMP/$(date '+%Y-%m-%d %H:%M:%S')}"
    cmd="${cmd//\$OUTPUT_FILE/$(winpath "$out/${clips[$i]}.mp4")}"
    echo "$cmd"
}
run_program() {
    local box t0 t1 waiter
    rm -f "$out"/*
    # The end is seen by a waiter inside Wine, started before the click: polling the display
    # with xdotool costs the X server some 60 ms of processor time a look, which on a small
    # machine would slow the run being measured.
    "$WINE" "$VARNELLO_TEST_BIN/inspect.exe" wait-caption Information 600000 >/dev/null 2>&1 &
    waiter=$!
    sleep 2
    t0="$(now)"
    xdotool mousemove "$sx" "$sy" click 1
    wait "$waiter" || fail "the run did not end with its box"
    t1="$(now)"
    box="$(xdotool search --onlyvisible --name '^Information$' | head -1)"
    xdotool windowfocus "$box" 2>/dev/null || true; sleep 0.3
    xdotool key Return
    wait_for 10 bash -c "! xdotool search --onlyvisible --name '^Information\$'" || fail "the box stayed"
    [ "$(ls "$out" | wc -l)" = "3" ] || fail "the program wrote: $(ls "$out")"
    seconds_between "$t0" "$t1"
}

run_encoder_alone() {
    local t0 t1 i args
    rm -f "$out"/*
    t0="$(now)"
    for i in 0 1 2; do
        # The line's own quoting splits it, as the program's command line is split.
        eval "args=(${commands[$i]})"
        (cd "$VARNELLO_DIST/app" && "$WINE" "./${args[0]}" "${args[@]:1}" </dev/null >/dev/null 2>&1)
    done
    t1="$(now)"
    [ "$(ls "$out" | wc -l)" = "3" ] || fail "venc wrote: $(ls "$out")"
    seconds_between "$t0" "$t1"
}

# bench_variant NAME: starts the program from $VARNELLO_DIST, adds the three tasks, runs one
# unmeasured round of each kind (files and DLLs into the page cache), then the measured rounds.
bench_variant() {
    local name="$1" r p e ratio
    local -a ratios=() program_times=() encoder_times=()
    start_varnello
    for i in 0 1 2; do
        add_file "$E2E_TMP/${clips[$i]}.avi"
        inspect select 1024 "$profile_index" || fail "could not choose profile $profile_index"
    done
    [ "$(list_count)" = "3" ] || fail "expected 3 tasks, got $(list_count)"
    for i in 0 1 2; do commands[$i]="$(command_line "$i")"; done
    read -r sx sy < <(control_centre 1048)
    run_program >/dev/null
    run_encoder_alone >/dev/null
    echo "== $name"
    for r in $(seq 1 "$rounds"); do
        # Alternate which goes first, so that neither always meets the same moment of load.
        if [ $((r % 2)) = 1 ]; then
            p="$(run_program)"; e="$(run_encoder_alone)"
        else
            e="$(run_encoder_alone)"; p="$(run_program)"
        fi
        ratio="$(awk -v p="$p" -v e="$e" 'BEGIN { printf "%.4f", p / e }')"
        program_times+=("$p"); encoder_times+=("$e"); ratios+=("$ratio")
        echo "round $r: program ${p} s, venc alone ${e} s, ratio $ratio"
    done
    close_varnello
    echo "median program time:    $(printf '%s\n' "${program_times[@]}" | median) s"
    echo "median venc-alone time: $(printf '%s\n' "${encoder_times[@]}" | median) s"
    echo "median ratio:           $(printf '%s\n' "${ratios[@]}" | median)  (target <= 1.03)"
}

declare -a commands
sx=0; sy=0
# As shipped: ViviRarir runs after each task (it finds no iTunes here and exits).
bench_variant "whole run, ViviRarir after each task (as shipped)"
# The run's own cost: the same with ViviRarir absent, which the program skips silently.
use_private_dist
rm -f "$VARNELLO_DIST/app/ViviRarir.exe"
bench_variant "whole run without ViviRarir (the run's own overhead)"
echo "task 0's command line: ${commands[0]}"
