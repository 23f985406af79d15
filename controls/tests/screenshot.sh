#!/usr/bin/env bash
# Takes docs/controls.png: the range slider, the skinned buttons and the fading picture in a
# test dialog over the page's background, as Wine draws them under the test Xvfb.
#   controls/tests/screenshot.sh        (after a build)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
build="$root/build"
exe="$build/tests/controls_window_test.exe"
ready_unix="$(mktemp -u /tmp/varnello-shot-XXXXXX)"
ready_win="Z:${ready_unix//\//\\}"

cd "$build"
"$root/scripts/wine-run.sh" --session-start
trap '"$root/scripts/wine-run.sh" --session-stop >/dev/null 2>&1 || true' EXIT
eval "$("$root/scripts/wine-run.sh" --session-env)"

VARNELLO_SCREENSHOT_READY="$ready_win" "$root/scripts/wine-run.sh" "$exe" \
    --gtest_also_run_disabled_tests --gtest_filter='DISABLED_ControlsScreenshot.*' >/dev/null &
runner=$!
for _ in $(seq 1 300); do [ -s "$ready_unix" ] && break; sleep 0.1; done
[ -s "$ready_unix" ] || { echo "screenshot: the dialog did not come up" >&2; exit 1; }
geometry="$(tr -d '\r\n' < "$ready_unix")"
mkdir -p "$root/docs"
import -window root -crop "$geometry" +repage "$root/docs/controls.png"
rm -f "$ready_unix"
wait "$runner"
echo "wrote docs/controls.png ($geometry)"
