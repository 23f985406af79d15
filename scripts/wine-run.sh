#!/usr/bin/env bash
# Starts a Windows executable of the project under Wine.
#
#   wine-run.sh [--desktop] [--user-display] PROGRAM.exe [ARGS...]
#   wine-run.sh --session-start | --session-stop | --session-env
#   wine-run.sh --new-prefix DIR
#
# Private prefix under build/ (made on first use, Gecko and Mono disabled, Wine's fonts in
# it, unmanaged windows for the tests; --desktop: a second prefix with managed windows for a
# person), WINEDEBUG=-all, a persistent wineserver, and a display: the user's $DISPLAY with
# --user-display, else the test session's Xvfb when one is running, else a private Xvfb
# started and stopped here; with VARNELLO_HEADLESS=1 none (below).
# A run that started its own Xvfb also stops its wineserver, so nothing is left behind.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${VARNELLO_BUILD_DIR:-$root/build}"
# --desktop (first argument): the person's own prefix, with windows managed by their desktop.
managed=0
if [ "${1:-}" = "--desktop" ]; then managed=1; shift; fi
if [ "$managed" = 1 ]; then
    export WINEPREFIX="${VARNELLO_DESKTOP_WINEPREFIX:-$build/wineprefix-desktop}"
else
    export WINEPREFIX="${VARNELLO_WINEPREFIX:-$build/wineprefix}"
fi
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
export WINEARCH=win64
session_file="$build/wine-session.env"
mkdir -p "$build"
# VARNELLO_HEADLESS=1: no display at all, for programs that show no window (the tests that
# run beside the window tests, in a prefix of their own): Wine's null graphics driver in the
# prefix, no Xvfb, no DISPLAY.
headless="${VARNELLO_HEADLESS:-0}"
[ "$headless" != 1 ] || unset DISPLAY

wine_bin() {
    if command -v wine64 >/dev/null 2>&1; then echo wine64
    elif [ -x /usr/lib/wine/wine64 ]; then echo /usr/lib/wine/wine64
    else echo wine; fi
}
wineserver_bin() {
    if command -v wineserver >/dev/null 2>&1; then echo wineserver
    elif [ -x /usr/lib/wine/wineserver64 ]; then echo /usr/lib/wine/wineserver64
    else echo /usr/lib/wine/wineserver; fi
}
WINE="$(wine_bin)"
WINESERVER="$(wineserver_bin)"

# Starts an Xvfb on a free display; prints "DISPLAY PID".
start_xvfb() {
    local fifo n pid
    fifo="$(mktemp -u)"; mkfifo "$fifo"
    setsid Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 </dev/null &
    pid=$!
    read -r -t 20 n <"$fifo" || { rm -f "$fifo"; echo "wine-run: Xvfb did not start" >&2; exit 1; }
    rm -f "$fifo"
    echo ":$n $pid"
}

