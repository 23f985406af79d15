#!/usr/bin/env bash
# Benchmark (not a test): the staged ffmpeg.exe built from Debian's sources, against
# HandBrakeCLI and, when given, an older ffmpeg.exe, on the same conversions side by side.
#
#   scripts/bench-encoder.sh [RUNS] [OLD_FFMPEG_EXE]
#
# Cases: an AV1 720p source (what video sites deliver now) converted at the settings panel's
# defaults (H.264 Baseline 320x240, 640 kbps), and the 60 s detail clip of the other
# benchmarks at those defaults and as the 640x480 profile does. Each run converts with
# venc.exe and the staged ffmpeg.exe, with venc.exe beside OLD_FFMPEG_EXE (when given) and
# with Debian's HandBrakeCLI asked for the same output, in turn. Prints every wall time and
# the medians; goals: no slower than HandBrakeCLI on AV1, no slower than the old build.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${VARNELLO_BUILD_DIR:-$root/build}"
app="$build/dist/app"
run="$root/scripts/wine-run.sh"
runs="${1:-5}"
old_ffmpeg="${2:-}"
source "$root/scripts/bench_lib.sh"
need_staged_encoder
need_handbrake
bench_workspace

# venc.exe finds ffmpeg.exe beside itself: the old build gets a folder of its own.
old_app=""
if [ -n "$old_ffmpeg" ]; then
    old_app="$work/old-app"; mkdir -p "$old_app"
    cp "$app/venc.exe" "$old_app/"; cp "$old_ffmpeg" "$old_app/ffmpeg.exe"
fi

av1="$work/av1-720p.webm"
ffmpeg -v error -y -f lavfi -i "mandelbrot=size=1280x720:rate=30,trim=duration=30" \
       -f lavfi -i "sine=frequency=440:duration=30" -c:v libsvtav1 -preset 8 -b:v 1500k -g 240 \
       -c:a libopus -b:a 96k "$av1"
detail="$work/detail.avi"
make_detail_clip "$detail" 60

# case NAME SOURCE FPS VENC_OPTIONS... -- HANDBRAKE_OPTIONS...
bench_case() {
    local name="$1" src="$2" fps="$3" i t
    shift 3
    local -a venc_opts=() hb_opts=()
    while [ "$1" != "--" ]; do venc_opts+=("$1"); shift; done
    shift; hb_opts=("$@")
    local out="$work/out.mp4"
    local -a new_cmd=("$run" "$app/venc.exe" -y -i "$(winpath "$src")" "${venc_opts[@]}" -title Bench
                      -timestamp "2026-01-01 00:00:00" "$(winpath "$out")")
    local -a old_cmd=("$run" "$old_app/venc.exe" "${new_cmd[@]:2}")
    local -a hb_cmd=(HandBrakeCLI -i "$src" -o "$work/hb.mp4" -f av_mp4 -e x264 --encoder-preset medium
                     "${hb_opts[@]}" --crop 0:0:0:0 --non-anamorphic -r "$fps" --cfr -E av_aac --mixdown stereo)
    echo "== $name: $runs runs each; load average at start: $(cut -d' ' -f1-3 /proc/loadavg)"
    "${new_cmd[@]}" >/dev/null 2>&1 </dev/null; "${hb_cmd[@]}" >/dev/null 2>&1 </dev/null   # warm-up
    local -a new_times=() old_times=() hb_times=()
    for i in $(seq 1 "$runs"); do
        t="$(time_one "${new_cmd[@]}")"; new_times+=("$t"); printf 'run %2d: new %6.2f s' "$i" "$t"
        if [ -n "$old_app" ]; then
            t="$(time_one "${old_cmd[@]}")"; old_times+=("$t"); printf '  old %6.2f s' "$t"
        fi
        t="$(time_one "${hb_cmd[@]}")"; hb_times+=("$t"); printf '  HandBrakeCLI %6.2f s\n' "$t"
    done
    local new_median hb_median
    new_median="$(printf '%s\n' "${new_times[@]}" | median)"
    hb_median="$(printf '%s\n' "${hb_times[@]}" | median)"
    printf 'median: new %.2f s, HandBrakeCLI %.2f s, new/HandBrakeCLI %.3f\n' "$new_median" "$hb_median" \
        "$(echo "$new_median / $hb_median" | bc -l)"
    if [ -n "$old_app" ]; then
        local old_median; old_median="$(printf '%s\n' "${old_times[@]}" | median)"
        printf 'median: old %.2f s, new/old %.3f\n' "$old_median" "$(echo "$new_median / $old_median" | bc -l)"
    fi
}

echo "new: $("$run" "$app/ffmpeg.exe" -hide_banner -version 2>/dev/null | head -1 | tr -d '\r')"
[ -z "$old_app" ] || echo "old: $("$run" "$old_app/ffmpeg.exe" -hide_banner -version 2>/dev/null | head -1 | tr -d '\r')"
echo "HandBrakeCLI: $(HandBrakeCLI --version 2>/dev/null | head -1)"
defaults=(-vcodec h264 -coder 0 -vlevel 13 -bufsize 256 -g 250 -s 320x240 -b 640 -aspect 4:3 -ac 2 -ab 64 -vol 256)
hb_defaults=(--encoder-profile baseline --encoder-level 1.3 -x ref=1:bframes=0:keyint=250:vbv-maxrate=768:vbv-bufsize=256
             -b 640 -B 64 -w 320 -l 240)
bench_case "AV1 1280x720 30 fps, 30 s -> the panel's defaults, 320x240" "$av1" 30 "${defaults[@]}" -- \
    "${hb_defaults[@]}"
bench_case "the 60 s detail clip -> the panel's defaults, 320x240" "$detail" 25 "${defaults[@]}" -- "${hb_defaults[@]}"
bench_case "the 60 s detail clip -> the 640x480 profile" "$detail" 25 \
    -vcodec h264 -coder 0 -vlevel 30 -bufsize 2000 -g 250 -s 640x480 -b 1500 -aspect 4:3 -ac 2 -ab 128 -ar 44100 \
    -vol 256 -- --encoder-profile baseline --encoder-level 3.0 \
    -x ref=1:bframes=0:keyint=250:vbv-maxrate=2250:vbv-bufsize=2000 -b 1500 -B 128 -R 44.1 -w 640 -l 480
