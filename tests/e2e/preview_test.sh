#!/usr/bin/env bash
# Trimming and previewing with the mouse and keys on the real window, checked against the
# pictures of the source: dragging the left thumb moves Begin Time during the drag and, on
# release, shows the frame at the new start; arrow keys move the range without a preview;
# Play plays the trimmed range and Stop preview stops it where it is. At 150 %, started there
# or moved there, the scaled slider trims the same way.
source "$(dirname "$0")/lib.sh"

clip="$E2E_TMP/clock.avi"
font=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf
clock=""   # a big running clock on the picture, when the font is there
[ -f "$font" ] && clock=",drawtext=fontfile=$font:text='%{pts\:hms}':fontsize=34:fontcolor=white:box=1:boxcolor=black:x=10:y=95"
ffmpeg -v error -y -f lavfi -i "testsrc=duration=15:size=320x240:rate=25$clock" \
    -f lavfi -i "sine=frequency=440:duration=15" -shortest "$clip"
length="$(ffprobe -v error -show_entries format=duration -of csv=p=0 "$clip")"

# The source's pictures as the 264 x 200 video window shows a 4:3 picture: the reference
# frame at time T, and one frame for each whole second.
frame_at() {
    ffmpeg -v error -y -ss "$1" -i "$clip" -frames:v 1 -vf scale=264:198,pad=264:200:0:1 "$2"
}
ffmpeg -v error -y -i "$clip" -vf fps=1,scale=264:198,pad=264:200:0:1 -start_number 0 "$E2E_TMP/second%02d.png"
# The whole second whose picture is nearest to a screen picture.
nearest_second() {
    local best=0 best_d=2 d s
    for s in $(seq 0 14); do
        d="$(picture_distance "$1" "$(printf '%s/second%02d.png' "$E2E_TMP" "$s")")"
        check "$d < $best_d" && { best="$s"; best_d="$d"; }
    done
    echo "$best"
}
mean_brightness() { convert "$1" -format '%[fx:mean]' info:; }
begin_end() { row_text 0 | awk -F' \\| ' '{ print $3, $4 }'; }
begin_end_is() { [ "$(begin_end)" = "$1" ]; }

