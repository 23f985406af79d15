#!/usr/bin/env bash
# Real conversions through the staged venc.exe: one generated clip of every kind the program
# offers, each trimmed and converted with different settings, then checked with ffprobe.
set -euo pipefail
source "$VARNELLO_SOURCE/encoder/tests/venc_script_lib.sh"

# ext | how the native ffmpeg writes such a file
sources=(
  "avi|-c:v mpeg4 -c:a libmp3lame"
  "mpg|-f mpeg -c:v mpeg1video -c:a mp2"
  "vob|-f vob -c:v mpeg2video -c:a ac3"
  "wmv|-f asf -c:v wmv2 -c:a wmav2"
  "asf|-f asf -c:v msmpeg4 -c:a wmav2"
  "mov|-c:v mpeg4 -c:a aac"
  "qt|-f mov -c:v mjpeg -c:a pcm_s16le"
  "3gp|-f 3gp -s 352x288 -c:v h263 -c:a aac -ar 16000"
  "rm|-f rm -c:v rv10 -c:a ac3"
)
# codec | size | extra venc options | channels | frame duration of the output
settings=(
  "h264|320x240||2|0.04"
  "xvid|320x240|-r 29.97|1|0.0334"
  "h264|416x176|-aspect 16:9 -r 23.976 -ar 48000|2|0.0418"
  "xvid|176x120||2|0.04"
  "h264|480x160|-b 1500 -vol 512|1|0.04"
  "h264|368x208|-ar 24000|2|0.04"
  "xvid|400x192|-aspect 16:9|1|0.04"
  "h264|240x176|-r 14.985 -vol 128|1|0.0668"
  "h264|384x160||2|0.04"
)

i=0
for entry in "${sources[@]}"; do
  ext="${entry%%|*}"; how="${entry#*|}"
  IFS='|' read -r codec size extra channels frame <<<"${settings[$i]}"
  i=$((i + 1))
  src="$work/clip_$ext.$ext"; out="$work/clip_$ext.mp4"
  # shellcheck disable=SC2086
  ffmpeg -v error -y -f lavfi -i testsrc=size=640x480:rate=25:duration=7 \
         -f lavfi -i sine=frequency=440:duration=7:sample_rate=44100 -ac 2 $how -b:v 1500k "$src"
  vlevel=""; [ "$codec" = h264 ] && vlevel="-coder 0 -vlevel 13 -bufsize 256 -g 250"
  # shellcheck disable=SC2086
  if ! log="$("$run" "$venc" -y -i "$(winpath "$src")" -ss 00:00:01 -t 00:00:04 -vcodec "$codec" $vlevel \
        -s "$size" $extra -ac "$channels" -ab 64 -title "Clip $ext" -timestamp "2026-12-07 20:01:02" \
        "$(winpath "$out")" 2>&1)"; then
    fail "$ext: venc exited non-zero"; echo "$log"; continue
  fi
  echo "$log" | grep -q 'size= *[0-9]*kB time=4\.0' || fail "$ext: no final progress line at 4 s: $(echo "$log" | tail -1)"
  probe() { ffprobe -v error -select_streams "$1" -show_entries "$2" -of default=nw=1:nk=1 "$out" | head -1; }
  [ -s "$out" ] || { fail "$ext: no output file"; continue; }
  fmt="$(ffprobe -v error -show_entries format=format_name -of default=nw=1:nk=1 "$out")"
  brand="$(ffprobe -v error -show_entries format_tags=major_brand -of default=nw=1:nk=1 "$out")"
  [[ "$fmt" == *mp4* && "$brand" == "M4V "* ]] || fail "$ext: container $fmt brand '$brand'"
  vcodec="$(probe v:0 stream=codec_name)"; profile="$(probe v:0 stream=profile)"; level="$(probe v:0 stream=level)"
  if [ "$codec" = h264 ]; then
    want_level=13   # 1500 kbit/s at 480x160 is brought to the 768 an iPod plays at level 1.3
    [ "$vcodec" = h264 ] && [ "$profile" = "Constrained Baseline" ] && [ "$level" = "$want_level" ] \
      || fail "$ext: video $vcodec $profile level $level, wanted h264 Constrained Baseline $want_level"
    [ "$(probe v:0 stream=refs)" = 1 ] || fail "$ext: more than one reference frame"
    [ "$(probe v:0 stream=has_b_frames)" = 0 ] || fail "$ext: B-frames"
    # The ipod muxer's avc1 "uuid" box that 5th-generation iPods require.
    LC_ALL=C grep -q $'\x6b\x68\x40\xf2\x5f\x24\x4f\xc5' "$out" || fail "$ext: no iPod uuid box"
  else
    [ "$vcodec" = mpeg4 ] && [ "$profile" = "Simple Profile" ] || fail "$ext: video $vcodec $profile, wanted mpeg4 Simple Profile"
  fi
  [ "$(probe v:0 stream=pix_fmt)" = yuv420p ] || fail "$ext: pixel format $(probe v:0 stream=pix_fmt)"
  [ "$(probe v:0 stream=width)x$(probe v:0 stream=height)" = "$size" ] || fail "$ext: size is not $size"
  [ "$(probe a:0 stream=codec_name) $(probe a:0 stream=profile)" = "aac LC" ] || fail "$ext: audio is not aac LC"
  [ "$(probe a:0 stream=channels)" = "$channels" ] || fail "$ext: $(probe a:0 stream=channels) channels, wanted $channels"
  vdur="$(probe v:0 stream=duration)"
  awk -v d="$vdur" -v f="$frame" 'BEGIN { exit !(d >= 4 - f - 0.0005 && d <= 4 + f + 0.0005) }' \
    || fail "$ext: video lasts $vdur s, wanted 4 s within one frame ($frame s)"
  title="$(ffprobe -v error -show_entries format_tags=title -of default=nw=1:nk=1 "$out")"
  [ "$title" = "Clip $ext" ] || fail "$ext: title '$title'"
  ctime="$(ffprobe -v error -show_entries format_tags=creation_time -of default=nw=1:nk=1 "$out")"
  [[ "$ctime" == 2026-12-07T* ]] || fail "$ext: creation time '$ctime'"
  echo "ok: $ext -> $vcodec $profile ${level:-} $size, $channels ch, $vdur s"
