#!/usr/bin/env bash
# Benchmark (not a test): how venc.exe should drive x264, against HandBrakeCLI.
#
#   scripts/bench-x264.sh [ROUNDS] [SECONDS] [SETTINGS...]
#
# For the settings panel's defaults (320x240, 640 kbps, level 1.3) and for the 640x480
# profile (1500 kbps, level 3), converts the same generated clip (SECONDS long, default 60)
# with the staged ffmpeg.exe given the arguments venc.exe gives it, once for each x264
# setting named (default: x264's own default, the preset medium; the preset faster; and
# faster with sub-pixel refinement 5 and variance-based adaptive quantisation, which is what
# venc.exe uses), and with HandBrakeCLI at the same sizes, bitrates,
# profile and level, ROUNDS times (default 3) in rotating order. Prints each median wall
# time, its ratio to HandBrakeCLI's, and each output's SSIM against the source. A setting is
# a list of extra ffmpeg options, separated by commas: "-preset,faster,-aq-mode,2".
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${VARNELLO_BUILD_DIR:-$root/build}"
app="$build/dist/app"
run="$root/scripts/wine-run.sh"
rounds="${1:-3}"
seconds="${2:-60}"
shift $(($# < 2 ? $# : 2))
settings=("$@")
[ "${#settings[@]}" -gt 0 ] || settings=("-preset,medium" "-preset,faster" "-preset,faster,-subq,5,-aq-mode,2")
[ -f "$app/ffmpeg.exe" ] || { echo "build first: scripts/build.sh" >&2; exit 2; }
command -v HandBrakeCLI >/dev/null || { echo "needs HandBrakeCLI (scripts/bench-handbrake.sh installs it)" >&2; exit 2; }

source "$root/scripts/bench_lib.sh"
bench_workspace

clip="$work/clip.avi"
make_detail_clip "$clip" "$seconds"

ssim_of() { ssim_against "$1" "$clip" "$2" "$3"; }

# One size: WIDTH HEIGHT LEVEL KBPS MAXRATE BUFSIZE AUDIO_KBPS
compare() {
    local w="$1" h="$2" level="$3" kbps="$4" maxrate="$5" bufsize="$6" akbps="$7" i r s name
    local -a names=() cmds=()
    local -A times=()
    for s in "${settings[@]}"; do
        IFS=, read -r -a extra <<<"$s"
        name="ffmpeg ${extra[*]}"
        names+=("$name")
        # What venc.exe asks of ffmpeg for these settings (encoder/encode_plan.cpp), but for
        # its choice of x264 settings: the ones given here instead.
        local -a c=("$run" "$app/ffmpeg.exe" -hide_banner -loglevel error -nostats -y -i "$(winpath "$clip")"
            -map '0:v:0?' -map '0:a:0?' -c:v libx264 -profile:v baseline -level "$level" -pix_fmt yuv420p -refs 1
            -bf 0 -coder 0 -b:v "${kbps}k" -maxrate "${maxrate}k" -bufsize "${bufsize}k" -g 250
            -vf "yadif=deint=interlaced,scale=w='if(gte(dar,(4/3)),$w,max(2,2*floor($w*dar/(4/3)/2+0.5)))':h='if(gte(dar,(4/3)),max(2,2*floor($h*(4/3)/dar/2+0.5)),$h)',pad=$w:$h:(ow-iw)/2:(oh-ih)/2:black,setsar=1"
            -s "${w}x$h" -aspect 4:3 -c:a aac -b:a "${akbps}k" -ac 2 "${extra[@]}"
            -f ipod "$(winpath "$work/out$((${#names[@]} - 1)).mp4")")
        cmds+=("$(printf '%q ' "${c[@]}")")
    done
    names+=("HandBrakeCLI medium")
    local -a hb=(HandBrakeCLI -i "$clip" -o "$work/out$((${#names[@]} - 1)).mp4" -f av_mp4 -e x264
        --encoder-profile baseline --encoder-level "$(awk -v l="$level" 'BEGIN { printf "%.1f", l }')"
        --encoder-preset medium -x "ref=1:bframes=0:keyint=250:vbv-maxrate=$maxrate:vbv-bufsize=$bufsize"
        -b "$kbps" -w "$w" -l "$h" --crop 0:0:0:0 --non-anamorphic -r 25 --cfr -E av_aac -B "$akbps" --mixdown stereo)
    cmds+=("$(printf '%q ' "${hb[@]}")")
    local n="${#names[@]}"
    echo "== ${w}x$h, level $level, $kbps kbps (cap $maxrate, buffer $bufsize kbit), AAC $akbps kbps; $rounds rounds"
    eval "${cmds[0]}" >/dev/null 2>&1 </dev/null   # warm-up: caches and the Wine prefix
    for r in $(seq 1 "$rounds"); do
        for i in $(seq 0 $((n - 1))); do
            local k=$(((i + r) % n))
            times[$k]+="$(time_one bash -c "${cmds[$k]}") "
        done
    done
    local hb
    hb="$(tr ' ' '\n' <<<"${times[$((n - 1))]}" | grep . | median)"
    for i in $(seq 0 $((n - 1))); do
        local med
        med="$(tr ' ' '\n' <<<"${times[$i]}" | grep . | median)"
        printf '%-40s median %6.2f s (%s)  ratio %.3f  SSIM %s  %d bytes\n' "${names[$i]}" "$med" "${times[$i]% }" \
            "$(echo "$med / $hb" | bc -l)" "$(ssim_of "$work/out$i.mp4" "$w" "$h")" "$(stat -c %s "$work/out$i.mp4")"
    done
}

echo "HandBrakeCLI: $(HandBrakeCLI --version 2>/dev/null | head -1); load average at start: $(cut -d' ' -f1-3 /proc/loadavg)"
compare 320 240 1.3 640 768 256 64
compare 640 480 3 1500 2250 2000 128
