#!/usr/bin/env bash
# Builds the program's app\ffmpeg.exe for Windows from Debian bookworm's maintained source
# packages: ffmpeg 5.1 with x264, dav1d (AV1), zimg (colour conversion and tone mapping) and
# LAME (MP3 for the RealMedia intermediate), cross-compiled with MinGW-w64, static, stripped.
#
# The sources come through apt, from a private deb-src list with apt's own signature checks;
# the machine's apt configuration is not touched. Whatever bookworm carries today is built,
# so a security update is picked up by the next build; the tests say whether it works.
#
# The result is kept in a machine-wide cache keyed by the source versions and this script
# (which holds every build option), so a developer's build and a fresh clone on the same
# machine share it. Without the archive (no network), the newest cached build is used.
#
#   build-encoder.sh DEST        build (or take from the cache) and copy ffmpeg.exe to DEST/
#   build-encoder.sh --key       print the cache key of what would be built, and exit
#
# VARNELLO_ENCODER_CACHE chooses the cache folder (default /var/cache/varnello-encoder as root,
# else ~/.cache/varnello-encoder).
set -euo pipefail

script="$(readlink -f "${BASH_SOURCE[0]}")"
packages=(ffmpeg x264 dav1d zimg lame)
host=x86_64-w64-mingw32
jobs="$(nproc)"

if [ -n "${VARNELLO_ENCODER_CACHE:-}" ]; then
    cache="$VARNELLO_ENCODER_CACHE"
elif [ "$(id -u)" -eq 0 ]; then
    cache=/var/cache/varnello-encoder
else
    cache="${XDG_CACHE_HOME:-$HOME/.cache}/varnello-encoder"
fi
mkdir -p "$cache"
say() { echo "build-encoder: $*" >&2; }

# --- the private apt configuration ---------------------------------------------------------
apt_dir="$cache/apt"
mkdir -p "$apt_dir/parts" "$apt_dir/lists/partial" "$apt_dir/archives/partial"
cat > "$apt_dir/parts/bookworm-src.sources" <<'EOF'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb-src
URIs: http://deb.debian.org/debian-security
Suites: bookworm-security
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
apt_opts=(-o "Dir::Etc::SourceList=/dev/null" -o "Dir::Etc::SourceParts=$apt_dir/parts"
          -o "Dir::State::Lists=$apt_dir/lists" -o "Dir::Cache=$apt_dir"
          -o "Dir::Cache::archives=$apt_dir/archives" -o "APT::Sandbox::User=root")

# The newest version of each source package that the signed indexes name ("pkg=version").
current_versions() {
    local p v
    for p in "${packages[@]}"; do
        v="$(apt-cache "${apt_opts[@]}" showsrc "$p" 2>/dev/null |
             awk '/^Version:/ {print $2}' | sort -V | tail -1)"
        [ -n "$v" ] || return 1
        echo "$p=$v"
    done
}

# The key of a part of the build: the versions of its packages and its commands (the part
# of this script between its two marks, without comments), so nothing else rebuilds it.
# recipe_key PART PACKAGE...
recipe_key() {
    local part="$1" p; shift
    (
        for p in "$@"; do echo "$versions" | grep "^$p="; done
        sed -n "/^# >>> libraries/,/^# <<< libraries/p" "$script" | grep -v "^[[:space:]]*#"
        [ "$part" = libraries ] || sed -n "/^# >>> ffmpeg/,/^# <<< ffmpeg/p" "$script" | grep -v "^[[:space:]]*#"
    ) | sha256sum | cut -c1-16
}

versions=""
if apt-get "${apt_opts[@]}" update -qq >/dev/null 2>"$apt_dir/update.err"; then
    versions="$(current_versions)" || versions=""
fi
if [ -z "$versions" ]; then
    if [ -L "$cache/latest" ] && [ -f "$cache/latest/ffmpeg.exe" ]; then
        say "Debian's source index cannot be read ($(tail -1 "$apt_dir/update.err" 2>/dev/null));"
        say "using the newest cached build, $(readlink "$cache/latest")"
        key="$(basename "$(readlink "$cache/latest")")"
    else
        say "Debian's source index cannot be read and nothing is cached:" >&2
        cat "$apt_dir/update.err" >&2
        exit 1
    fi