done

# "Same As Input File" (no -r): every output stays within the rate an iPod plays (30 fps),
# close to the source's own (a rate just above 30 is not halved), and within the macroblock
# rate of the H.264 level it declares. "vfr" is a phone's clip: nominal 30, frames coming
# unevenly at 30.12 a second on average.
declare -A level_mbps=([10]=1485 [11]=3000 [12]=6000 [13]=11880 [20]=11880 [21]=19800 [22]=20250 [30]=40500)
declare -A wanted_fps=([24]=24 [25]=25 [29.97]=29.97 [30]=30 [30.01]=30 [vfr]=30 [48]=24 [50]=25 [59.94]=29.97 [60]=30)
for fps in 24 25 29.97 30 30.01 vfr 48 50 59.94 60; do
  src="$work/rate_$fps.mp4"; out="$work/rate_$fps.out.mp4"
  if [ "$fps" = vfr ]; then
    ffmpeg -v error -y -f lavfi -i "testsrc=size=320x240:rate=30:duration=3" -fps_mode vfr \
           -vf "settb=1/90000,setpts='floor((N/30.12+0.006*sin(N*1.3))/TB)'" -enc_time_base 1/90000 \
           -c:v libx264 -preset ultrafast -pix_fmt yuv420p -video_track_timescale 90000 "$src"
  else
    ffmpeg -v error -y -f lavfi -i "testsrc=size=320x240:rate=$fps:duration=2" -c:v mpeg4 -q:v 4 "$src"
  fi
  if ! log="$("$run" "$venc" -y -i "$(winpath "$src")" -vcodec h264 -coder 0 -vlevel 13 -bufsize 256 -g 250 \
        -s 320x240 -b 640 -aspect 4:3 "$(winpath "$out")" 2>&1)"; then
    fail "$fps fps: venc exited non-zero: $log"; continue
  fi
  rate="$(ffprobe -v error -select_streams v:0 -show_entries stream=avg_frame_rate -of csv=p=0 "$out")"
  level="$(ffprobe -v error -select_streams v:0 -show_entries stream=level -of csv=p=0 "$out")"
  out_fps="$(awk -v r="$rate" 'BEGIN { split(r, p, "/"); printf "%.3f", p[1] / p[2] }')"
  want="${wanted_fps[$fps]}"
  if awk -v f="$out_fps" -v w="$want" -v l="${level_mbps[$level]:-0}" \
       'BEGIN { exit !(f > w - 0.05 && f < w + 0.05 && f <= 30.0005 && 300 * f <= l) }'; then
    echo "ok: $fps fps source -> $out_fps fps, level $level"
  else
    fail "$fps fps source: output $out_fps fps at level $level, wanted $want fps within the level"
  fi
done

# A start point past the end of the video gives no picture: venc fails and leaves no file.
out="$work/past_end.mp4"
if log="$("$run" "$venc" -y -i "$(winpath "$work/clip_avi.avi")" -ss 00:00:30 -t 00:00:04 -vcodec h264 \
      -s 320x240 "$(winpath "$out")" 2>&1)"; then
  fail "a start past the end: venc exited 0: $log"
elif [ -e "$out" ]; then
  fail "a start past the end left a file of $(stat -c %s "$out") bytes"
else
  echo "ok: a start past the end fails: $(echo "$log" | grep 'no video frame' | head -1)"
