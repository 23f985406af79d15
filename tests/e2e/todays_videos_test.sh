#!/usr/bin/env bash
# A folder of the videos people have today, dropped on the window and converted in one run
# at the default settings: a portrait HEVC 10-bit phone clip, VP9 and AV1 in WebM with Opus,
# a camcorder's .mts with AC-3 5.1, FLV, Theora, an MKV whose second audio track is the
# default, PQ and HLG HDR clips made from an SDR one, 96 kHz audio, a phone's uneven frame
# rate just above 30, a 4:3 show pillarboxed in a 16:9 frame, and a video that starts 6 s
# after its audio. The drop adds every one and the Open dialog offers them; every row ends
# "Finished", and ffprobe and measured frames check rate, level, audio, shape, colours, crop.
source "$(dirname "$0")/lib.sh"
trap 'keep_failure $?; clear_output_dir; cleanup_e2e' EXIT

clips="$E2E_TMP/clips"; out="$E2E_TMP/out"; mkdir -p "$clips" "$out"
lavfi() { ffmpeg -v error -y -f lavfi -i "testsrc2=size=$1:rate=${3:-30}:duration=${2:-3}" \
              -f lavfi -i "sine=frequency=440:duration=${2:-3}:sample_rate=48000" "${@:4}"; }
# A portrait phone clip: stored landscape, with a display matrix (written on a stream copy).
lavfi 640x360 3 30 -c:v libx265 -x265-params log-level=error -pix_fmt yuv420p10le -tag:v hvc1 \
    -c:a aac "$E2E_TMP/landscape.mov"
ffmpeg -v error -y -i "$E2E_TMP/landscape.mov" -c copy -metadata:s:v:0 rotate=90 "$clips/portrait.mov"
lavfi 640x360 3 25 -c:v libvpx-vp9 -deadline realtime -cpu-used 8 -b:v 500k -c:a libopus "$clips/vp9.webm"
lavfi 640x360 3 25 -c:v libaom-av1 -cpu-used 8 -b:v 300k -c:a libopus "$clips/av1.webm"
lavfi 640x360 3 25 -c:v libx264 -preset ultrafast -c:a ac3 -ac 6 -f mpegts "$clips/camera.MTS"
lavfi 320x240 3 25 -c:v flv -c:a libmp3lame -ar 44100 "$clips/download.flv"
lavfi 320x240 3 25 -c:v libtheora -q:v 6 -c:a libvorbis "$clips/theora.ogv"
# Two audio tracks: a 22.05 kHz one first, the default a 32 kHz one.
ffmpeg -v error -y -f lavfi -i "testsrc2=size=320x240:rate=25:duration=3" \
    -f lavfi -i "sine=frequency=300:duration=3:sample_rate=22050" \
    -f lavfi -i "sine=frequency=900:duration=3:sample_rate=32000" -map 0 -map 1 -map 2 \
    -c:v libx264 -preset ultrafast -c:a aac -disposition:a:0 0 -disposition:a:1 default "$clips/tracks.mkv"
lavfi 320x240 3 25 -c:v libx264 -preset ultrafast -c:a flac -ar 96000 "$clips/studio.mkv"
# A phone's frames: nominal 30, arriving unevenly at 30.12 a second on average.
ffmpeg -v error -y -f lavfi -i "testsrc2=size=640x360:rate=30:duration=3" -fps_mode vfr \
    -vf "settb=1/90000,setpts='floor((N/30.12+0.006*sin(N*1.3))/TB)'" -enc_time_base 1/90000 \
    -c:v libx264 -preset ultrafast -pix_fmt yuv420p -video_track_timescale 90000 "$clips/phone.mp4"
# A 4:3 show inside a 16:9 frame, bars burned in.
ffmpeg -v error -y -f lavfi -i "testsrc2=size=480x360:rate=25:duration=3" -vf "pad=640:360:80:0:black" \
    -c:v libx264 -preset ultrafast "$clips/pillarbox.m4v"
