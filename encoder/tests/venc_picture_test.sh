#!/usr/bin/env bash
# The picture venc writes: the source at its true display shape (frame size and pixel aspect
# together) fitted, centred, inside the display shape of the frame asked for, black bars
# around it and never stretched; interlaced sources come out progressive. Sources are made
# with the native ffmpeg and the results measured with ffprobe and ffmpeg's own filters.
set -euo pipefail
source "$VARNELLO_SOURCE/encoder/tests/venc_script_lib.sh"

# name | source size and flags | venc frame options | picture expected inside the frame (w:h:x:y)
# The iPods show square pixels: a 416x176 frame is shown 2.36:1 whatever -aspect says, so a
# 4:3 picture keeps its shape inside it.
cases=(
  "wide|640x360 square pixels|-s 320x240 -aspect 4:3|320:180:0:30"
  "four3|640x480 square pixels|-s 480x272 -aspect 16:9|362:272:59:0"
  "pal169|720x576 -aspect 16:9|-s 320x240 -aspect 4:3|320:180:0:30"
  "ntsc43|720x480 -aspect 4:3|-s 416x176 -aspect 16:9|234:176:91:0"
)
for entry in "${cases[@]}"; do
  IFS='|' read -r name source frame expected <<<"$entry"
  size="${source%% *}"; flags=""; [[ "$source" == *"-aspect"* ]] && flags="-aspect ${source##*-aspect }"
  src="$work/$name.mpg"; out="$work/$name.mp4"
  # shellcheck disable=SC2086
  ffmpeg -v error -y -f lavfi -i "testsrc2=size=$size:rate=25:duration=2" -c:v mpeg2video -b:v 4M $flags "$src"
  # shellcheck disable=SC2086
  if ! log="$("$run" "$venc" -y -i "$(winpath "$src")" -vcodec h264 -coder 0 -vlevel 13 -b 640 $frame \
        "$(winpath "$out")" 2>&1)"; then
    fail "$name: venc exited non-zero: $log"; continue
  fi
  IFS=: read -r pw ph px py <<<"$expected"
  want_size="${frame#-s }"; want_size="${want_size%% *}"
  got_size="$(ffprobe -v error -select_streams v:0 -show_entries stream=width,height -of csv=p=0:s=x "$out")"
  [ "$got_size" = "$want_size" ] || { fail "$name: frame $got_size, wanted $want_size"; continue; }
  # The part of the frame that is not black, over every frame.
  crop="$(ffmpeg -hide_banner -i "$out" -vf cropdetect=limit=24:round=2:reset=0 -f null - 2>&1 |
          grep -o 'crop=[0-9:]*' | tail -1)"
  IFS=: read -r cw ch cx cy <<<"${crop#crop=}"
  near() { [ $(( $1 - $2 )) -le 2 ] && [ $(( $2 - $1 )) -le 2 ]; }
  near "$cw" "$pw" && near "$ch" "$ph" && near "$cx" "$px" && near "$cy" "$py" \
    || { fail "$name: picture at $cw:$ch:$cx:$cy, wanted $expected (w:h:x:y)"; continue; }
  # The picture between the bars is the source scaled to that place, not a stretched part of it.
  ssim="$(ffmpeg -hide_banner -i "$out" -i "$src" -lavfi \
          "[0:v]setpts=PTS-STARTPTS,crop=$pw:$ph:$px:$py[a];[1:v]setpts=PTS-STARTPTS,scale=$pw:$ph,format=yuv420p[b];[a][b]ssim" \
          -f null - 2>&1 | grep -o 'All:[0-9.]*' | tail -1)"
  awk -v s="${ssim#All:}" 'BEGIN { exit !(s >= 0.85) }' || fail "$name: picture unlike the scaled source ($ssim)"
  echo "ok: $name ($source) in $frame -> picture $cw:$ch:$cx:$cy, SSIM ${ssim#All:}"
done

# An interlaced PAL source with motion in every field, kept at full size so that combing
# would survive into the output if it were there.
src="$work/interlaced.mpg"; out="$work/interlaced.mp4"
ffmpeg -v error -y -f lavfi -i "testsrc2=size=1440x576:rate=50,crop=720:576:'mod(n*16,720)':0,tinterlace=interleave_top,setfield=tff" \
       -t 2 -c:v mpeg2video -flags +ilme+ildct -top 1 -b:v 6M -aspect 4:3 "$src"
combed() { ffmpeg -hide_banner -i "$1" -vf idet -f null - 2>&1 | grep 'Multi frame' | tail -1 |
           awk '{ for (i = 1; i < NF; i++) if ($i == "TFF:" || $i == "BFF:") n += $(i + 1); print n + 0 }'; }
[ "$(combed "$src")" -gt 10 ] || fail "the interlaced source shows no combing: the check would prove nothing"
if log="$("$run" "$venc" -y -i "$(winpath "$src")" -vcodec h264 -coder 0 -vlevel 30 -bufsize 2000 -s 720x576 \
      -b 2000 -aspect 4:3 "$(winpath "$out")" 2>&1)"; then
  order="$(ffprobe -v error -select_streams v:0 -show_entries stream=field_order -of csv=p=0 "$out")"
  [[ "$order" = progressive || "$order" = unknown || -z "$order" ]] || fail "interlaced: output field order '$order'"
  n="$(combed "$out")"
  if [ "$n" = 0 ]; then
    echo "ok: interlaced source -> field order '${order:-none}', no combed frames"
  else
    fail "interlaced: idet finds $n combed frames in the output"
  fi
else
  fail "interlaced: venc exited non-zero: $log"
fi

end_of_checks "all pictures ok"
