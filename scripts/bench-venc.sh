#!/usr/bin/env bash
# Benchmark (not a test): the cost of venc.exe over calling ffmpeg.exe directly.
#
#   scripts/bench-venc.sh [RUNS] [SECONDS]
#
# Converts SECONDS (default 60) of the same generated clip with the staged venc.exe (classic options) and with the
# staged ffmpeg.exe given the modern options venc translates them to, RUNS times each in
# turn (A B A B ...), and prints every wall time and the median ratio venc/ffmpeg.
# Target: within 3 %.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${VARNELLO_BUILD_DIR:-$root/build}"
app="$build/dist/app"
run="$root/scripts/wine-run.sh"
runs="${1:-7}"
seconds="${2:-60}"
[ -x "$app/venc.exe" ] && [ -f "$app/ffmpeg.exe" ] || { echo "build first: scripts/build.sh" >&2; exit 2; }

source "$root/scripts/bench_lib.sh"
bench_workspace

clip="$work/clip.avi"
clip_seconds=$((seconds + 5))
ffmpeg -v error -y -f lavfi -i "testsrc=size=640x480:rate=25:duration=$clip_seconds" \
       -f lavfi -i "sine=frequency=440:duration=$clip_seconds" -ac 2 -c:v mpeg4 -q:v 3 -c:a libmp3lame "$clip"
in="$(winpath "$clip")"
out_a="$(winpath "$work/venc.mp4")"
out_b="$(winpath "$work/ffmpeg.mp4")"

# The settings profile's defaults, trimmed: what a user converts most.
venc_cmd=("$app/venc.exe" -y -i "$in" -ss 00:00:02 -t "$(printf '%02d:%02d:%02d' $((seconds / 3600)) $((seconds % 3600 / 60)) $((seconds % 60)))" -vcodec h264 -coder 0 -vlevel 13 -bufsize 256
          -g 250 -s 320x240 -b 640 -aspect 4:3 -ac 2 -ab 64 -vol 256 -title Bench
          -timestamp "2026-01-01 00:00:00" "$out_a")
# The same conversion as venc asks ffmpeg for it (see encoder/encode_plan.cpp); venc's own
# description of the source beforehand is part of what it costs.
ffmpeg_cmd=("$app/ffmpeg.exe" -hide_banner -loglevel error -nostats -progress pipe:1 -ss 2.000 -i "$in" -t "$seconds.000"
            -map '0:v:0?' -map '0:a:0?' -c:v libx264 -profile:v baseline -level 1.3 -pix_fmt yuv420p -refs 1 -bf 0
            -coder 0 -b:v 640k -maxrate 768k -bufsize 256k -preset faster -subq 5 -aq-mode 2 -g 250
            -vf "yadif=deint=interlaced,scale=w='if(gte(dar,(4/3)),320,max(2,2*floor(320*dar/(4/3)/2+0.5)))':h='if(gte(dar,(4/3)),max(2,2*floor(240*(4/3)/dar/2+0.5)),240)',pad=320:240:(ow-iw)/2:(oh-ih)/2:black,setsar=1"
            -s 320x240 -aspect 4:3 -c:a aac -b:a 64k -ac 2
            -metadata title=Bench -metadata "creation_time=2026-01-01 00:00:00" -f ipod -y "$out_b")


echo "clip: 640x480 mpeg4/mp3, $seconds s of it converted to H.264 320x240 + AAC; $runs runs each"
"$run" "${venc_cmd[@]}" >/dev/null 2>&1 </dev/null   # warm-up: caches and the Wine prefix
"$run" "${ffmpeg_cmd[@]}" >/dev/null 2>&1 </dev/null
ratios=()
for i in $(seq 1 "$runs"); do
    a="$(time_one "$run" "${venc_cmd[@]}")"
    b="$(time_one "$run" "${ffmpeg_cmd[@]}")"
    r="$(echo "$a / $b" | bc -l)"
    ratios+=("$r")
    printf 'run %2d: venc %6.2f s  ffmpeg %6.2f s  ratio %.4f\n' "$i" "$a" "$b" "$r"
done
median="$(printf '%s\n' "${ratios[@]}" | median)"
printf 'median ratio venc/ffmpeg: %.4f (%+.1f %%)\n' "$median" "$(echo "($median - 1) * 100" | bc -l)"