# The video begins 6 s into its audio.
ffmpeg -v error -y -f lavfi -i "sine=frequency=440:duration=9" -itsoffset 6 \
    -f lavfi -i "testsrc2=size=320x240:rate=25:duration=3" -map 1:v -map 0:a -c:v libx264 -preset ultrafast \
    -c:a aac "$clips/late.mkv"
# HDR from an SDR picture with detail and colour; the SDR one is converted too, to compare.
ffmpeg -v error -y -f lavfi -i "mandelbrot=size=1280x720:rate=25,trim=duration=2" \
    -f lavfi -i "testsrc2=size=640x360:rate=25:duration=2" \
    -filter_complex "[0:v][1:v]overlay=x=320:y=180,format=yuv420p[v]" -map "[v]" -c:v libx264 -crf 14 \
    "$clips/sdr.mp4"
for hdr in pq:smpte2084 hlg:arib-std-b67; do
    ffmpeg -v error -y -i "$clips/sdr.mp4" \
        -vf "zscale=tin=bt709:min=bt709:pin=bt709:rin=tv:t=${hdr#*:}:m=bt2020nc:p=bt2020:r=tv,format=yuv420p10le" \
        -c:v libx265 -x265-params log-level=error -color_primaries bt2020 -color_trc "${hdr#*:}" \
        -colorspace bt2020nc "$clips/${hdr%%:*}.mp4"
done
count="$(ls "$clips" | wc -l)"

set_output_dir "$out"
forget_saved_list
start_varnello
remember_rects

# The Open dialog starts on the entry that lists every kind of video.
click_control 1012
wait_for 15 xdotool search --onlyvisible --name '^Open$' || fail "no Open dialog"
types="$(inspect boxtext Open ComboBox)"
dialog="$(xdotool search --onlyvisible --name '^Open$' | head -1)"
xdotool windowfocus "$dialog" 2>/dev/null || true; wait_for 10 has_focus "$dialog" || true
xdotool type --delay 5 "$(winpath "$clips")"; xdotool key Return; input_taken; sleep 1
shot open-dialog-todays-videos
xdotool key Escape
wait_for 15 bash -c "! xdotool search --onlyvisible --name '^Open\$'" || fail "the Open dialog stayed"
grep_q -F '[All Supported Video Files]' <<<"$types" || fail "the Open dialog starts on: $types"

rows_are() { [ "$(list_count)" = "$1" ]; }
drop_paths "$clips" >/dev/null
wait_for 60 rows_are "$count" \
    || fail "the dropped folder of $count videos gave $(list_count) rows: $(state | grep '^row')"
click_control 1048
wait_for 600 xdotool search --onlyvisible --name '^Information$' || fail "the run did not finish"
answer_box Information >/dev/null
s="$(state)"
unfinished="$(grep '^row ' <<<"$s" | grep -v '| Finished$' || true)"
[ -z "$unfinished" ] || fail "rows not Finished: $unfinished; log: $(cat "$VARNELLO_DATA/log.txt" 2>/dev/null)"
shot todays-videos-finished

failures=0
bad() { echo "FAIL: $*"; failures=$((failures + 1)); }
probe() { ffprobe -v error -select_streams "$2" -show_entries "$3" -of default=nw=1:nk=1 "$out/$1.mp4" | head -1; }
fps_of() { awk -v r="$(probe "$1" v:0 stream=avg_frame_rate)" 'BEGIN { split(r, p, "/"); printf "%.3f", p[1] / p[2] }'; }
# The mean luma and saturation of a converted file's frames.
picture_of() {
    ffmpeg -hide_banner -nostats -i "$out/$1.mp4" -vf "signalstats,metadata=print:file=-" -f null - 2>/dev/null \
        | awk -F= '/YAVG/ { y += $2; n++ } /SATAVG/ { s += $2 } END { if (n) printf "%.2f %.2f", y / n, s / n }'
}
# The picture's box inside the output frame: "width height".
content_of() {
    ffmpeg -hide_banner -nostats -i "$out/$1.mp4" -vf "cropdetect=limit=0.094:round=2:reset=0:skip=0" -f null - 2>&1 \
        | sed -n 's/.* w:\([0-9]*\) h:\([0-9]*\) .*/\1 \2/p' | tail -1
}