else
    key="$(recipe_key ffmpeg "${packages[@]}")"
fi

if [ "${1:-}" = "--key" ]; then echo "$key"; exit 0; fi
dest="${1:?usage: build-encoder.sh DEST | --key}"
out="$cache/$key"

# Copies the result to DEST, leaving a copy that is already the same alone (the build then
# has nothing to stage again).
copy_out() {
    mkdir -p "$dest"
    if ! cmp -s "$out/ffmpeg.exe" "$dest/ffmpeg.exe"; then
        cp "$out/ffmpeg.exe" "$dest/ffmpeg.exe.new" && mv "$dest/ffmpeg.exe.new" "$dest/ffmpeg.exe"
    fi
    cmp -s "$out/build-info.txt" "$dest/ffmpeg-build-info.txt" || cp "$out/build-info.txt" "$dest/ffmpeg-build-info.txt"
}

# One build at a time per cache: a second caller waits and then finds the result.
exec 9>"$cache/.lock"
flock 9
if [ -f "$out/ffmpeg.exe" ]; then
    copy_out
    exit 0
fi

started=$(date +%s)
work="$cache/work-$key"
rm -rf "$work"
mkdir -p "$work/src"
log="$work/build.log"
say "building ffmpeg.exe from Debian's sources ($(echo $versions)); log: $log"
fail() { say "failed: $*; the end of $log:"; tail -40 "$log" >&2; exit 1; }

version_of() { echo "$versions" | sed -n "s/^$1=//p"; }
# "2:0.164.3095+gitbaee400-3" -> "0.164.3095+gitbaee400-3": the epoch is not in file names.
file_version() { version_of "$1" | sed 's/^[0-9]*://'; }

# Fetches and unpacks source packages into $work/src; apt checks every file against the
# signed index, and unpacking applies Debian's own patches.
fetch() {
    local p
    for p in "$@"; do
        (cd "$work/src" && apt-get "${apt_opts[@]}" source --download-only -qq "$p=$(version_of "$p")" &&
            dpkg-source --no-check -x "${p}_$(file_version "$p").dsc" "$p") >>"$log" 2>&1 ||
            fail "fetching $p"
    done
}

# The libraries change seldom: they are installed into a folder of their own, kept under
# their own key, so that a change of ffmpeg's options does not build them again.
# Each step below is one chain of commands joined by &&: errexit does not reach inside a
# subshell whose failure is caught with ||.
prefix="$cache/libraries-$(recipe_key libraries x264 dav1d zimg lame)"
export PKG_CONFIG_PATH="$prefix/lib/pkgconfig" PKG_CONFIG_LIBDIR="$prefix/lib/pkgconfig"
if [ ! -f "$prefix/.complete" ]; then
rm -rf "$prefix"
mkdir -p "$prefix"
fetch x264 dav1d zimg lame
# >>> libraries
# --- x264: the H.264 encoder -----------------------------------------------------------------
(
    cd "$work/src/x264" &&
    ./configure --host=$host --cross-prefix=$host- --prefix="$prefix" --enable-static \
        --disable-cli --disable-opencl --enable-strip --bit-depth=8 &&
    make -j"$jobs" && make install
) >>"$log" 2>&1 || fail "x264"

# --- dav1d: the AV1 decoder ------------------------------------------------------------------
(
    cd "$work/src/dav1d" &&
    cat > cross.txt <<EOF
[binaries]
c = '$host-gcc'
ar = '$host-ar'
strip = '$host-strip'
windres = '$host-windres'
[host_machine]
system = 'windows'
cpu_family = 'x86_64'
cpu = 'x86_64'
endian = 'little'
EOF
    meson setup out --cross-file cross.txt --prefix="$prefix" --libdir=lib --buildtype=release \
        --default-library=static -Denable_tools=false -Denable_tests=false -Denable_examples=false &&
    ninja -C out -j"$jobs" install
) >>"$log" 2>&1 || fail "dav1d"

# --- zimg: colour conversion and the tone map's linear light ---------------------------------
(
    cd "$work/src/zimg" && ./autogen.sh &&
    ./configure --host=$host --prefix="$prefix" --enable-static --disable-shared &&
    make -j"$jobs" && make install
) >>"$log" 2>&1 || fail "zimg"

