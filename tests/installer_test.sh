#!/usr/bin/env bash
# The Windows user's way in, under Wine in a fresh prefix: the silent installer puts the
# program into Program Files with a Start-menu shortcut and an installed-programs entry; the
# installed program starts with its version in the caption and converts a clip and a
# RealMedia clip into a folder whose path has blanks, leaving nothing in its own folder; installing again keeps the user's output folder; the silent
# uninstaller leaves no program folder, shortcut or entry, and the converted video stays.
source "$(dirname "$0")/e2e/lib.sh"
: "${VARNELLO_BUILD:?}"

version="$(sed -n 's/^#define VARNELLO_VERSION_TEXT "\(.*\)"/\1/p' "$VARNELLO_BUILD/generated/VarnelloVersion.h")"
[ -n "$version" ] || fail "no version in the build"
setup="$VARNELLO_BUILD/Varnello-Setup-$version.exe"
zip="$VARNELLO_BUILD/Varnello-$version-win64.zip"
[ -s "$setup" ] || fail "the build made no $(basename "$setup")"
unzip -l "$zip" | grep_q "Varnello-$version/Varnello.exe" || fail "the zip lacks Varnello.exe"
unzip -l "$zip" | grep_q "Varnello-$version/app/ffmpeg.exe" || fail "the zip lacks app/ffmpeg.exe"
! unzip -l "$zip" | grep_q "log.txt" || fail "the zip carries a log.txt"

# A prefix of its own, as a new Windows machine: nothing from the other tests in it, and no
# menu entries made on this machine's desktop.
export WINEPREFIX="$VARNELLO_BUILD/installer-test-prefix"
VARNELLO_DATA="$WINEPREFIX/drive_c/users/${USER:-$(id -un)}/AppData/Local/Varnello"
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
WINESERVER=/usr/lib/wine/wineserver64
[ -x "$WINESERVER" ] || WINESERVER=wineserver
stop_prefix() { "$WINESERVER" -k 2>/dev/null || true; "$WINESERVER" -w 2>/dev/null || true; }
trap 'keep_failure $?; cleanup_e2e; stop_prefix; rm -rf "$WINEPREFIX"' EXIT
# A copy of the build's pristine prefix: booted, never run in, windows unmanaged.
VARNELLO_BUILD_DIR="$VARNELLO_BUILD" "$VARNELLO_SOURCE/scripts/wine-run.sh" --new-prefix "$WINEPREFIX" \
    || fail "no new prefix"

program_dir="$WINEPREFIX/drive_c/Program Files/Varnello"
shortcut="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Varnello.lnk"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Varnello'
# Each read is a Wine process start, and one now and then fails to start on a busy machine:
# an empty answer is asked again a few times before it counts as no value.
reg_read() {
    local answer
    for _ in 1 2 3 4; do
        answer="$("$WINE" reg query "$@" 2>/dev/null | tr -d '\r' || true)"
        [ -z "$answer" ] || break
        sleep 0.5
    done
    printf '%s\n' "$answer"
}
reg_value() { reg_read "$1" /v "$2" | awk -v v="$2" '$1 == v { $1 = ""; $2 = ""; sub(/^  /, ""); print }'; }
reg_default() { reg_read "$1" /ve | awk '/REG_SZ/ { sub(/.*REG_SZ[ \t]+/, ""); print }'; }

"$WINE" "$setup" /S || fail "the silent install failed"
[ -f "$program_dir/Varnello.exe" ] || fail "nothing installed in Program Files\\Varnello"
for f in app/venc.exe app/ffmpeg.exe app/ViviRarir.exe app/iPod_Profile.ini help/help.html uninstall.exe; do
    [ -f "$program_dir/$f" ] || fail "the install lacks $f"
