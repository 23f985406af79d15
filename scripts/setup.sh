#!/usr/bin/env bash
# Installs what building, running and testing Varnello needs, and only what is missing.
# Safe to run again: a second run changes nothing.
#
#   setup.sh            Debian packages + the Windows ffmpeg.exe into build/cache/
#   setup.sh --verify-only FILE.tgz   check a downloaded archive against the pinned checksum
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${VARNELLO_BUILD_DIR:-$root/build}"
cache="$build/cache"
pinned="$root/scripts/ffmpeg-win64.sha256"
ffmpeg_pkg="@ffmpeg-installer/win32-x64@4.1.0"

verify_archive() {
    local file="$1" want got
    want="$(awk '{print $1}' "$pinned")"
    got="$(sha256sum "$file" | awk '{print $1}')"
    if [ "$want" != "$got" ]; then
        echo "setup: checksum mismatch for $(basename "$file")" >&2
        echo "setup:   expected $want" >&2
        echo "setup:   got      $got" >&2
        echo "setup: refusing to use it; delete $file and run setup again." >&2
        return 1
    fi
}

if [ "${1:-}" = "--verify-only" ]; then
    verify_archive "$2"
    exit $?
fi

packages=(wine64 wine g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-tools
          cmake make xvfb xdotool x11-utils ffmpeg googletest imagemagick fp-utils libchm-bin
          clang libclang-rt-14-dev libgtest-dev fonts-wine nsis zip fonts-droid-fallback fonts-symbola)
# npm fetches ffmpeg.exe; a machine with its own Node.js keeps it (Debian's would conflict).
command -v npm >/dev/null 2>&1 || packages+=(nodejs npm)
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

mkdir -p "$cache"
if [ ! -f "$cache/ffmpeg.exe" ]; then
    tgz="$cache/ffmpeg-installer-win32-x64-4.1.0.tgz"
    if [ ! -f "$tgz" ]; then
        echo "setup: fetching $ffmpeg_pkg"
        (cd "$cache" && npm pack --silent "$ffmpeg_pkg" >/dev/null)
    fi
    verify_archive "$tgz"
    tar -xzf "$tgz" -C "$cache" package/ffmpeg.exe
    mv "$cache/package/ffmpeg.exe" "$cache/ffmpeg.exe"
    rmdir "$cache/package"
fi
echo "setup: ready"
