#!/usr/bin/env bash
# Builds Varnello and starts it from build/dist on your X display.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
if [ -z "${DISPLAY:-}" ]; then
    cat >&2 <<'MSG'
run: there is no X display ($DISPLAY is empty), so Wine cannot show the window.
     Run this from a desktop session, over "ssh -X", or start a virtual one:
         Xvfb :5 -screen 0 1280x1024x24 &  DISPLAY=:5 scripts/run.sh
MSG
    exit 1
fi
"$root/scripts/setup.sh"
"$root/scripts/build.sh" program
cd "$root/build/dist"
exec "$root/scripts/wine-run.sh" --desktop --user-display "$root/build/dist/Varnello.exe"
