#!/usr/bin/env bash
# Benchmark (not a test): Varnello's default conversion against HandBrakeCLI.
#
#   scripts/bench-handbrake.sh [RUNS] [SECONDS]
#
# Converts the same generated clip (SECONDS long, default 60, 640x480 at 25 fps with moving
# detail) with the staged venc.exe, once with the settings panel's defaults (H.264 baseline
# 320x240 at 640 kbps, AAC stereo 64 kbps) and once as the 640x480 profile does, and with
# Debian's HandBrakeCLI (its default speed, "medium") asked for the same size, bitrates,
# profile and level, RUNS times each in turn. Prints every wall time, the median ratio
# Varnello/HandBrake with its range, and the SSIM of each output against the source scaled
# to the same size (ffmpeg's ssim filter). Installs handbrake-cli when missing.
# Target: Varnello at most 0.85 of HandBrakeCLI's time with an SSIM no lower.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${VARNELLO_BUILD_DIR:-$root/build}"
app="$build/dist/app"
run="$root/scripts/wine-run.sh"
runs="${1:-5}"
seconds="${2:-60}"
source "$root/scripts/bench_lib.sh"
need_staged_encoder
need_handbrake
bench_workspace

clip="$work/clip.avi"
make_detail_clip "$clip" "$seconds"

# compare NAME W H VENC_OPTIONS... -- HANDBRAKE_OPTIONS...: the same conversion both ways.
compare() {
    local name="$1" w="$2" h="$3" i a b r
    shift 3
    local -a venc_opts=() hb_opts=()
    while [ "$1" != "--" ]; do venc_opts+=("$1"); shift; done
    shift
    hb_opts=("$@")
    local out_v="$work/varnello.mp4" out_h="$work/handbrake.mp4"
    local -a venc_cmd=("$run" "$app/venc.exe" -y -i "$(winpath "$clip")" "${venc_opts[@]}" -title Bench
                       -timestamp "2026-01-01 00:00:00" "$(winpath "$out_v")")
    local -a hb_cmd=(HandBrakeCLI -i "$clip" -o "$out_h" -f av_mp4 -e x264 --encoder-preset medium "${hb_opts[@]}"
                     -w "$w" -l "$h" --crop 0:0:0:0 --non-anamorphic -r 25 --cfr -E av_aac --mixdown stereo)
    echo "== $name: $runs runs each; load average at start: $(cut -d' ' -f1-3 /proc/loadavg)"
    "${venc_cmd[@]}" >/dev/null 2>&1 </dev/null    # warm-up: caches and the Wine prefix
    "${hb_cmd[@]}" >/dev/null 2>&1 </dev/null
    local -a ratios=()
    for i in $(seq 1 "$runs"); do
        # Which goes first alternates, so that neither always meets the same moment of load.
        if [ $((i % 2)) = 1 ]; then
            a="$(time_one "${venc_cmd[@]}")"; b="$(time_one "${hb_cmd[@]}")"
        else
            b="$(time_one "${hb_cmd[@]}")"; a="$(time_one "${venc_cmd[@]}")"
        fi
        r="$(echo "$a / $b" | bc -l)"
        ratios+=("$r")
        printf 'run %2d: Varnello %6.2f s  HandBrakeCLI %6.2f s  ratio %.4f\n' "$i" "$a" "$b" "$r"
    done
    printf 'median ratio Varnello/HandBrakeCLI: %.4f (%s to %s)\n' "$(printf '%s\n' "${ratios[@]}" | median)" \
        "$(printf '%.4f\n' "${ratios[@]}" | sort -g | head -1)" "$(printf '%.4f\n' "${ratios[@]}" | sort -g | tail -1)"
    printf 'Varnello:     SSIM %s, %d bytes, %s frames\n' "$(ssim_of "$out_v" "$w" "$h")" "$(size_of "$out_v")" \
        "$(frames_of "$out_v")"
    printf 'HandBrakeCLI: SSIM %s, %d bytes, %s frames\n' "$(ssim_of "$out_h" "$w" "$h")" "$(size_of "$out_h")" \
        "$(frames_of "$out_h")"
}

ssim_of() { ssim_against "$1" "$clip" "$2" "$3"; }
size_of() { stat -c %s "$1"; }
frames_of() { ffprobe -v error -count_frames -select_streams v:0 -show_entries stream=nb_read_frames -of csv=p=0 "$1"; }

echo "clip: $seconds s, 640x480 25 fps mpeg4 + mp3; HandBrakeCLI: $(HandBrakeCLI --version 2>/dev/null | head -1)"
compare "the settings panel's defaults: H.264 baseline 320x240 640 kbps, level 1.3, AAC 64 kbps" 320 240 \
    -vcodec h264 -coder 0 -vlevel 13 -bufsize 256 -g 250 -s 320x240 -b 640 -aspect 4:3 -ac 2 -ab 64 -vol 256 -- \
    --encoder-profile baseline --encoder-level 1.3 -x ref=1:bframes=0:keyint=250:vbv-maxrate=768:vbv-bufsize=256 \
    -b 640 -B 64
# The 640x480 profile as the profile file has it; venc lets its peaks reach 1.5 times the
# average (2250 kbps), which HandBrakeCLI is told too.
compare "the 640x480 profile: H.264 baseline 640x480 1500 kbps, level 3, AAC 128 kbps 44.1 kHz" 640 480 \
    -vcodec h264 -coder 0 -vlevel 30 -bufsize 2000 -g 250 -s 640x480 -b 1500 -aspect 4:3 -ac 2 -ab 128 -ar 44100 \
    -vol 256 -- --encoder-profile baseline --encoder-level 3.0 \
    -x ref=1:bframes=0:keyint=250:vbv-maxrate=2250:vbv-bufsize=2000 -b 1500 -B 128 -R 44.1