for name in portrait vp9 av1 camera download theora tracks studio phone pillarbox late sdr pq hlg; do
    f="$out/$name.mp4"
    [ -s "$f" ] || { bad "$name: no output; the folder holds $(ls "$out" | tr '\n' ' ')"; continue; }
    [ "$(probe "$name" v:0 stream=codec_name)x$(probe "$name" v:0 stream=width)x$(probe "$name" v:0 stream=height)" = h264x320x240 ] \
        || bad "$name: video $(probe "$name" v:0 stream=codec_name) $(probe "$name" v:0 stream=width)x$(probe "$name" v:0 stream=height)"
    case "$name" in phone|pillarbox|sdr|pq|hlg) ;; # made without sound
    *)  [ "$(probe "$name" a:0 stream=codec_name) $(probe "$name" a:0 stream=channels)" = "aac 2" ] \
            || bad "$name: audio $(probe "$name" a:0 stream=codec_name) with $(probe "$name" a:0 stream=channels) channels" ;;
    esac
    rate="$(fps_of "$name")"; level="$(probe "$name" v:0 stream=level)"
    check "$rate <= 30.0005 && $rate * 300 <= 11880 && $level == 13" || bad "$name: $rate fps at level $level"
    # The index before the media data: playable while it downloads.
    [ "$(grep -abo -m1 -e moov -e mdat "$f" | head -1 | cut -d: -f2)" = moov ] || bad "$name: the index is not at the front"
done
check "$(fps_of phone) >= 0.9 * 30.12" || bad "the phone clip came out at $(fps_of phone) fps"
check "$(fps_of portrait) > 29.9" || bad "the 30 fps portrait clip came out at $(fps_of portrait) fps"
[ "$(probe tracks a:0 stream=sample_rate)" = 32000 ] || bad "the default track was not converted: $(probe tracks a:0 stream=sample_rate) Hz"
[ "$(probe studio a:0 stream=sample_rate)" = 48000 ] || bad "96 kHz audio came out at $(probe studio a:0 stream=sample_rate) Hz"
read -r w h <<<"$(content_of portrait)"
check "${h:-0} >= 236 && ${w:-999} < $h" || bad "the portrait clip is not shown upright: picture ${w}x$h"
read -r w h <<<"$(content_of pillarbox)"
check "${w:-0} >= 312 && ${h:-0} >= 232" || bad "the pillarboxed show fills only ${w}x$h of 320x240"
vdur="$(probe late v:0 stream=duration)"
check "${vdur:-0} > 2.5" || bad "the late video has $vdur s of picture"
read -r sdr_y sdr_s <<<"$(picture_of sdr)"
for hdr in pq hlg; do
    read -r y sat <<<"$(picture_of "$hdr")"
    [ "$(probe "$hdr" v:0 stream=color_transfer)" = bt709 ] || bad "$hdr: tagged $(probe "$hdr" v:0 stream=color_transfer)"
    check "$y > 0.85 * $sdr_y && $y < 1.15 * $sdr_y && $sat >= 0.6 * $sdr_s" \
        || bad "$hdr: luma $y saturation $sat against the SDR clip's $sdr_y $sdr_s"
    echo "$hdr: luma $y saturation $sat; SDR: $sdr_y $sdr_s"
done
close_varnello
[ "$failures" = 0 ] || fail "$failures check(s) failed"
echo "ok: $count videos of today dropped, converted and checked"