fi

# A trim under one second reaches venc as "-t 00:00:00": it makes a short clip, not a refusal.
src="$work/clip_avi.avi"; out="$work/short.mp4"
if log="$("$run" "$venc" -y -i "$(winpath "$src")" -ss 00:00:06 -t 00:00:00 -vcodec h264 -s 320x240 \
      "$(winpath "$out")" 2>&1)"; then
  vdur="$(ffprobe -v error -select_streams v:0 -show_entries stream=duration -of csv=p=0 "$out")"
  if awk -v d="$vdur" 'BEGIN { exit !(d >= 0.96 - 0.0005 && d <= 1.04 + 0.0005) }'; then
    echo "ok: -t 00:00:00 -> $vdur s"
  else
    fail "zero length: video lasts '$vdur' s, wanted the one second after the start point"
  fi
else
  fail "zero length: venc exited non-zero: $log"
fi
# What each shipped profile's title promises a device, fixed here and not read from the
# template it is checked against: frame | frame rate ("-": the source's, brought to 30 or
# less) | video profile | level ("-": MPEG-4's own) | the peak rate (kbit/s) and buffer (kbit)
# of the device's buffer model | CABAC (1 for Main and High, "-" for MPEG-4).
declare -A promised=(
  ["iPod video (5G): H.264 320x240, 640 kbps"]="320x240|-|Constrained Baseline|13|768|256|0"
  ["iPod classic / TV out: H.264 640x480, 1500 kbps"]="640x480|-|Constrained Baseline|30|1500|2000|0"
  ["iPod video: MPEG-4 320x240, 768 kbps"]="320x240|-|Simple Profile|-|2000|500|-"
  ["iPod nano: H.264 320x240, 15 fps, 384 kbps"]="320x240|14.985|Constrained Baseline|12|384|256|0"
  ["Widescreen: H.264 416x176 (16:9), 768 kbps"]="416x176|-|Constrained Baseline|13|768|256|0"
  ["iPod classic, nano: H.264 320x240, up to 768 kbps"]="320x240|-|Constrained Baseline|13|768|768|0"
  ["iPod classic on TV: H.264 640x480, up to 1.5 Mbps"]="640x480|-|Constrained Baseline|30|1500|1500|0"
  ["iPod touch, iPhone: H.264 480x320, up to 1.5 Mbps"]="480x320|-|Constrained Baseline|30|1500|1500|0"
  ["iPhone, iPad: H.264 Main 1280x720, 2.5 Mbps"]="1280x720|-|Main|31|5000|5000|1"
  ["iPhone, iPad: H.264 High 1920x1080, 5 Mbps"]="1920x1080|-|High|40|10000|10000|1"
)
# The most a device's buffer ran short, in kbit, playing FILE's video packets in decode order:
# it fills at RATE kbit/s up to BUFFER kbit (full at the start) and each packet takes its bits
# at its decoding time. vbv_shortfall FILE RATE BUFFER
vbv_shortfall() {
  ffprobe -v error -select_streams v:0 -show_entries packet=dts_time,size -of csv=p=0 "$1" | awk -F, -v r="$2" -v b="$3" '
    NR == 1 { level = b; t = $1 }
    { level += ($1 - t) * r; if (level > b) level = b; t = $1
      level -= $2 * 8 / 1000; if (-level > worst) worst = -level }
    END { printf "%.1f", NR ? worst : b }'
}
# A line when FILE's video runs that buffer more than 2 % of it short: buffer_model_broken FILE RATE BUFFER
buffer_model_broken() {
  local short
  short="$(vbv_shortfall "$@")"
  awk -v s="$short" -v b="$3" 'BEGIN { exit !(s <= b * 0.02) }' \
    || echo "a $3 kbit buffer filling at $2 kbit/s ran $short kbit short"
}
# Prints one line per promise that FILE breaks: check_promise FILE PROMISE SOURCE_FPS
check_promise() {
  local f="$1" frame fps vprofile level peak buffer cabac key value
  local width="" height="" avg_frame_rate="" profile="" got_level=""
  IFS='|' read -r frame fps vprofile level peak buffer cabac <<<"$2"
  while IFS='=' read -r key value; do
    case "$key" in width | height | avg_frame_rate | profile) printf -v "$key" '%s' "$value" ;; level) got_level="$value" ;; esac
  done < <(ffprobe -v error -select_streams v:0 -show_entries stream=width,height,avg_frame_rate,profile,level -of default=nw=1 "$f")
  [ "${width}x$height" = "$frame" ] || echo "frame ${width}x$height, promised $frame"
  [ "$fps" != - ] || fps="$(awk -v s="$3" 'BEGIN { n = 1; while (s / n > 30.01) n++; print s / n }')"
  awk -v f="$avg_frame_rate" -v w="$fps" 'BEGIN { split(f, q, "/"); exit !(q[2] > 0 && q[1] / q[2] > w - 0.01 && q[1] / q[2] < w + 0.01) }' \
    || echo "frame rate $avg_frame_rate, promised $fps"
  [ "$profile" = "$vprofile" ] || echo "video profile $profile, promised $vprofile"
  [ "$level" = - ] || [ "$got_level" = "$level" ] || echo "level $got_level, promised $level"
  if [ "$cabac" != - ]; then
    local entropy
    entropy="$(ffmpeg -v info -i "$f" -map 0:v -c copy -bsf:v trace_headers -frames:v 1 -f null - 2>&1 \
      | awk '/ entropy_coding_mode_flag / { print $NF; exit }')"
    [ "$entropy" = "$cabac" ] || echo "entropy_coding_mode_flag ${entropy:-missing}, promised $cabac"
  fi
  buffer_model_broken "$f" "$peak" "$buffer"
}

