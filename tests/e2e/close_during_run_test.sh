#!/usr/bin/env bash
# Closing the window while a conversion runs stops it: the encoder is told to quit and is
# gone within a second, a RealMedia task's intermediate file is removed, nothing is left.
source "$(dirname "$0")/lib.sh"

out="$E2E_TMP/out"; mkdir -p "$out"
set_output_dir "$out"
trap 'clear_output_dir; cleanup_e2e' EXIT

# 1. During the encoder of a plain task.
make_clip "$E2E_TMP/long.avi" 60
start_varnello
add_file "$E2E_TMP/long.avi"
click_control 1048
wait_for 30 pgrep -f venc.exe || fail "the encoder did not start"
sleep 2
close_varnello
sleep 1
[ -z "$(encoder_processes)" ] || fail "encoder processes left after closing: $(encoder_processes)"

# 2. During the intermediate step of a RealMedia task.
make_clip "$E2E_TMP/movie.rm" 60
rm -f "$VARNELLO_DIST"/movie_*.avi "$VARNELLO_DIST"/movie_*.mpg
start_varnello
add_file "$E2E_TMP/movie.rm"
click_control 1048
wait_for 30 bash -c "ls '$VARNELLO_DIST'/movie_*.avi '$VARNELLO_DIST'/movie_*.mpg 2>/dev/null | grep -q ." \
    || fail "no intermediate file appeared"
sleep 1
close_varnello
sleep 1
[ -z "$(encoder_processes)" ] || fail "processes left after closing: $(encoder_processes)"
if ls "$VARNELLO_DIST"/movie_*.avi "$VARNELLO_DIST"/movie_*.mpg >/dev/null 2>&1; then
    fail "the intermediate file is still there: $(ls "$VARNELLO_DIST"/movie_*)"
fi
echo "ok: closing during a run stops it and cleans up"
