# shellcheck shell=bash
# Sourced by the venc script tests: the staged venc.exe and Wine, a scratch folder that goes
# at the end, and failures counted so that every case runs before the script fails.
run="$VARNELLO_SOURCE/scripts/wine-run.sh"
venc="$VARNELLO_DIST/app/venc.exe"
work="$(mktemp -d)"; trap 'rm -rf "$work"' EXIT
winpath() { echo "Z:${1//\//\\}"; }
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
# The script's end: exits 1 if any case failed, else prints MESSAGE.
end_of_checks() {
    [ "$failures" = 0 ] || { echo "$failures failure(s)"; exit 1; }
    echo "$1"
}