# --- LAME: MP3 audio in the AVI intermediate of RealMedia sources ----------------------------
(
    cd "$work/src/lame" &&
    ./configure --host=$host --prefix="$prefix" --enable-static --disable-shared --disable-frontend \
        --disable-gtktest --disable-decoder CFLAGS="-O2" &&
    make -j"$jobs" && make install
) >>"$log" 2>&1 || fail "lame"
# <<< libraries
touch "$prefix/.complete"
fi

# --- ffmpeg ------------------------------------------------------------------------------------
fetch ffmpeg
cflags="-O2 -I$prefix/include"
# >>> ffmpeg
# Every decoder, demuxer, parser and filter (a person's files come in every kind); only the
# encoders and muxers that venc, the video-editing component and the tests' own clips use; no
# network, devices (but the lavfi test sources) or hardware interfaces.
# (ffmpeg names the MS MPEG-4 V3 encoder msmpeg4v3 here and "msmpeg4" in its listing;
# wrapped_avframe is what "-f null" encodes with.)
encoders=libx264,mpeg4,msmpeg4v2,msmpeg4v3,wrapped_avframe,mpeg1video,mpeg2video,rawvideo,mjpeg,png,bmp
encoders+=,aac,libmp3lame,mp2,ac3,pcm_s16le,pcm_s16be,pcm_u8,flac
# (configure's names: mpeg1system is "-f mpeg", mpeg2vob "-f vob", pcm_s16le "-f s16le".)
muxers=ipod,mp4,mov,avi,mpeg1system,mpeg2vob,mpeg1video,mpeg2video,mpegts,matroska,h264,rawvideo,null
muxers+=,pcm_s16le,wav,adts,mp3,ac3,image2,image2pipe,framemd5,md5
ffmpeg_extra="$(version_of ffmpeg | sed 's/^[0-9]*://; s/^[^-]*-//')"
for p in x264 dav1d zimg lame; do
    ffmpeg_extra+="+$p-$(version_of "$p" | sed 's/^[0-9]*://; s/[+~].*//; s/-[^-]*$//')"
done
ffmpeg_options=(
    --arch=x86_64 --target-os=mingw32 --cross-prefix=$host- --pkg-config=pkg-config
    --pkg-config-flags=--static --extra-cflags="$cflags" --extra-ldflags="-L$prefix/lib -static"
    --extra-libs="-lstdc++" --extra-version="$ffmpeg_extra"
    --enable-gpl --enable-libx264 --enable-libdav1d --enable-libzimg --enable-libmp3lame --enable-zlib
    --disable-autodetect --enable-w32threads --disable-network --disable-hwaccels
    --disable-devices --enable-indev=lavfi --disable-protocols --enable-protocol=file,pipe
    --disable-encoders --enable-encoder="$encoders" --disable-muxers --enable-muxer="$muxers"
    --disable-ffplay --disable-ffprobe --disable-doc --disable-debug --disable-postproc
)
(
    cd "$work/src/ffmpeg" && ./configure "${ffmpeg_options[@]}" && make -j"$jobs" &&
    $host-strip -o ffmpeg-stripped.exe ffmpeg.exe
) >>"$log" 2>&1 || fail "ffmpeg"

# <<< ffmpeg
mkdir -p "$out"
cp "$work/src/ffmpeg/ffmpeg-stripped.exe" "$out/ffmpeg.exe"
{
    echo "ffmpeg.exe for Varnello, built $(date -u '+%Y-%m-%d %H:%M UTC') in $(( $(date +%s) - started )) s"
    echo "from Debian bookworm source packages:"
    echo "$versions" | sed 's/^/  /'
    echo "configure:"
    printf '  %s\n' "${ffmpeg_options[@]}"
} > "$out/build-info.txt"
cp "$log" "$out/build.log"
ln -sfn "$key" "$cache/latest"
rm -rf "$work"
say "built in $(( $(date +%s) - started )) s: $out/ffmpeg.exe ($(du -h "$out/ffmpeg.exe" | cut -f1))"
copy_out
