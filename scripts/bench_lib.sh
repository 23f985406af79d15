# Steps shared by the benchmark scripts. Source it; it needs $root (the repository).

# The median of the numbers on standard input, one a line.
median() {
    sort -g | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# Unix path -> the Windows path Wine shows for it (Z: is the Unix root).
winpath() { echo "Z:${1//\//\\}"; }

# Wall seconds one command takes, its output thrown away.
time_one() {
    local start end
    start="$(date +%s.%N)"
    "$@" >/dev/null 2>&1 </dev/null
    end="$(date +%s.%N)"
    echo "$end - $start" | bc -l
}

# The staged venc.exe and ffmpeg.exe in $app, or the advice to build first.
need_staged_encoder() {
    [ -x "$app/venc.exe" ] && [ -f "$app/ffmpeg.exe" ] || { echo "build first: scripts/build.sh" >&2; exit 2; }
}

# Debian's HandBrakeCLI, installed when missing: the benchmarks' outside reference.
need_handbrake() {
    command -v HandBrakeCLI >/dev/null && return 0
    echo "installing handbrake-cli" >&2
    local sudo_cmd=""; [ "$(id -u)" = 0 ] || sudo_cmd=sudo
    DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y --no-install-recommends handbrake-cli >/dev/null
}

# One persistent Wine session for all runs (so that each run pays only its process start),
# unless one is open already; bench_close_session ends it if it was opened here.
bench_open_session() {
    bench_own_session=0
    if ! "$root/scripts/wine-run.sh" --session-env | grep -q DISPLAY; then
        "$root/scripts/wine-run.sh" --session-start
        bench_own_session=1
    fi
}
bench_close_session() {
    if [ "$bench_own_session" = 1 ]; then "$root/scripts/wine-run.sh" --session-stop; fi
}

# A temporary folder in $work and the session; both go when the script ends.
bench_workspace() {
    work="$(mktemp -d)"
    bench_open_session
    trap bench_cleanup EXIT
}
bench_cleanup() {
    rm -rf "$work"
    bench_close_session
}

# make_detail_clip FILE SECONDS: zooming fractal detail with a moving test pattern on top,
# 640x480 at 25 fps, MPEG-4 and MP3: hard enough to encode that encoders' quality differs,
# unlike a still pattern.
make_detail_clip() {
    ffmpeg -v error -y -f lavfi -i "mandelbrot=size=640x480:rate=25,trim=duration=$2" \
           -f lavfi -i "testsrc2=size=160x120:rate=25:duration=$2" \
           -f lavfi -i "sine=frequency=440:duration=$2" \
           -filter_complex "[0:v][1:v]overlay=x='mod(t*80,480)':y='mod(t*40,360)'[v]" \
           -map '[v]' -map 2:a -ac 2 -c:v mpeg4 -q:v 2 -c:a libmp3lame -b:a 192k "$1"
}

# ssim_against OUTPUT SOURCE WIDTH HEIGHT: the SSIM of an output against the source scaled
# to its size; "All:" is the mean over Y, U and V.
ssim_against() {
    ffmpeg -hide_banner -nostats -i "$1" -i "$2" \
        -lavfi "[1:v]scale=$3:$4:flags=bicubic,setsar=1[ref];[0:v]setsar=1[enc];[enc][ref]ssim" -f null - 2>&1 \
        | sed -n 's/.*SSIM .* All:\([0-9.]*\).*/\1/p' | tail -1
}