# What must not be previewed is looked for in every picture of the video window from the
# moment it could appear until a preview that must come after it has shown: the page starts
# no preview while another waits for its first picture, so a preview that should not have
# been started either keeps the later one from coming at all, or is on the screen before it
# and stays there at least until the later one's decoder has started and shown a picture. A
# slow machine makes that time longer, never shorter.
# watch_video NAME: pictures of the video window, one after another, into $E2E_TMP/NAME/
# until stop_watching NAME.
watch_video() {
    local dir="$E2E_TMP/$1"
    rm -rf "$dir" "$dir.stop"; mkdir -p "$dir"
    # It ends also when the test's clean-up has removed its folder.
    ( n=0
      while [ ! -e "$dir.stop" ] && [ -d "$dir" ]; do
          f="$dir/$(printf '%04d' "$n").png"
          video_pixels "$f" 2>/dev/null || rm -f "$f"
          n=$((n + 1)); sleep 0.05
      done ) >/dev/null 2>&1 &
    WATCHER_PID=$!
}
stop_watching() {
    touch "$E2E_TMP/$1.stop"
    wait "$WATCHER_PID" || true
    local taken
    taken="$(ls "$E2E_TMP/$1" | wc -l)"
    [ "$taken" -ge 3 ] || fail "$1: only $taken pictures of the video window were taken"
    echo "$1: $taken pictures of the video window"
}
# The pictures of watch NAME that are like none of ALLOWED, each "black" or PICTURE@DISTANCE
# (nearer to PICTURE than DISTANCE): unlike NAME ALLOWED...
unlike() {
    local name="$1" f wanted ok; shift
    for f in "$E2E_TMP/$name"/*.png; do
        ok=0
        for wanted in "$@"; do
            if [ "$wanted" = black ]; then
                check "$(mean_brightness "$f") < 0.02" && ok=1
            else
                check "$(picture_distance "$f" "${wanted%@*}") < ${wanted##*@}" && ok=1
            fi
            [ "$ok" = 0 ] || break
        done
        [ "$ok" = 1 ] || echo "$(basename "$f")"
    done
}

start_varnello
remember_rects
focus_varnello
add_file "$clip"
row_text 0 | grep_q '| 00:00:00 | 00:00:15 |' || fail "the added clip reads: $(row_text 0)"
video=($(control_rect 1053))
video_geometry="$((video[2] - video[0]))x$((video[3] - video[1]))+${video[0]}+${video[1]}"
video_pixels() { import -window root -crop "$video_geometry" +repage "$1"; }

# 1. Drag the left thumb to about a third of the track (196 pixels: the slider's width less
#    its two thumbs). The mouse is pressed on the thumb's middle, so the value follows the
#    pointer exactly.
slider=($(control_rect 1047))
y=$(( (slider[1] + slider[3]) / 2 )); x0=$(( slider[0] + 6 ))
#    The window stays black during the drag, and after the release shows only the frame at
#    the new start: a preview started by the drag's first steps would show an earlier frame.
watch_video drag
xdotool mousemove "$x0" "$y" mousedown 1; input_taken
xdotool mousemove $((x0 + 10)) "$y"; input_taken
xdotool mousemove $((x0 + 20)) "$y"; input_taken
wait_for 15 begin_end_is "00:00:01 00:00:15" || fail "during the drag (1.5 s) the row reads: $(row_text 0)"
xdotool mousemove $((x0 + 40)) "$y"; input_taken
xdotool mousemove $((x0 + 62)) "$y"; input_taken
wait_for 15 begin_end_is "00:00:04 00:00:15" || fail "during the drag (4.7 s) the row reads: $(row_text 0)"
stop_watching drag
previewed="$(unlike drag black)"
[ -z "$previewed" ] || fail "something was previewed before the button was released (pictures $(echo $previewed) of the drag)"

start="$(awk -v l="$length" 'BEGIN { printf "%.3f", l * 62 / 196 }')"
frame_at "$start" "$E2E_TMP/expected.png"
shows_start() { video_pixels "$E2E_TMP/shown.png"; check "$(picture_distance "$E2E_TMP/shown.png" "$E2E_TMP/expected.png") < 0.05"; }
watch_video release
xdotool mouseup 1
wait_for 30 shows_start || fail "after the release the video window does not show the frame at $start s (distance $(picture_distance "$E2E_TMP/shown.png" "$E2E_TMP/expected.png"))"
stop_watching release
previewed="$(unlike release black "$E2E_TMP/expected.png@0.05")"
[ -z "$previewed" ] || fail "before the frame at $start s another picture was shown (pictures $(echo $previewed) after the release)"
right="$(picture_distance "$E2E_TMP/shown.png" "$E2E_TMP/expected.png")"
for other in $(awk -v s="$start" 'BEGIN { print s - 2, s + 2 }'); do
    frame_at "$other" "$E2E_TMP/other.png"
    wrong="$(picture_distance "$E2E_TMP/shown.png" "$E2E_TMP/other.png")"
    check "$wrong > 3 * $right && $wrong > 0.05" \
        || fail "the preview is not clearly the frame at $start s: $right from it, $wrong from the one at $other s"
    echo "preview at $start s: distance $right from its frame, $wrong from the frame at $other s"
done
shot trim-preview

# 2. Twenty presses of Left move the whole range back by twenty pixels (1.5 s): the times
#    change, the picture does not. A click on the right thumb, which does not move it, then
#    previews the range's end; until that frame shows, the picture is still the one at the
#    old start (a preview by the keys would show the frame at the new start).
watch_video keys
xdotool key --delay 60 $(printf 'Left %.0s' $(seq 20)); input_taken
wait_for 15 begin_end_is "00:00:03 00:00:13" || fail "after twenty Left keys the row reads: $(row_text 0)"
end="$(awk -v l="$length" 'BEGIN { printf "%.3f", l * 176 / 196 }')"
frame_at "$end" "$E2E_TMP/expected_end.png"
shows_end() { video_pixels "$E2E_TMP/after_keys.png"; check "$(picture_distance "$E2E_TMP/after_keys.png" "$E2E_TMP/expected_end.png") < 0.05"; }
# The right thumb's middle, twenty pixels from the track's end.
xdotool mousemove $((slider[2] - 26)) "$y" click 1; input_taken
wait_for 30 shows_end || fail "a click on the right thumb did not show the frame at the range's end, $end s (distance $(picture_distance "$E2E_TMP/after_keys.png" "$E2E_TMP/expected_end.png"))"
stop_watching keys
begin_end_is "00:00:03 00:00:13" || fail "the click on the right thumb moved the range: $(row_text 0)"
previewed="$(unlike keys "$E2E_TMP/shown.png@0.01" "$E2E_TMP/expected_end.png@0.05")"
[ -z "$previewed" ] || fail "the arrow keys previewed a frame (pictures $(echo $previewed) after the keys)"

# 3. Play the trimmed range (about 3.2 s to 13.5 s): the window shows one picture after
#    another from the range's start on. Three new pictures are enough to see it play; Stop
#    preview then comes early in the range, leaving a slow machine seconds to carry it out.
click_control 1054
samples=()
previous="$E2E_TMP/after_keys.png"
deadline=$((SECONDS + 60))
while [ ${#samples[@]} -lt 3 ] && [ $SECONDS -lt $deadline ]; do
    f="$E2E_TMP/play${#samples[@]}.png"
    video_pixels "$f"
    if check "$(picture_distance "$f" "$previous") > 0.02"; then
        samples+=("$f"); previous="$f"
    fi
    sleep 0.1
done
[ ${#samples[@]} -ge 3 ] || fail "Play showed ${#samples[@]} new pictures in 60 s"
click_control 1055
shot playing
# Stopped: the picture holds still. Pictures a second apart until two are the same.
video_pixels "$E2E_TMP/stopped.png"
still_now() {
    sleep 1
    video_pixels "$E2E_TMP/still.png"
    check "$(picture_distance "$E2E_TMP/stopped.png" "$E2E_TMP/still.png") < 0.01" && return 0
    cp "$E2E_TMP/still.png" "$E2E_TMP/stopped.png"
    return 1
}
wait_for 30 still_now || fail "the picture kept changing for 30 s after Stop preview"

seconds=""
for f in "${samples[@]}" "$E2E_TMP/still.png"; do seconds+="$(nearest_second "$f") "; done
echo "pictures during playback and after Stop show the seconds: $seconds"
set -- $seconds
# The first new picture comes a moment after Play, later on a loaded machine: from 2 s (the
# range's start, 3.2 s, less one second of tolerance for the nearest-second match) to 6 s.
[ "$1" -ge 2 ] && [ "$1" -le 6 ] || fail "playback did not begin at the range's start (3.2 s): pictures of seconds $seconds"
prev=0
for s in "$@"; do
    [ "$s" -ge "$prev" ] && [ "$s" -le 13 ] || fail "playback left the range or went back: pictures of seconds $seconds"
    prev="$s"
done
# Stop came after three pictures; had it not stopped the playback, the picture would hold only
# at the range's end (13.5 s).
[ "$prev" -le 12 ] || fail "Stop preview came only at the range's end: pictures of seconds $seconds"
varnello_running || fail "the program ended"
close_varnello

# 4. At 150 % the slider is drawn and hit at its scaled size: 333 pixels wide with 20-pixel
#    thumbs, a 293-pixel track. The same drags, scaled, trim the same share of the clip, in a
#    window started at 150 % and in one moved from a 100 % monitor to a 150 % one.
trim_at_150() {
    add_file "$clip"
    slider=($(inspect rect 1047))
    [ $((slider[2] - slider[0])) = 333 ] || fail "$1: the slider is $((slider[2] - slider[0])) pixels wide, not 333"
    y=$(( (slider[1] + slider[3]) / 2 )); x0=$(( slider[0] + 10 ))
    xdotool mousemove "$x0" "$y" mousedown 1; input_taken
    xdotool mousemove $((x0 + 45)) "$y"; input_taken
    xdotool mousemove $((x0 + 93)) "$y"; input_taken
    wait_for 15 begin_end_is "00:00:04 00:00:15" || fail "$1: during the drag (4.8 s) the row reads: $(row_text 0)"
    xdotool mouseup 1; input_taken
    # The right thumb, grabbed at its middle (the track's end plus one and a half thumbs),
    # dragged back by a third of the track.
    x1=$(( slider[2] - 10 ))
    xdotool mousemove "$x1" "$y" mousedown 1; input_taken
    xdotool mousemove $((x1 - 100)) "$y"; input_taken
    xdotool mouseup 1; input_taken
    wait_for 15 begin_end_is "00:00:04 00:00:09" || fail "$1: after the right thumb's drag (9.9 s) the row reads: $(row_text 0)"
}
set_display_scale 144
start_varnello
# The window as it starts at 150 %, once the picture has faded in (for the README).
[ -z "${VARNELLO_E2E_SHOTS:-}" ] || sleep 6
shot main-window-150
focus_varnello
trim_at_150 "started at 150 %"
close_varnello
reset_display_scale
start_varnello
inspect dpichanged 144 || fail "the window did not answer the move to a 150 % monitor"
focus_varnello
trim_at_150 "moved to 150 %"
close_varnello
echo "ok: the slider trims and previews, Play plays the range and Stop stops it, also at 150 %"