done
[ -f "$shortcut" ] || fail "no Start-menu shortcut"
[ "$(reg_value "$uninstall_key" DisplayName)" = "Varnello" ] || fail "no installed-programs entry; the list holds:
$("$WINE" reg query "${uninstall_key%\\*}" 2>&1 | tr -d '\r' || true)"
[ "$(reg_value "$uninstall_key" DisplayVersion)" = "$version" ] || fail "the entry's version is not $version"
[ -n "$(reg_value "$uninstall_key" Publisher)" ] || fail "the entry names no publisher"
size="$(reg_value "$uninstall_key" EstimatedSize)"
[ -n "$size" ] && [ $((size)) -gt 1000 ] || fail "the entry's size is '$size'"
reg_value "$uninstall_key" UninstallString | grep_q 'Program Files\\Varnello\\uninstall.exe' \
    || fail "the entry's uninstall command is '$(reg_value "$uninstall_key" UninstallString)'"
[ "$(reg_default 'HKCU\Software\Varnello\Version')" = "$version" ] || fail "Setup wrote no caption version"

# The installed program, started as the shortcut does, converts into a folder with blanks.
out="$E2E_TMP/My Converted Videos/for the iPod"
mkdir -p "$out"
make_clip "$E2E_TMP/clip.avi" 2
make_clip "$E2E_TMP/movie.rm" 2
set_output_dir "$out"
(exec "$WINE" 'C:\Program Files\Varnello\Varnello.exe' >"$E2E_TMP/varnello.log" 2>&1) &
VARNELLO_PID=$!
wait_for 30 inspect frame || fail "the installed program showed no window"
caption="$(state | sed -n 's/^caption //p')"
[ "$caption" = "Varnello V$version" ] || fail "the caption is '$caption'"
add_file "$E2E_TMP/clip.avi"
add_file "$E2E_TMP/movie.rm"
[ "$(list_count)" = "2" ] || fail "the clips were not added: $(list_count) rows"
click_control 1048
wait_for 180 xdotool search --onlyvisible --name '^Information$' || fail "the conversion did not finish"
box="$(xdotool search --onlyvisible --name '^Information$' | head -1)"
xdotool windowfocus "$box"; sleep 0.3; xdotool key Return
close_varnello
# Each task's file under its source's name, a video of the clip's 2 s. The RealMedia task went
# through its intermediate step in the user's data folder: nothing is left of the step
# anywhere, nor anything written into the program's folder.
[ "$(ls "$out" | tr '\n' ' ')" = "clip.mp4 movie.mp4 " ] || fail "the output folder holds: $(ls -la "$out")"
for name in clip movie; do
    length="$(ffprobe -v error -show_entries format=duration -of csv=p=0 "$out/$name.mp4")"
    check "${length:-0} > 1.5 && ${length:-0} < 2.5" || fail "$name.mp4 lasts ${length:-nothing} s, not the clip's 2 s"
done
leftovers="$(find "$program_dir" "$VARNELLO_DATA" -type f -regextype posix-extended -regex '.*_[0-9]{5}[.](avi|mpg)' 2>/dev/null || true)"
[ -z "$leftovers" ] || fail "intermediate files are left: $leftovers"
[ ! -e "$program_dir/app/log.txt" ] || fail "the program wrote a log into its own folder"

# Installing over it (an upgrade) keeps the user's output folder.
"$WINE" "$setup" /S || fail "installing again failed"
[ "$(reg_default 'HKCU\Software\Varnello\destination')" = "$(winpath "$out")" ] \
    || fail "installing again changed the output folder to '$(reg_default 'HKCU\Software\Varnello\destination')'"

# Things the program leaves behind in its folder go with it.
echo "entry" >"$program_dir/app/log.txt"
echo "x" >"$program_dir/clip_23817.avi"

# The uninstaller copies itself away and returns at once: wait for the folder to go.
"$WINE" 'C:\Program Files\Varnello\uninstall.exe' /S || fail "the silent uninstall failed"
wait_for 60 test ! -e "$program_dir" || fail "the program folder stays: $(find "$program_dir")"
[ ! -e "$shortcut" ] || fail "the Start-menu shortcut stays"
! "$WINE" reg query "$uninstall_key" >/dev/null 2>&1 || fail "the installed-programs entry stays"
[ -z "$(reg_default 'HKCU\Software\Varnello\Version')" ] || fail "the caption version stays in the registry"
[ "$(ls "$out" | tr '\n' ' ')" = "clip.mp4 movie.mp4 " ] || fail "uninstalling changed the converted videos: $(ls -la "$out")"
echo "ok: installed, converted into '$out', upgraded, uninstalled"