# Every shipped profile, its template expanded as the program expands it, on a short grainy
# 50 fps clip (grain makes the encoder work against its peak rate, 50 fps is halved): each
# output keeps the limits its own command line states.
source "$VARNELLO_SOURCE/encoder/tests/profile_limits.sh"
ini="$VARNELLO_DIST/app/iPod_Profile.ini"
src="$work/grain.avi"
ffmpeg -v error -y -f lavfi -i "testsrc2=size=640x480:rate=50:duration=2" \
       -f lavfi -i "sine=frequency=440:duration=2:sample_rate=44100" -vf "noise=alls=24:allf=t" -ac 2 \
       -c:v mpeg4 -q:v 5 -c:a libmp3lame "$src"
count="$(profile_count "$ini")"
[ "$count" -ge 11 ] || fail "the profile file holds $count profiles"
for n in $(seq 1 $((count - 1))); do
  template="$(profile_template "$ini" "$n")"; out="$work/profile$n.mp4"
  [ -n "$template" ] || { fail "profile $n has no template"; continue; }
  line="$(expand_template "$template" "$(winpath "$src")" "$(winpath "$out")" "Profile $n" 00:00:00 00:00:02)"
  eval "words=($line)"   # the quoting of a Windows command line, as far as templates use it
  # shellcheck disable=SC2154
  if ! log="$("$run" "$VARNELLO_DIST/app/${words[0]}" "${words[@]:1}" 2>&1)"; then
    fail "profile $n: venc exited non-zero: $log"; continue
  fi
  title="$(profile_title "$ini" "$n")"
  broken="$(check_profile_output "$out" "$template" "Profile $n" 50)"
  if [ -z "${promised[$title]:-}" ]; then
    broken+=$'\n'"no promise of this title is known to the test"
  else
    broken+=$'\n'"$(check_promise "$out" "${promised[$title]}" 50)"
  fi
  broken="$(grep . <<<"$broken" || true)"
  if [ -n "$broken" ]; then
    fail "profile $n ($title): $(echo "$broken" | paste -sd ';')"
  else
    echo "ok: profile $n, $title"
  fi
done

# Twenty seconds of heavy grain press the rate control against the peak for a long while: the
# profiles whose buffer holds less than a second at the peak rate, where a burst has the least
# room, keep within their devices' buffer models all through. Two seconds are encoded and
# looped.
long="$work/noise_long.avi"
ffmpeg -v error -y -f lavfi -i "testsrc2=size=640x480:rate=25:duration=2" \
       -f lavfi -i "sine=frequency=440:duration=2:sample_rate=44100" -vf "noise=alls=100:allf=t+u" -ac 2 \
       -c:v mpeg4 -q:v 4 -c:a libmp3lame "$work/noise_short.avi"
ffmpeg -v error -y -stream_loop 9 -i "$work/noise_short.avi" -c copy "$long"
for n in $(seq 1 $((count - 1))); do
  title="$(profile_title "$ini" "$n")"; promise="${promised[$title]:-}"
  IFS='|' read -r _ _ _ _ peak buffer _ <<<"$promise"
  [ -n "$promise" ] && [ "$buffer" -lt "$peak" ] || continue
  out="$work/long$n.mp4"
  line="$(expand_template "$(profile_template "$ini" "$n")" "$(winpath "$long")" "$(winpath "$out")" "Long $n" 00:00:00 00:00:20)"
  eval "words=($line)"
  if ! log="$("$run" "$VARNELLO_DIST/app/${words[0]}" "${words[@]:1}" 2>&1)"; then
    fail "profile $n on the long clip: venc exited non-zero: $log"; continue
  fi
  broken="$(buffer_model_broken "$out" "$peak" "$buffer")"
  if [ -n "$broken" ]; then fail "profile $n ($title) over 20 s of grain: $broken"; else echo "ok: profile $n over 20 s of grain"; fi
done
end_of_checks "all conversions ok"
