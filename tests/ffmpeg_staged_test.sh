#!/usr/bin/env bash
# The staged ffmpeg.exe is the one built from Debian's maintained sources: a current 5.1, with
# x264, dav1d and zimg, no network protocol, no DLL of its own, and the decoders, demuxers,
# encoders and filters that people's files, venc and the video-editing component need.
set -uo pipefail
src="$VARNELLO_SOURCE"
exe="$VARNELLO_DIST/app/ffmpeg.exe"
ffw() { "$src/scripts/wine-run.sh" "$exe" -hide_banner "$@" 2>&1 | tr -d '\r'; }
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

version="$(ffw -version)"
echo "$version" | head -1
first="$(echo "$version" | head -1)"
if [[ "$first" =~ ^ffmpeg\ version\ 5\.1\.([0-9]+) ]]; then
    [ "${BASH_REMATCH[1]}" -ge 9 ] || fail "ffmpeg 5.1.${BASH_REMATCH[1]} is older than 5.1.9: $first"
else
    fail "not a 5.1 ffmpeg: $first"
fi
for option in --enable-libx264 --enable-libdav1d --enable-libzimg --enable-libmp3lame --disable-network; do
    echo "$version" | grep -q -- "$option" || fail "built without $option"
done

protocols="$(ffw -protocols | sed -n '/^Input:/,$p' | grep -v ':$' | tr -d ' ' | sort -u | tr '\n' ' ')"
[ "$protocols" = "file pipe " ] || fail "protocols other than file and pipe: $protocols"

# Only Windows' own DLLs are imported; nothing is shipped beside the program.
imports="$(x86_64-w64-mingw32-objdump -p "$exe" | awk '/DLL Name:/ {print tolower($3)}' | sort -u)"
system_dlls=" advapi32.dll bcrypt.dll gdi32.dll kernel32.dll msvcrt.dll ole32.dll oleaut32.dll psapi.dll shell32.dll shlwapi.dll user32.dll ws2_32.dll "
for dll in $imports; do
    [[ "$system_dlls" == *" $dll "* ]] || fail "imports $dll, which Windows does not have"
done
extra="$(cd "$VARNELLO_DIST/app" && ls ./*.dll 2>/dev/null)"
[ -z "$extra" ] || fail "DLLs beside the program: $extra"

need() { # need KIND LISTED-NAME...: each name in the second column of "ffmpeg -KIND"
    local kind="$1" names name; shift
    names=" $(ffw "-$kind" | awk '{print $2}' | tr '\n' ' ') "
    for name in "$@"; do
        [[ "$names" == *" $name "* ]] || fail "no $name among the $kind"
    done
}
need decoders h264 hevc vp8 vp9 libdav1d theora vorbis opus ac3 eac3 dca flac alac aac mp3 mp2 \
    mpeg1video mpeg2video mpeg4 msmpeg4 wmv1 wmv2 wmv3 vc1 wmav2 wmapro rv10 rv20 rv30 rv40 \
    cook sipr real_144 real_288 amrnb amrwb dvvideo h263 flv mjpeg png prores pcm_s16le
need demuxers rm asf avi mpeg mpegts mov,mp4,m4a,3gp,3g2,mj2 matroska,webm flv ogg dv mxf amr wav
need encoders libx264 aac mpeg4 msmpeg4 msmpeg4v2 libmp3lame pcm_s16le mpeg1video mp2 rawvideo wrapped_avframe
need filters zscale tonemap yadif scale pad setsar crop cropdetect volume aresample format
need muxers ipod avi mpeg vob null rawvideo s16le

# AV1 is decoded by dav1d, not a slower or hardware-only decoder.
tmp="$(mktemp -d)"; trap 'rm -rf "$tmp"' EXIT
ffmpeg -v error -y -f lavfi -i testsrc2=size=320x240:rate=25:duration=1 -c:v libaom-av1 -cpu-used 8 \
    -b:v 200k "$tmp/av1.webm" || fail "the native ffmpeg made no AV1 clip"
decoded="$(ffw -i "Z:$tmp/av1.webm" -frames:v 5 -f null -)"
echo "$decoded" | grep -q "^\[libdav1d @" || fail "AV1 not decoded by libdav1d: $decoded"

[ "$failures" -eq 0 ] || exit 1
echo "ok: $first; x264, dav1d, zimg, LAME; file and pipe only; system DLLs only"