# Debian's Wine does not load the faces in its own fonts folder, so without them in the
# prefix caption buttons come out as letters ("0 1 r" instead of Marlett's symbols) and the
# page is measured in a wider substitute for Tahoma. Faces in windows\Fonts are loaded.
wine_fonts_dir="${VARNELLO_WINE_FONTS:-/usr/share/wine/fonts}"
ensure_fonts() {
    local fonts="$WINEPREFIX/drive_c/windows/Fonts" face
    [ -d "$fonts" ] || return 0
    [ -f "$fonts/tahoma.ttf" ] && [ -f "$fonts/marlett.ttf" ] && return 0
    if [ ! -f "$wine_fonts_dir/tahoma.ttf" ]; then
        echo "wine-run: Wine's fonts are missing (Debian package fonts-wine); run scripts/setup.sh" >&2
        return 0
    fi
    for face in "$wine_fonts_dir"/*.ttf; do
        [ -e "$fonts/$(basename "$face")" ] || cp "$face" "$fonts/"
    done
}

# A prefix is made once: booted, Wine's fonts in it, font links, and for the tests unmanaged
# windows. A test prefix is a copy of the build's pristine one (made the same way, once, and
# never run in), which takes a second where booting a new one takes ten or more: the tests'
# shared prefix when it is missing, and the prefixes of tests that want a new machine
# (--new-prefix). The locks keep parallel first uses from racing.
pristine="${VARNELLO_PRISTINE_WINEPREFIX:-$build/wineprefix-pristine}"
prefix_ready() { [ -f "$1/.varnello-ready" ] && [ -f "$1/.varnello-fontlinks" ]; }

# Makes (or finishes) the prefix $WINEPREFIX in place.
make_prefix() {
    if [ ! -f "$WINEPREFIX/.varnello-ready" ]; then
        echo "wine-run: creating Wine prefix $WINEPREFIX (once)" >&2
        "$WINE" wineboot -i >/dev/null 2>&1 || true
        "$WINESERVER" -w || true
        ensure_fonts
        # Without a window manager, unmanaged windows close in milliseconds instead of ~2 s.
        # A person's desktop has one: its prefix keeps Wine's managed windows (frame, task
        # bar entry, focus, Alt+Tab).
        if [ "$managed" = 0 ]; then
            "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
            "$WINESERVER" -w || true
        fi
        touch "$WINEPREFIX/.varnello-ready"
    fi
    if [ ! -f "$WINEPREFIX/.varnello-fontlinks" ]; then
        # Names in any language: where the dialog font has no glyph (Japanese, symbols), Wine
        # draws it from these Debian fonts, as Windows links its own fonts to Tahoma.
        local face
        for face in Tahoma "MS Shell Dlg" "MS Shell Dlg 2" "Microsoft Sans Serif" "DejaVu Sans"; do
            "$WINE" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' /v "$face" \
                /t REG_MULTI_SZ /d 'DroidSansFallbackFull.ttf,Droid Sans Fallback\0Symbola_hint.ttf,Symbola' \
                /f >/dev/null 2>&1
        done
        # The persistent server started next needs this one gone.
        "$WINESERVER" -w || true
        touch "$WINEPREFIX/.varnello-fontlinks"
    fi
}

# Copies the pristine test prefix (made first if need be) to DIR, which must not exist.
copy_pristine() {
    local dir="$1"
    (
        export WINEPREFIX="$pristine"
        managed=0
        exec 8>"$pristine.lock"
        flock 8
        prefix_ready "$pristine" || make_prefix
        # Copied whole, then moved into place: a prefix is either all there or not at all.
        rm -rf "$dir.copying"
        cp -a "$pristine" "$dir.copying"
        # Debian's Wine names the folder of the prefix's server sockets in this file: the copy
        # gets a folder of its own when its server first starts.
        rm -f "$dir.copying/wineserver"
        mv "$dir.copying" "$dir"
    )
}

ensure_prefix() {
    if prefix_ready "$WINEPREFIX"; then ensure_fonts; ensure_headless; return 0; fi
    exec 9>"$build/$(basename "$WINEPREFIX").lock"
    flock 9
    if ! prefix_ready "$WINEPREFIX"; then
        if [ "$managed" = 0 ] && [ ! -e "$WINEPREFIX" ]; then
            copy_pristine "$WINEPREFIX"
        else
            make_prefix # an older prefix is finished where it is
        fi
    fi
    flock -u 9
    ensure_headless
}

# A headless prefix draws with Wine's null driver: without it a window, even a hidden one,
# could not be made without an X display.
ensure_headless() {
    [ "$headless" = 1 ] && [ ! -f "$WINEPREFIX/.varnello-headless" ] || return 0
    "$WINE" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /t REG_SZ /d null /f >/dev/null 2>&1
    "$WINESERVER" -w || true
    touch "$WINEPREFIX/.varnello-headless"
}

session_alive() {
    [ "$headless" != 1 ] || return 1
    [ -f "$session_file" ] || return 1
    # shellcheck disable=SC1090
    . "$session_file"
    kill -0 "$VARNELLO_XVFB_PID" 2>/dev/null
}

case "${1:-}" in
--session-start)
    if session_alive; then exit 0; fi
    if [ "$headless" != 1 ]; then
        read -r disp pid < <(start_xvfb)
        printf 'VARNELLO_XVFB_DISPLAY=%s\nVARNELLO_XVFB_PID=%s\n' "$disp" "$pid" >"$session_file"
        export DISPLAY="$disp"
    fi
    ensure_prefix
    "$WINESERVER" -p >/dev/null 2>&1 </dev/null
    # Start Wine's own services now, detached from the caller's output, so that no test's
    # output pipe is held open by a service it happened to start.
    "$WINE" wineboot >/dev/null 2>&1 </dev/null || true
    exit 0 ;;
--session-stop)
    # Ends every process of this prefix, also when the session file is gone or a killed test
    # left programs behind: the wineserver's own end first, then whatever still carries the
    # prefix in its environment (the Xvfb started here among them). Other prefixes' processes,
    # and this script's own callers, are left alone.
    if [ "$headless" != 1 ] && [ -f "$session_file" ]; then
        . "$session_file"
        kill "$VARNELLO_XVFB_PID" 2>/dev/null || true
    fi
    timeout 30 "$WINESERVER" -k 2>/dev/null || true
    timeout 30 "$WINESERVER" -w 2>/dev/null || true
    callers=" $$ "
    p=$$
    while [ "$p" -gt 1 ] 2>/dev/null; do
        p="$(awk '/^PPid:/ { print $2 }' "/proc/$p/status" 2>/dev/null)" || break
        callers+="$p "
    done
    # A few rounds: a process being started while the first round runs is caught by the next.
    for _ in 1 2 3 4 5; do
        found=0
        for environ in /proc/[0-9]*/environ; do
            pid="${environ#/proc/}"; pid="${pid%/environ}"
            case "$callers" in *" $pid "*) continue ;; esac
            if tr '\0' '\n' 2>/dev/null <"$environ" | grep -qxF "WINEPREFIX=$WINEPREFIX"; then
                kill -9 "$pid" 2>/dev/null && found=1
            fi
        done
        [ "$found" = 1 ] || break
        sleep 0.5
    done
    [ "$headless" = 1 ] || rm -f "$session_file"
    exit 0 ;;
