#!/usr/bin/env bash
# Installs what building, running and testing Varnello needs, and only what is missing, then
# builds the Windows ffmpeg.exe from Debian's sources (scripts/build-encoder.sh) or takes it
# from the machine-wide cache, into build/cache/.
# Safe to run again: a second run changes nothing.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${VARNELLO_BUILD_DIR:-$root/build}"
cache="$build/cache"
packages=(wine64 wine g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-tools
          cmake make xvfb xdotool x11-utils ffmpeg googletest imagemagick fp-utils libchm-bin
          clang libclang-rt-14-dev libgtest-dev fonts-wine nsis zip fonts-droid-fallback fonts-symbola)
# What the encoder's build needs: Debian's source tools, the assemblers and build systems of
# x264, dav1d, zimg, LAME and ffmpeg, and zlib built for MinGW.
packages+=(dpkg-dev gcc-mingw-w64-x86-64-posix nasm meson ninja-build autoconf automake libtool
           pkgconf libz-mingw-w64-dev)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "setup: installing ${missing[*]}"
    sudo_cmd=""
    [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
    $sudo_cmd apt-get update -q
    DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

"$root/scripts/build-encoder.sh" "$cache"
echo "setup: ready"