--new-prefix)
    # A test's own prefix, as a new machine: DIR is replaced by a copy of the pristine prefix.
    dir="${2:?usage: wine-run.sh --new-prefix DIR}"
    rm -rf "$dir"
    mkdir -p "$(dirname "$dir")"
    copy_pristine "$dir"
    exit 0 ;;
--session-env)
    # For test scripts: the display and prefix to use.
    if session_alive; then echo "export DISPLAY=$VARNELLO_XVFB_DISPLAY"; fi
    [ "$headless" != 1 ] || echo "unset DISPLAY"
    echo "export WINEPREFIX=$WINEPREFIX WINEDEBUG=$WINEDEBUG WINEDLLOVERRIDES='$WINEDLLOVERRIDES'"
    exit 0 ;;
esac

user_display=0
if [ "${1:-}" = "--user-display" ]; then user_display=1; shift; fi
[ $# -ge 1 ] || { echo "usage: wine-run.sh [--desktop] [--user-display] PROGRAM.exe [ARGS...]" >&2; exit 2; }

own_xvfb_pid=""
if [ "$headless" = 1 ] || { [ "$user_display" = 1 ] && [ -n "${DISPLAY:-}" ]; }; then
    :
elif session_alive; then
    export DISPLAY="$VARNELLO_XVFB_DISPLAY"
else
    read -r disp own_xvfb_pid < <(start_xvfb)
    export DISPLAY="$disp"
fi

cleanup() {
    if [ -n "$own_xvfb_pid" ]; then
        "$WINESERVER" -k 2>/dev/null || true
        "$WINESERVER" -w 2>/dev/null || true
        kill "$own_xvfb_pid" 2>/dev/null || true
        wait "$own_xvfb_pid" 2>/dev/null || true
    fi
}
trap cleanup EXIT

ensure_prefix
"$WINESERVER" -p >/dev/null 2>&1 </dev/null || true
set +e
"$WINE" "$@"
rc=$?
exit $rc
